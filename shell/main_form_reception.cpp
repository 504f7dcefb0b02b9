// The reception check: the operator's copy in InputMemo compared position by position with the
// sent text in MemoText, the check list in CheckList, and saving that list.
#include "shell/main_form.h"

#include "exercises/reception_check.h"
#include "shell/accessibility.h"
#include "shell/memo_text.h"

#include <QDate>
#include <QDateTime>
#include <QFontMetrics>
#include <QLocale>
#include <QScrollBar>
#include <QStyle>
#include <QTime>

#include <algorithm>
#include <cmath>

namespace qlor {
namespace {

// Width of the text area of a memo [px]: the box without its frame, its vertical scroll bar (the
// sent text and the copy always show one) and the document's margins. Worked out from the
// geometry, so it is the same whether or not the window has been laid out on screen.
int TextAreaWidth(const QPlainTextEdit* memo) {
    int width = memo->width() - 2 * memo->frameWidth();
    if (memo->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn)
        width -= memo->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, memo->verticalScrollBar());
    width -= 2 * static_cast<int>(std::ceil(memo->document()->documentMargin()));
    return width;
}

int WrapCharsOf(const QPlainTextEdit* memo) {
    const QFontMetrics metrics(memo->font());
    return WrapWidthChars(TextAreaWidth(memo), metrics.horizontalAdvance(QLatin1Char('M')));
}

} // namespace

int TMainForm::MemoWrapChars() const {
    // One width for both boxes, so the sent text and the copy are always cut into lines alike.
    return std::min(WrapCharsOf(text.MemoText), WrapCharsOf(reception.InputMemo));
}

void TMainForm::ButtonCheckTextClick() {
    reception.CheckList->clear();

    CheckHead head;
    const QLocale locale = QLocale::system();
    head.dateTime = ToCp1251(locale.toString(QDate::currentDate(), QLocale::ShortFormat) + QLatin1Char(' ') +
                             locale.toString(QTime::currentTime(), QLocale::LongFormat));
    head.ownText = textOptions.CheckBoxTextType->isChecked();
    std::copy(settings_.number.begin(), settings_.number.end(), head.number);
    std::copy(settings_.speed.begin(), settings_.speed.end(), head.speed);

    const int width = MemoWrapChars();
    std::string sentText = MemoBytes(text.MemoText);
    std::string copyText = MemoBytes(reception.InputMemo);
    const std::vector<std::string> sent = WrapLines(sentText, width);
    const std::vector<std::string> copy = WrapLines(copyText, width);
    const CheckList list = BuildCheckList(head, sent, copy);
    SetMemoBytes(reception.CheckList, list.Text());
    // The total is announced with the list, in the window's language (the list's own last line
    // is always Russian).
    AnnounceDescription(reception.CheckList, OwnText(Say::AccCheckListDesc) + QStringLiteral(". ") +
                                                 OwnText(Say::AccCheckTotal).arg(list.errors));

    // Beside the check list, never in it: the aligned score, and the check in the history.
    RecordCheck(MakeCheckRecord(QDateTime::currentSecsSinceEpoch(), std::move(sentText), std::move(copyText),
                                list.errors, head.ownText, settings_.charInGroup == 0 ? 10 : settings_.charInGroup));
}

void TMainForm::Button51Click() {
    FileDialogSpec request = SaveDialogText;
    request.fileName = OwnText(Say::CheckFileName);
    // The list exactly as the box holds it: Windows-1251, every line ended by CR LF.
    SaveMemoAs(request, reception.CheckList);
}

} // namespace qlor
