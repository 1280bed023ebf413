#pragma once
// The one reading mechanism of the Corvo text tables: fixed columns described
// as data, field conversion with the missing-value conventions, and the
// per-line loop that turns an unreadable line into the operator's question.
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "base/Text.h"
#include "sounding/Records.h"

namespace tern {

class IOperator;

// A fixed column: 1-based first character and width. Shift n (of a line's
// shift vector) moves the first character when bit n of firstShifts is set and
// widens the column when bit n of widthShifts is set.
struct FixedColumn {
  int first;
  int width;
  uint8_t firstShifts = 0;
  uint8_t widthShifts = 0;
};

constexpr int kMaxShifts = 4;
using ColumnShifts = int[kMaxShifts];

// The column's text, never beyond the end of the line (empty when it starts after it).
std::string_view TakeColumn(std::string_view line, const FixedColumn& c, const ColumnShifts& shifts);
std::string_view TakeColumn(std::string_view line, const FixedColumn& c);
// Characters first..last (1-based, inclusive), never beyond the end of the line.
std::string_view TakeRange(std::string_view line, int first, int last);

// A field of a line that is neither missing nor a number. The reader's loop
// asks the operator what to do with the line.
struct FieldFailure {
  std::string shown;  // what the question shows; empty: the whole line
};
// Any other failure inside a line; the loop ends the reading with an error.
struct LineFailure {
  std::string text;
};

enum class NumKind { Real, Whole };

// Field conversions. The field text is trimmed first (whole numbers accept
// leading blanks only when trimLeftOnly). slashMissing: a "/" anywhere makes the
// field missing. emptyMissing: an empty field is missing. Anything else that is
// not a number throws FieldFailure.
struct FieldRules {
  bool slashMissing = false;
  bool emptyMissing = false;
  bool trimLeftOnly = false;  // whole numbers: trailing blanks are not allowed
};
double ReadField(std::string_view text, NumKind kind, const FieldRules& rules);

// A decimal whole number with an optional sign, nothing around it.
bool ParseWhole(std::string_view text, long long& value);

// Rounding of the readers: to the nearest integer, ties to even.
double RoundEven(double v);

// What the per-line step decided.
enum class LineStep { Next, End };
// How the loop ended.
enum class TableEnd { Done, Stopped, Cancelled };

struct TableTexts {
  std::string questionHead;  // before the shown text
  std::string errorHead;     // before a LineFailure's text
};

// Runs step on every line from lines[from] on. A FieldFailure asks the operator
// (caption title; "Продолжить": skip the line, "Прервать": stop, "Отменить":
// cancel); a LineFailure ends with TernError(errorHead + text).
TableEnd ReadTableLines(IOperator& op, const std::string& title, const TextList& lines, size_t from, const TableTexts& texts,
                        const std::function<LineStep(const std::string&)>& step);

// What a table line measures at one level, as read (missing as kMissing).
struct TableValues {
  double height, pressure, temp, hum, dep, dir, speed;
};
// Puts them into the level as the ascent keeps them: the dew point from the
// depression when both it and the temperature are present.
void SetTableValues(tUALevel& level, const TableValues& v);

}  // namespace tern
