#pragma once
// The two national text messages: the layer message ("СЛОЙ", one line of
// layer data, optionally re-composed with station index and day-hour group)
// and the surface-layer message ("ПРИЗ", the whole file).
#include <string>

#include "config/MessageSettings.h"
#include "sounding/UAMessage.h"

namespace tern {

// Raises "Файл СЛОЙ не найден!" or "Ошибка формата".
std::string BuildLayer(TUAMessage& ascent, const std::string& bbb, const tLayerSettings& settings);
// Raises "Файл ПРИЗЕМНЫЙ СЛОЙ не найден!" or "Ошибка формата".
std::string BuildPriz(TUAMessage& ascent, const std::string& bbb, const tPrizSettings& settings);

// Hands the local-time shift of the layer message's day-hour group to the ascent.
void ApplyLayerShift(TUAMessage& ascent, const tLayerSettings& settings);

}  // namespace tern
