#pragma once
// The system's local time (the C library's, with English names), a fixed time
// for tests and renders, and the clock's date and time formatting.
#include <string>
#include <utility>

#include "platform/TimeProvider.h"

// A locale from the system's short day names (Sunday first) and separators;
// every name or separator the system left empty keeps its English default.
TClockLocale MakeClockLocale(const std::array<std::string, 7>& shortDayNames, const std::string& timeSeparator,
                             const std::string& dateSeparator);

// The C library's local time with the given locale (English by default).
class TSystemTimeProvider : public ITimeProvider {
public:
    explicit TSystemTimeProvider(TClockLocale locale = {}) : locale_(std::move(locale)) {}
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

// One system provider for clocks that were given none.
ITimeProvider& SystemTime();

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
