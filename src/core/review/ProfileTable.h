#pragma once
// The text form of the profile in the data check: one fixed-width line per
// level, shared by the viewer's list and the command line's "levels".
#include <cstdint>
#include <string>

#include "sounding/Records.h"

namespace tern {

// Column header above the list (cp1251).
std::string ProfileHeaderLine();
// " " no rejection, "?" rejected in part but still in BUFR, "x" left out.
char LevelMarker(const tUALevel& level, uint8_t mask);
// Letters of the significance bits: S C R M T U W L.
std::string SignificanceLetters(uint32_t sigFlags);
// The table line of one level with its working rejection mask.
std::string ProfileLine(const tUALevel& level, uint8_t mask);

// Character columns of the quantities in a table line, for strike-through
// drawing: [first, last] positions.
struct ColumnSpan { int first, last; };
constexpr ColumnSpan kColT{13, 18}, kColTd{19, 24}, kColH{25, 30}, kColWind{31, 38}, kColPos{39, 54},
    kColLine{0, 64};

}  // namespace tern
