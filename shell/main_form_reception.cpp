// The reception check: the operator's copy in InputMemo compared position by position with the
// sent text in MemoText, the check list in CheckList, and saving that list.
#include "shell/main_form_pages.h"

#include "exercises/reception_check.h"
#include "shell/accessibility.h"
#include "shell/date_time_text.h"
#include "shell/memo_text.h"

#include <QDateTime>

#include <algorithm>

namespace qlor {

int TMainForm::MemoWrapChars() const {
    // One width for both boxes, so the sent text and the copy are always cut into lines alike.
    return std::min(MemoWrapCharsOf(text.MemoText), MemoWrapCharsOf(reception.InputMemo));
}

void TMainForm::ButtonCheckTextClick() {
    reception.CheckList->clear();

    // One moment for both date and time, so that a check at midnight cannot take today's time with
    // yesterday's date.
    const CheckHead head = MakeCheckHead(settings_, textOptions.CheckBoxTextType->isChecked(),
                                         ToCp1251(SystemDateTimeText(QDateTime::currentDateTime())));
    std::string sentText = MemoBytes(text.MemoText);
    std::string copyText = MemoBytes(reception.InputMemo);
    const CheckList list = CheckCopy(head, sentText, copyText, MemoWrapChars());
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
