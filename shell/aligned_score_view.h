#pragma once
// The aligned score of the last check beside the check list: its lines cut to the narrow column,
// the whole score as the tool tip and announced to a screen reader; it keeps the counts so that
// a change of language writes the score again in the new language.
#include "control/program_texts.h"
#include "exercises/check_statistics.h"

class QLabel;

namespace qlor {

class AlignedScoreView {
public:
    explicit AlignedScoreView(QLabel* label) : label_(label) {}
    void Show(const AlignmentCounts& counts, const ProgramTextTable& texts);
    void Clear();
    // Writes the label's name and the score shown, if any, in the language of `texts`.
    void ShowTexts(const ProgramTextTable& texts);

private:
    QLabel* label_;
    AlignmentCounts last_;
    bool shown_ = false;
};

} // namespace qlor
