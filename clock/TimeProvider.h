#pragma once
// Local time and the locale's names and separators, as the clock sees them.
// The system provider reads the C library's local time with English names;
// tests and renders install a fixed one.
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

// The C library's local time with the default English locale.
class TSystemTimeProvider : public ITimeProvider {
public:
    TLocalTime Now() override;
    const TClockLocale& Locale() override { return locale_; }

private:
    TClockLocale locale_;
};

// Always the same moment (tests, reproducible renders).
class TFixedTimeProvider : public ITimeProvider {
public:
    TFixedTimeProvider() = default;
    explicit TFixedTimeProvider(const TLocalTime& time, TClockLocale locale = {}) : Time(time), Locale_(std::move(locale)) {}
    TLocalTime Now() override { return Time; }
    const TClockLocale& Locale() override { return Locale_; }

    TLocalTime Time;
    TClockLocale Locale_;
};

// The process-wide provider: the system one unless another was installed
// (not owned; nullptr restores the system provider).
ITimeProvider& ClockTimeProvider();
void SetClockTimeProvider(ITimeProvider* provider);

// The day of the week (0 = Sunday) of a Gregorian date.
int DayOfWeek(int year, int month, int day);
// Parses "YYYY-MM-DDTHH:MM:SS" into a valid local time; false when malformed
// or out of range.
bool ParseLocalTime(const std::string& text, TLocalTime& time);

// Date-time formatting for the clock's patterns: "hh" (two-digit hour, 12-hour
// after "a/p"), "nn" (minutes), "a/p" ("a" or "p"), "ddd" (short day name),
// "mm" (month; minutes right after an hour), "dd" (day), ":" (the time
// separator) and "/" (the date separator). Other characters are copied.
std::string FormatClockTime(const std::string& pattern, const TLocalTime& time, const TClockLocale& locale);
