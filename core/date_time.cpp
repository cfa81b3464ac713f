// Calendar arithmetic and the date pattern formatter.
#include "core/date_time.h"

#include <cmath>
#include <cstdio>
#include <ctime>

#include "core/error.h"

namespace core {

FormatSettingsData& FormatSettings() {
  static FormatSettingsData settings;
  return settings;
}

namespace {

constexpr double kMsPerDay = 86400000.0;

// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& y, int& m, int& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  long long yy = static_cast<long long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yy + (m <= 2));
}

const long long kEpochOffset = DaysFromCivil(1899, 12, 30);

// Milliseconds into the day of a day number, rounded the way the calendar
// routines round (a value of 0.99999999 is the next midnight).
void SplitValue(double value, long long& day, long long& ms) {
  double whole = std::trunc(value);
  double frac = std::fabs(value - whole);
  ms = static_cast<long long>(std::llround(frac * kMsPerDay));
  day = static_cast<long long>(whole);
  if (ms >= static_cast<long long>(kMsPerDay)) {
    ms -= static_cast<long long>(kMsPerDay);
    day += value < 0 ? -1 : 1;
  }
}

}  // namespace

bool IsValidDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int max = kDays[month - 1];
  if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0)) max = 29;
  return day <= max;
}

double EncodeDate(int year, int month, int day) {
  if (!IsValidDate(year, month, day)) throw Error("Invalid argument to date encode");
  return static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month),
                                           static_cast<unsigned>(day)) -
                             kEpochOffset);
}

double EncodeTime(int hour, int minute, int second, int msec) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
      msec < 0 || msec > 999)
    throw Error("Invalid argument to time encode");
  return ((hour * 3600.0 + minute * 60.0 + second) * 1000.0 + msec) / kMsPerDay;
}

DateParts DecodeDate(double value) {
  long long day, ms;
  SplitValue(value, day, ms);
  DateParts p;
  CivilFromDays(day + kEpochOffset, p.year, p.month, p.day);
  return p;
}

TimeParts DecodeTime(double value) {
  long long day, ms;
  SplitValue(value, day, ms);
  TimeParts t;
  t.hour = static_cast<int>(ms / 3600000);
  t.minute = static_cast<int>(ms / 60000 % 60);
  t.second = static_cast<int>(ms / 1000 % 60);
  t.msec = static_cast<int>(ms % 1000);
  return t;
}

int DayOfWeek(double value) {
  long long day, ms;
  SplitValue(value, day, ms);
  // 1899-12-30 was a Saturday.
  long long w = (day + 6) % 7;
  if (w < 0) w += 7;
  return static_cast<int>(w) + 1;
}

double Now() {
  std::timespec ts;
  std::timespec_get(&ts, TIME_UTC);
  std::tm local;
  time_t secs = ts.tv_sec;
  localtime_r(&secs, &local);
  return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
         EncodeTime(local.tm_hour, local.tm_min, local.tm_sec,
                    static_cast<int>(ts.tv_nsec / 1000000));
}

namespace {

char Up(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

void AppendNumber(std::string& out, int value, int width) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*d", width, value);
  out.append(buf);
}

bool MatchNoCase(std::string_view s, size_t i, std::string_view what) {
  if (s.size() - i < what.size()) return false;
  for (size_t k = 0; k < what.size(); ++k)
    if (Up(s[i + k]) != Up(what[k])) return false;
  return true;
}

class DateFormatter {
 public:
  DateFormatter(double value, const FormatSettingsData& s) : value_(value), s_(s) {
    date_ = DecodeDate(value);
    time_ = DecodeTime(value);
  }

  void Format(std::string_view pattern, std::string& out, int depth) {
    if (depth > 2) return;  // c, t and ddddd expand once; guards self-reference
    bool useAmPm = HasAmPm(pattern);
    bool lastWasHour = false;
    size_t i = 0;
    while (i < pattern.size()) {
      char c = pattern[i];
      char u = Up(c);
      size_t run = 1;
      while (i + run < pattern.size() && Up(pattern[i + run]) == u) ++run;
      switch (u) {
        case '"':
        case '\'': {
          size_t end = pattern.find(c, i + 1);
          if (end == std::string_view::npos) end = pattern.size();
          out.append(pattern.substr(i + 1, end - i - 1));
          i = end + 1;
          continue;
        }
        case 'Y':
          if (run <= 2)
            AppendNumber(out, date_.year % 100, 2);
          else
            AppendNumber(out, date_.year, 4);
          lastWasHour = false;
          break;
        case 'M':
          if (lastWasHour) {
            AppendNumber(out, time_.minute, run >= 2 ? 2 : 1);
            run = run >= 2 ? 2 : 1;
          } else if (run == 1) {
            AppendNumber(out, date_.month, 1);
          } else if (run == 2) {
            AppendNumber(out, date_.month, 2);
          } else if (run == 3) {
            out.append(s_.ShortMonthNames[date_.month - 1]);
          } else {
            out.append(s_.LongMonthNames[date_.month - 1]);
            run = 4;
          }
          lastWasHour = false;
          break;
        case 'D':
          if (run == 1) {
            AppendNumber(out, date_.day, 1);
          } else if (run == 2) {
            AppendNumber(out, date_.day, 2);
          } else if (run == 3) {
            out.append(s_.ShortDayNames[DayOfWeek(value_) - 1]);
          } else if (run == 4) {
            out.append(s_.LongDayNames[DayOfWeek(value_) - 1]);
          } else if (run == 5) {
            Format(s_.ShortDateFormat, out, depth + 1);
          } else {
            Format(s_.LongDateFormat, out, depth + 1);
            run = 6;
          }
          lastWasHour = false;
          break;
        case 'H': {
          int h = time_.hour;
          if (useAmPm) {
            h %= 12;
            if (h == 0) h = 12;
          }
          run = run >= 2 ? 2 : 1;
          AppendNumber(out, h, static_cast<int>(run));
          lastWasHour = true;
          break;
        }
        case 'N':
          run = run >= 2 ? 2 : 1;
          AppendNumber(out, time_.minute, static_cast<int>(run));
          lastWasHour = false;
          break;
        case 'S':
          run = run >= 2 ? 2 : 1;
          AppendNumber(out, time_.second, static_cast<int>(run));
          lastWasHour = false;
          break;
        case 'Z':
          if (run >= 3) {
            AppendNumber(out, time_.msec, 3);
            run = 3;
          } else {
            AppendNumber(out, time_.msec, 1);
            run = 1;
          }
          lastWasHour = false;
          break;
        case 'T':
          if (run >= 2) {
            Format(s_.LongTimeFormat, out, depth + 1);
            run = 2;
          } else {
            Format(s_.ShortTimeFormat, out, depth + 1);
          }
          lastWasHour = false;
          break;
        case 'C':
          Format(s_.ShortDateFormat, out, depth + 1);
          if (time_.hour || time_.minute || time_.second || time_.msec) {
            out.push_back(' ');
            Format(s_.LongTimeFormat, out, depth + 1);
          }
          run = 1;
          lastWasHour = false;
          break;
        case 'A':
          if (MatchNoCase(pattern, i, "am/pm")) {
            out.append(time_.hour < 12 ? (pattern[i] == 'a' ? "am" : "AM")
                                       : (pattern[i] == 'a' ? "pm" : "PM"));
            run = 5;
          } else if (MatchNoCase(pattern, i, "a/p")) {
            bool lower = pattern[i] == 'a';
            out.push_back(time_.hour < 12 ? (lower ? 'a' : 'A') : (lower ? 'p' : 'P'));
            run = 3;
          } else if (MatchNoCase(pattern, i, "ampm")) {
            out.append(time_.hour < 12 ? s_.TimeAMString : s_.TimePMString);
            run = 4;
          } else {
            out.push_back(c);
            run = 1;
          }
          break;
        case '/':
          out.push_back(s_.DateSeparator);
          run = 1;
          break;
        case ':':
          out.push_back(s_.TimeSeparator);
          run = 1;
          break;
        default:
          out.append(pattern.substr(i, run));
          if (u >= 'A' && u <= 'Z') lastWasHour = false;
          break;
      }
      i += run;
    }
  }

 private:
  static bool HasAmPm(std::string_view p) {
    for (size_t i = 0; i < p.size(); ++i) {
      if (p[i] == '"' || p[i] == '\'') {
        size_t end = p.find(p[i], i + 1);
        if (end == std::string_view::npos) return false;
        i = end;
        continue;
      }
      if (MatchNoCase(p, i, "am/pm") || MatchNoCase(p, i, "a/p") || MatchNoCase(p, i, "ampm"))
        return true;
    }
    return false;
  }

  double value_;
  const FormatSettingsData& s_;
  DateParts date_;
  TimeParts time_;
};

}  // namespace

std::string FormatDateTime(std::string_view pattern, double value,
                           const FormatSettingsData& settings) {
  std::string out;
  DateFormatter f(value, settings);
  f.Format(pattern.empty() ? std::string_view("c") : pattern, out, 0);
  return out;
}

std::string DateToStr(double value) { return FormatDateTime(FormatSettings().ShortDateFormat, value); }
std::string TimeToStr(double value) { return FormatDateTime(FormatSettings().LongTimeFormat, value); }
std::string DateTimeToStr(double value) { return FormatDateTime("c", value); }

}  // namespace core
