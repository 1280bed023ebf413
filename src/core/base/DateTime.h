#pragma once
// Date-times are real numbers of days since 30 December 1899; the fraction is
// the time of day. This module is the only place that encodes, decodes and
// formats them.
#include <optional>
#include <string>
#include <string_view>

namespace tern {

using TDateTime = double;

struct DateParts {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0, msec = 0;
};

constexpr double kMsecPerDay = 86400000.0;

bool IsValidDate(int year, int month, int day);
std::optional<TDateTime> TryEncodeDate(int year, int month, int day);
std::optional<TDateTime> TryEncodeTime(int hour, int minute, int second, int msec = 0);
// Throws TernError for an impossible date or time.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int msec = 0);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int msec = 0);
// Breaks a date-time down; the time of day is rounded to the millisecond.
DateParts DecodeDateTime(TDateTime dt);
int DaysInMonth(int year, int month);
int DayOfYear(TDateTime dt);

TDateTime NowUTC();
TDateTime NowLocal();
TDateTime FromUnixSeconds(double seconds);
double ToUnixSeconds(TDateTime dt);

// Format letters (case-insensitive): yyyy, yy, mm/m, dd/d, hh/h, nn/n, ss/s, zzz/z;
// an m that follows an hour field means minutes; text in quotes and every other
// character is copied unchanged.
std::string FormatDateTime(std::string_view format, TDateTime dt);

// The process-wide short formats: "dd.mm.yyyy", "hh:nn", "hh:nn:ss".
std::string DateToStr(TDateTime dt);
std::string TimeToStr(TDateTime dt);           // hh:nn:ss
std::string DateTimeToStr(TDateTime dt);       // dd.mm.yyyy hh:nn:ss
std::optional<TDateTime> StrToDate(std::string_view s);
std::optional<TDateTime> StrToTime(std::string_view s);  // hh:nn or hh:nn:ss
std::optional<TDateTime> StrToDateTime(std::string_view s);

// Rounds to the nearest whole second / hour.
TDateTime RoundToSecond(TDateTime dt);
TDateTime RoundToHour(TDateTime dt);

}  // namespace tern
