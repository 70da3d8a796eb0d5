#pragma once
// Local time and the locale's names and separators, as the clock sees them.
#include <array>
#include <string>

struct TLocalTime {
    int Year = 2000;
    int Month = 1;     // 1..12
    int Day = 1;       // 1..31
    int Hour = 0;      // 0..23
    int Minute = 0;    // 0..59
    int Second = 0;    // 0..59
    int DayOfWeek = 6; // 0 = Sunday .. 6 = Saturday
};

struct TClockLocale {
    std::string TimeSeparator = ":";
    std::string DateSeparator = "/";
    // Sunday first.
    std::array<std::string, 7> ShortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
};

class ITimeProvider {
public:
    virtual ~ITimeProvider() = default;
    virtual TLocalTime Now() = 0;
    virtual const TClockLocale& Locale() = 0;
};
