#pragma once
// The texts qlor-cli prints: the program's own texts, in English, as the command line speaks it.
#include "control/program_texts.h"

#include <initializer_list>
#include <string>
#include <string_view>

namespace qlor::cli {

inline const ProgramTextTable& CliTexts() {
    return ProgramTextTable::English();
}

// The text `id` with its %1, %2... filled in.
inline std::string CliSay(Say id, std::initializer_list<std::string_view> values = {}) {
    return FillText(CliTexts().Text(id), values);
}

} // namespace qlor::cli
