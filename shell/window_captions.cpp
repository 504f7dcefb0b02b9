#include "shell/window_captions.h"

#include "shell/memo_text.h"
#include "shell/page_control.h"

#include <QAbstractButton>
#include <QLabel>

namespace qlor {

void WriteCaptions(QWidget* window, PageControl* pages, const CaptionTable& table) {
    for (const CaptionFeed& feed : CaptionFeeds()) {
        const QString caption = FromCp1251(table.Text(feed.entry));
        const QString name =
            QString::fromLatin1(feed.objectName.data(), static_cast<qsizetype>(feed.objectName.size()));
        QWidget* control = window->findChild<QWidget*>(name);
        if (!control)
            continue;
        switch (feed.target) {
        case CaptionTarget::PageCaption:
            pages->setTabText(pages->indexOf(control), caption);
            break;
        case CaptionTarget::Caption:
            if (auto* label = qobject_cast<QLabel*>(control))
                label->setText(caption);
            else if (auto* button = qobject_cast<QAbstractButton*>(control))
                button->setText(caption);
            break;
        case CaptionTarget::Hint:
            control->setToolTip(caption);
            break;
        }
    }
}

} // namespace qlor
