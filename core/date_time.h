// Date/time values as day numbers since 1899-12-30 (the fraction is the time
// of day), the process-wide formatting settings, and the date pattern language
// (yyyy, mm, dd, hh, nn, ss, zzz, am/pm, quoted literals, c, t, tt, ddddd ...).
#pragma once

#include <string>
#include <string_view>

namespace core {

struct FormatSettingsData {
  std::string ShortDateFormat = "yyyy-mm-dd";
  std::string LongDateFormat = "yyyy-mm-dd";
  char DateSeparator = '-';
  char TimeSeparator = ':';
  std::string ShortTimeFormat = "hh:nn";
  std::string LongTimeFormat = "hh:nn:ss";
  std::string TimeAMString = "AM";
  std::string TimePMString = "PM";
  char DecimalSeparator = '.';
  char ThousandSeparator = ',';
  std::string CurrencyString = "\xEF\xBF\xA5";  // the yuan sign
  std::string ShortMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::string LongMonthNames[12] = {"January", "February", "March",     "April",
                                    "May",     "June",     "July",      "August",
                                    "September", "October", "November", "December"};
  std::string ShortDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  std::string LongDayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};
};

// The process's formatting settings: every date-to-text conversion reads them.
FormatSettingsData& FormatSettings();

struct DateParts {
  int year = 1899, month = 12, day = 30;
};
struct TimeParts {
  int hour = 0, minute = 0, second = 0, msec = 0;
};

bool IsValidDate(int year, int month, int day);
// Day number of a calendar date; throws core::Error for an invalid date.
double EncodeDate(int year, int month, int day);
double EncodeTime(int hour, int minute, int second, int msec);
DateParts DecodeDate(double value);
TimeParts DecodeTime(double value);
int DayOfWeek(double value);  // 1 = Sunday ... 7 = Saturday

// The current local date and time as a day number.
double Now();

std::string FormatDateTime(std::string_view pattern, double value,
                           const FormatSettingsData& settings = FormatSettings());
std::string DateToStr(double value);      // short date format
std::string TimeToStr(double value);      // long time format
std::string DateTimeToStr(double value);  // date, plus the time unless it is midnight

}  // namespace core
