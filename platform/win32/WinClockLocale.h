#pragma once
// The clock's day names and separators from the user's locale on Windows.
#include "clock/TimeProvider.h"

// The user's short day names and time and date separators; English for any
// the system does not give.
TClockLocale ReadUserClockLocale();
