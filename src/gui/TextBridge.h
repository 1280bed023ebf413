#pragma once
// The one crossing between core's cp1251 text and Qt's QString.
#include <QString>
#include <string>

#include "base/Text.h"

namespace tern {
inline QString ToQ(const std::string& cp1251) { return QString::fromStdString(Cp1251ToUtf8(cp1251)); }
inline std::string FromQ(const QString& s) { return Utf8ToCp1251(s.toStdString()); }
}  // namespace tern
