#include "sounding/corvo/TextTable.h"

#include <algorithm>
#include <cmath>

#include "base/Error.h"
#include "base/Operator.h"
#include "sounding/Records.h"

namespace tern {

std::string_view TakeRange(std::string_view line, int first, int last) {
  if (first < 1) first = 1;
  if (last < first || static_cast<size_t>(first) > line.size()) return {};
  return line.substr(static_cast<size_t>(first - 1), static_cast<size_t>(last - first + 1));
}

std::string_view TakeColumn(std::string_view line, const FixedColumn& c, const ColumnShifts& shifts) {
  int first = c.first, width = c.width;
  for (int n = 0; n < kMaxShifts; ++n) {
    if (c.firstShifts & (1u << n)) first += shifts[n];
    if (c.widthShifts & (1u << n)) width += shifts[n];
  }
  return TakeRange(line, first, first + width - 1);
}

std::string_view TakeColumn(std::string_view line, const FixedColumn& c) {
  static const ColumnShifts none = {0, 0, 0, 0};
  return TakeColumn(line, c, none);
}

bool ParseWhole(std::string_view text, long long& value) {
  const auto v = TryParseWhole(text);
  if (v) value = *v;
  return v.has_value();
}

double ReadField(std::string_view text, NumKind kind, const FieldRules& rules) {
  if (rules.slashMissing && text.find('/') != std::string_view::npos) return kMissing;
  const std::string t = (kind == NumKind::Whole && rules.trimLeftOnly) ? TrimLeft(text) : Trim(text);
  if (t.empty() && rules.emptyMissing) return kMissing;
  if (kind == NumKind::Whole) {
    long long v = 0;
    if (!ParseWhole(t, v)) throw FieldFailure{};
    return static_cast<double>(v);
  }
  const auto v = TryParseReal(t);
  if (!v) throw FieldFailure{};
  return *v;
}

double RoundEven(double v) { return std::nearbyint(v); }

TableEnd ReadTableLines(IOperator& op, const std::string& title, const TextList& lines, size_t from,
                        const TableTexts& texts, const std::function<LineStep(const std::string&)>& step) {
  for (size_t i = from; i < lines.size(); ++i) {
    try {
      if (step(lines[i]) == LineStep::End) return TableEnd::Done;
    } catch (const FieldFailure& f) {
      Question q;
      q.title = title;
      q.text = texts.questionHead + (f.shown.empty() ? lines[i] : f.shown) + cp("\rПродолжить ввод?");
      q.buttons = {cp("Продолжить"), cp("Прервать"), cp("Отменить")};
      q.icon = BoxIcon::Question;
      q.defaultButton = 1;
      q.escButton = 3;
      switch (op.Ask(q)) {
        case 1: continue;
        case 3: return TableEnd::Cancelled;
        default: return TableEnd::Stopped;  // "Прервать", or the box closed
      }
    } catch (const LineFailure& f) {
      throw TernError(texts.errorHead + f.text);
    }
  }
  return TableEnd::Done;
}

void SetTableValues(tUALevel& level, const TableValues& v) {
  level.Height = static_cast<float>(v.height);
  level.Pressure = static_cast<float>(v.pressure);
  level.Temp = static_cast<float>(v.temp);
  level.Humidity = static_cast<float>(v.hum);
  level.WindDir = static_cast<float>(v.dir);
  level.WindSpeed = static_cast<float>(v.speed);
  level.DewPoint = static_cast<float>(Present(v.temp) && Present(v.dep) ? v.temp - v.dep : kMissing);
}

}  // namespace tern
