#pragma once
// The current date and time as the system's regional settings write them.
#include <string>

namespace qlor::cli {

// Short date, one space, long time ("%x %X" in the locale of the environment), as cp1251.
std::string LocalDateTimeText();

} // namespace qlor::cli
