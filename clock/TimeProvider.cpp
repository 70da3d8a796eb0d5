#include "clock/TimeProvider.h"

#include <cctype>
#include <cstdio>
#include <ctime>

TLocalTime TSystemTimeProvider::Now()
{
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
#if defined(_WIN32)
    // The Windows C library keeps localtime's result per thread.
    if (const std::tm* local = std::localtime(&now))
        tm = *local;
#else
    localtime_r(&now, &tm);
#endif
    TLocalTime t;
    t.Year = tm.tm_year + 1900;
    t.Month = tm.tm_mon + 1;
    t.Day = tm.tm_mday;
    t.Hour = tm.tm_hour;
    t.Minute = tm.tm_min;
    t.Second = tm.tm_sec > 59 ? 59 : tm.tm_sec;
    t.DayOfWeek = tm.tm_wday;
    return t;
}

TClockLocale MakeClockLocale(const std::array<std::string, 7>& shortDayNames, const std::string& timeSeparator,
                             const std::string& dateSeparator)
{
    TClockLocale locale;
    for (std::size_t i = 0; i < shortDayNames.size(); ++i)
        if (!shortDayNames[i].empty())
            locale.ShortDayNames[i] = shortDayNames[i];
    if (!timeSeparator.empty())
        locale.TimeSeparator = timeSeparator;
    if (!dateSeparator.empty())
        locale.DateSeparator = dateSeparator;
    return locale;
}

ITimeProvider& SystemTime()
{
    static TSystemTimeProvider system;
    return system;
}

int DayOfWeek(int year, int month, int day)
{
    // Sakamoto's method.
    static const int t[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3)
        year -= 1;
    return (year + year / 4 - year / 100 + year / 400 + t[(month - 1) % 12] + day) % 7;
}

bool ParseLocalTime(const std::string& text, TLocalTime& time)
{
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || (text[10] != 'T' && text[10] != ' ') ||
        text[13] != ':' || text[16] != ':')
        return false;
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18})
        if (!std::isdigit(static_cast<unsigned char>(text[static_cast<std::size_t>(i)])))
            return false;
    auto num = [&](int pos, int len) { return std::stoi(text.substr(static_cast<std::size_t>(pos), static_cast<std::size_t>(len))); };
    TLocalTime t;
    t.Year = num(0, 4);
    t.Month = num(5, 2);
    t.Day = num(8, 2);
    t.Hour = num(11, 2);
    t.Minute = num(14, 2);
    t.Second = num(17, 2);
    static const int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (t.Year < 1 || t.Month < 1 || t.Month > 12 || t.Day < 1 || t.Day > days[t.Month - 1] || t.Hour > 23 ||
        t.Minute > 59 || t.Second > 59)
        return false;
    const bool leap = (t.Year % 4 == 0 && t.Year % 100 != 0) || t.Year % 400 == 0;
    if (t.Month == 2 && t.Day == 29 && !leap)
        return false;
    t.DayOfWeek = DayOfWeek(t.Year, t.Month, t.Day);
    time = t;
    return true;
}

namespace {

std::string TwoDigits(int v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

bool StartsWithNoCase(const std::string& s, std::size_t pos, const char* word)
{
    for (std::size_t i = 0; word[i]; ++i) {
        if (pos + i >= s.size() || std::tolower(static_cast<unsigned char>(s[pos + i])) != word[i])
            return false;
    }
    return true;
}

} // namespace

std::string FormatClockTime(const std::string& pattern, const TLocalTime& time, const TClockLocale& locale)
{
    const bool twelveHour = StartsWithNoCase(pattern, pattern.find_first_of("aA") == std::string::npos
                                                          ? pattern.size()
                                                          : pattern.find_first_of("aA"),
                                             "a/p");
    std::string out;
    bool afterHour = false;
    for (std::size_t i = 0; i < pattern.size();) {
        if (StartsWithNoCase(pattern, i, "a/p")) {
            const bool upper = pattern[i] == 'A';
            const char c = time.Hour < 12 ? 'a' : 'p';
            out += upper ? static_cast<char>(std::toupper(c)) : c;
            i += 3;
        } else if (StartsWithNoCase(pattern, i, "hh")) {
            int h = time.Hour;
            if (twelveHour) {
                h %= 12;
                if (h == 0)
                    h = 12;
            }
            out += TwoDigits(h);
            afterHour = true;
            i += 2;
        } else if (StartsWithNoCase(pattern, i, "nn")) {
            out += TwoDigits(time.Minute);
            i += 2;
        } else if (StartsWithNoCase(pattern, i, "ddd")) {
            const int d = time.DayOfWeek >= 0 && time.DayOfWeek < 7 ? time.DayOfWeek : 0;
            out += locale.ShortDayNames[static_cast<std::size_t>(d)];
            i += 3;
        } else if (StartsWithNoCase(pattern, i, "dd")) {
            out += TwoDigits(time.Day);
            i += 2;
        } else if (StartsWithNoCase(pattern, i, "mm")) {
            out += TwoDigits(afterHour ? time.Minute : time.Month);
            afterHour = false;
            i += 2;
        } else if (pattern[i] == ':') {
            out += locale.TimeSeparator;
            ++i;
        } else if (pattern[i] == '/') {
            out += locale.DateSeparator;
            ++i;
        } else {
            out += pattern[i];
            ++i;
        }
    }
    return out;
}
