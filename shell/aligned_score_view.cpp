#include "shell/aligned_score_view.h"

#include "shell/accessibility.h"
#include "shell/qt_program_text.h"

#include <QFontMetrics>
#include <QLabel>

namespace qlor {

void AlignedScoreView::Show(const AlignmentCounts& counts, const ProgramTextTable& texts) {
    last_ = counts;
    shown_ = true;
    const auto filled = [&](Say id) {
        return QProgramText(id, texts)
            .arg(counts.Errors())
            .arg(counts.substitutions)
            .arg(counts.omissions)
            .arg(counts.insertions);
    };
    // The score's lines, each cut to the narrow column so that none wraps into a line the label
    // has no room for; the whole score is the tool tip and what a screen reader reads (setting
    // the description tells it of the change).
    const QFontMetrics metrics(label_->font());
    QStringList lines = filled(Say::AlignedScore).split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = metrics.elidedText(line, Qt::ElideRight, label_->contentsRect().width());
    label_->setText(lines.join(QLatin1Char('\n')));
    const QString whole = filled(Say::AlignedScoreFull);
    label_->setToolTip(whole);
    AnnounceDescription(label_, whole);
}

void AlignedScoreView::Clear() {
    shown_ = false;
    label_->clear();
    label_->setToolTip(QString());
    AnnounceDescription(label_, QString());
}

void AlignedScoreView::ShowTexts(const ProgramTextTable& texts) {
    label_->setAccessibleName(QProgramText(Say::AlignedScoreName, texts));
    if (shown_)
        Show(last_, texts);
}

} // namespace qlor
