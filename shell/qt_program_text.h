#pragma once
// One of the program's own texts (the numbered table) as the window shows it.
#include "control/program_texts.h"

#include <QString>

namespace qlor {

inline QString QProgramText(Say id, TextLanguage language) {
    const std::string_view text = ProgramText(id, language);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline QString QProgramText(Say id, const ProgramTextTable& texts) {
    const std::string_view text = texts.Text(id);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace qlor
