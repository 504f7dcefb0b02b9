#include "cli/local_time.h"

#include "base/codepage.h"

#include <clocale>
#include <ctime>
#include <langinfo.h>
#include <string_view>

namespace qlor::cli {

std::string LocalDateTimeText() {
    // The date and time formats follow the environment's locale (LC_TIME / LC_ALL / LANG).
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "");
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[256];
    const size_t n = std::strftime(buffer, sizeof buffer, "%x %X", &local);
    const std::string_view text(buffer, n);
    const std::string_view codeset = nl_langinfo(CODESET);
    std::string result;
    if (codeset == "CP1251" || codeset == "WINDOWS-1251") {
        result = std::string(text);
    } else {
        // UTF-8 locales, and ASCII ones, whose text is valid UTF-8 as it stands.
        result = Utf8ToCp1251(text);
    }
    std::setlocale(LC_ALL, previous.c_str());
    return result;
}

} // namespace qlor::cli
