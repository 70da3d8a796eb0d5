#pragma once
// Text at the system boundary: the portable code keeps strings in the
// system's ANSI code page (the same code page the C runtime's fopen expects),
// the wide Win32 functions take UTF-16.
#include <string>
#include <string_view>

std::wstring Widen(std::string_view text);
std::string Narrow(std::wstring_view text);
// The system's message text of a Win32 error code, without the trailing line break.
std::string SystemErrorText(unsigned long code);
