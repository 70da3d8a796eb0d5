#include "platform/win32/WinClockLocale.h"

#include "platform/win32/WinText.h"

#include <windows.h>

namespace {

std::string LocaleText(LCTYPE type)
{
    wchar_t buffer[80] = {};
    const int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 80);
    return length > 1 ? Narrow(std::wstring_view(buffer, static_cast<std::size_t>(length - 1))) : std::string();
}

} // namespace

TClockLocale ReadUserClockLocale()
{
    // The system numbers its day names from Monday (1) to Sunday (7).
    static const LCTYPE kDays[7] = {LOCALE_SABBREVDAYNAME7, LOCALE_SABBREVDAYNAME1, LOCALE_SABBREVDAYNAME2,
                                    LOCALE_SABBREVDAYNAME3, LOCALE_SABBREVDAYNAME4, LOCALE_SABBREVDAYNAME5,
                                    LOCALE_SABBREVDAYNAME6};
    std::array<std::string, 7> names;
    for (std::size_t i = 0; i < names.size(); ++i)
        names[i] = LocaleText(kDays[i]);
    return MakeClockLocale(names, LocaleText(LOCALE_STIME), LocaleText(LOCALE_SDATE));
}
