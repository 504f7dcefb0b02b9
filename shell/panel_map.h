#pragma once
// Which step buttons and value cells belong to which integer setting, with the words a screen
// reader uses for them, and the texts the cells show.
#include "control/panel_steps.h"
#include "control/program_texts.h"

#include <QString>

#include <optional>
#include <span>

namespace qlor {

struct StepPair {
    const char* up;        // objectName of the upper (step up) button
    const char* down;      // objectName of the lower (step down) button
    const char* indicator; // objectName of the value cell
    IntSetting id;
    Say subject;              // "Text number"
    std::optional<Say> digit; // "thousands digit"; none for a one-cell value
};

// Every step-button pair of the window, in the order the pages show them.
std::span<const StepPair> StepPairs();

// Accessible names from the program texts of the language shown:
// "Text number, thousands digit, up" and "Text number thousands digit".
QString StepButtonAccessibleName(const StepPair& pair, bool up, const ProgramTextTable& texts);
QString IndicatorSubject(const StepPair& pair, const ProgramTextTable& texts);
// "Raises the thousands digit of the text number by one".
QString StepButtonAccessibleDescription(const StepPair& pair, bool up, const ProgramTextTable& texts);

// Texts of the value cells.
QString PauseText(int pause);         // 3..9 -> "3".."9", 10..15 -> "A".."F", else decimal
QString MidiChannelText(int channel); // channel + 1 with a leading "0" below 10: "01".."16"
QString MidiPatchText(int patch);     // three digits with leading zeros: "000".."127"
// Built-in English short names; nothing for a value outside the table.
std::optional<QString> EnglishTextTypeName(int type);   // "L", "R", "N", "NC", "LN", "MX"
std::optional<QString> EnglishNoiseTypeName(int noise); // "--", "DT", "DS", "CS", "RN"

} // namespace qlor
