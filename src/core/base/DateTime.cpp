#include "base/DateTime.h"

#include <chrono>
#include <cmath>
#include <ctime>

#include "base/Error.h"
#include "base/Text.h"

namespace tern {
namespace {

constexpr bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// Days from 0001-01-01 to the given date (proleptic Gregorian), 1-based day count.
constexpr long long DayNumber(int y, int m, int d) {
  constexpr int cum[2][13] = {{0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
                              {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366}};
  const long long yy = y - 1;
  return yy * 365 + yy / 4 - yy / 100 + yy / 400 + cum[IsLeap(y) ? 1 : 0][m - 1] + d;
}

// A compile-time constant, so date-times defined at file level elsewhere never
// see it before it is set.
constexpr long long kDelta = DayNumber(1899, 12, 30);
static_assert(DayNumber(1970, 1, 1) - kDelta == 25569);

void DateFromDayNumber(long long n, int& y, int& m, int& d) {
  // Inverse of DayNumber by the usual 400/100/4/1-year cycles.
  long long t = n - 1;
  long long y400 = t / 146097; t %= 146097;
  long long y100 = t / 36524; t %= 36524;
  if (y100 == 4) { y100 = 3; t += 36524; }
  long long y4 = t / 1461; t %= 1461;
  long long y1 = t / 365; t %= 365;
  if (y1 == 4) { y1 = 3; t += 365; }
  y = static_cast<int>(y400 * 400 + y100 * 100 + y4 * 4 + y1 + 1);
  int dayOfYear = static_cast<int>(t);
  m = 1;
  while (dayOfYear >= DaysInMonth(y, m)) { dayOfYear -= DaysInMonth(y, m); ++m; }
  d = dayOfYear + 1;
}

}  // namespace

int DaysInMonth(int year, int month) {
  static const int days[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeap(year) ? 29 : days[month];
}

bool IsValidDate(int year, int month, int day) {
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

std::optional<TDateTime> TryEncodeDate(int year, int month, int day) {
  if (!IsValidDate(year, month, day)) return std::nullopt;
  return static_cast<double>(DayNumber(year, month, day) - kDelta);
}

std::optional<TDateTime> TryEncodeTime(int hour, int minute, int second, int msec) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 || msec > 999)
    return std::nullopt;
  return (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + msec) / kMsecPerDay;
}

TDateTime EncodeDate(int year, int month, int day) {
  auto d = TryEncodeDate(year, month, day);
  if (!d) throw TernError(cp("Неверная дата"));
  return *d;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec) {
  auto t = TryEncodeTime(hour, minute, second, msec);
  if (!t) throw TernError(cp("Неверное время"));
  return *t;
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec) {
  return EncodeDate(year, month, day) + EncodeTime(hour, minute, second, msec);
}

DateParts DecodeDateTime(TDateTime dt) {
  // The whole part counts days, the fraction of its absolute value the time of day.
  long long days = static_cast<long long>(std::trunc(dt));
  long long ms = std::llround(std::fabs(dt - std::trunc(dt)) * kMsecPerDay);
  if (ms >= static_cast<long long>(kMsecPerDay)) { ms -= static_cast<long long>(kMsecPerDay); days += dt < 0 ? -1 : 1; }
  DateParts p;
  DateFromDayNumber(days + kDelta, p.year, p.month, p.day);
  p.hour = static_cast<int>(ms / 3600000);
  p.minute = static_cast<int>(ms / 60000 % 60);
  p.second = static_cast<int>(ms / 1000 % 60);
  p.msec = static_cast<int>(ms % 1000);
  return p;
}

int DayOfYear(TDateTime dt) {
  const DateParts p = DecodeDateTime(dt);
  return static_cast<int>(DayNumber(p.year, p.month, p.day) - DayNumber(p.year, 1, 1) + 1);
}

TDateTime FromUnixSeconds(double seconds) { return 25569.0 + seconds / 86400.0; }
double ToUnixSeconds(TDateTime dt) { return (dt - 25569.0) * 86400.0; }

TDateTime NowUTC() {
  using namespace std::chrono;
  const auto ms = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
  return FromUnixSeconds(static_cast<double>(ms) / 1000.0);
}

TDateTime NowLocal() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t t = system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&t, &local);
  const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
         EncodeTime(local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(ms));
}

std::string FormatDateTime(std::string_view f, TDateTime dt) {
  const DateParts p = DecodeDateTime(dt);
  std::string out;
  char lastToken = 0;
  size_t i = 0;
  auto num = [&](int v, int count) { out += count >= 2 ? CodeDigits(v, count) : std::to_string(v); };
  while (i < f.size()) {
    const char c = f[i];
    if (c == '"' || c == '\'') {
      const size_t end = f.find(c, i + 1);
      const size_t stop = end == std::string_view::npos ? f.size() : end;
      out.append(f.substr(i + 1, stop - i - 1));
      i = end == std::string_view::npos ? f.size() : end + 1;
      continue;
    }
    char token = c;
    if (token >= 'a' && token <= 'z') token = static_cast<char>(token - 32);
    if (token < 'A' || token > 'Z') { out += c; ++i; continue; }
    if (token == 'M' && lastToken == 'H') token = 'N';
    lastToken = token;
    size_t count = 1;
    while (i + count < f.size() && (f[i + count] == c || f[i + count] == c + 32 || f[i + count] == c - 32)) ++count;
    switch (token) {
      case 'Y': num(count <= 2 ? p.year % 100 : p.year, count <= 2 ? 2 : 4); break;
      case 'M': num(p.month, count >= 2 ? 2 : 1); break;
      case 'D': num(p.day, count >= 2 ? 2 : 1); break;
      case 'H': num(p.hour, count >= 2 ? 2 : 1); break;
      case 'N': num(p.minute, count >= 2 ? 2 : 1); break;
      case 'S': num(p.second, count >= 2 ? 2 : 1); break;
      case 'Z': num(p.msec, count >= 3 ? 3 : 1); break;
      default: out.append(f.substr(i, count)); break;
    }
    i += count;
  }
  return out;
}

std::string DateToStr(TDateTime dt) { return FormatDateTime("dd.mm.yyyy", dt); }
std::string TimeToStr(TDateTime dt) { return FormatDateTime("hh:nn:ss", dt); }
std::string DateTimeToStr(TDateTime dt) { return FormatDateTime("dd.mm.yyyy hh:nn:ss", dt); }

namespace {
// Splits "a<sep>b<sep>c" into numbers; every piece must be 1+ decimal digits.
bool SplitNumbers(std::string_view s, char sep, int* out, int minParts, int maxParts, int& parts) {
  parts = 0;
  size_t start = 0;
  while (true) {
    const size_t end = s.find(sep, start);
    const std::string_view piece = s.substr(start, end == std::string_view::npos ? s.npos : end - start);
    if (piece.empty() || piece.size() > 4 || parts >= maxParts) return false;
    int v = 0;
    for (char c : piece) {
      if (c < '0' || c > '9') return false;
      v = v * 10 + (c - '0');
    }
    out[parts++] = v;
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return parts >= minParts;
}
}  // namespace

std::optional<TDateTime> StrToDate(std::string_view s) {
  const std::string t = Trim(s);
  int v[3];
  int n = 0;
  if (!SplitNumbers(t, '.', v, 3, 3, n)) return std::nullopt;
  int year = v[2];
  if (t.size() - t.rfind('.') - 1 <= 2) year += year < 50 ? 2000 : 1900;
  return TryEncodeDate(year, v[1], v[0]);
}

std::optional<TDateTime> StrToTime(std::string_view s) {
  const std::string t = Trim(s);
  int v[3] = {0, 0, 0};
  int n = 0;
  if (!SplitNumbers(t, ':', v, 2, 3, n)) return std::nullopt;
  return TryEncodeTime(v[0], v[1], v[2]);
}

std::optional<TDateTime> StrToDateTime(std::string_view s) {
  const std::string t = Trim(s);
  const size_t sp = t.find(' ');
  if (sp == std::string::npos) return StrToDate(t);
  auto d = StrToDate(std::string_view(t).substr(0, sp));
  auto tm = StrToTime(std::string_view(t).substr(sp + 1));
  if (!d || !tm) return std::nullopt;
  return *d + *tm;
}

TDateTime RoundToSecond(TDateTime dt) { return std::round(dt * 86400.0) / 86400.0; }
TDateTime RoundToHour(TDateTime dt) { return std::round(dt * 24.0) / 24.0; }

}  // namespace tern
