#include "shell/window_captions.h"

#include "shell/caption_feeds.h"
#include "shell/memo_text.h"
#include "shell/page_control.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>

#include <filesystem>
#include <string>
#include <vector>

namespace qlor {
namespace {

// The current directory as the file system names it (UTF-8 here).
std::filesystem::path CurrentDir() {
    return std::filesystem::path(QFile::encodeName(QDir::currentPath()).toStdString());
}

} // namespace

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

void FillLanguageList(QComboBox* list) {
    const QSignalBlocker quiet(list);
    list->clear();
    for (const std::string& item : LanguageListItems(CurrentDir()))
        list->addItem(QFile::decodeName(QByteArray::fromStdString(item)));
    list->setCurrentIndex(0);
}

LanguageChoice ChooseListedLanguage(const QComboBox* list, int position, CaptionTable& current,
                                    ProgramTextTable* currentTexts) {
    // The items as file-name parts; item 0 is "English".
    std::vector<std::string> items;
    items.reserve(static_cast<size_t>(list->count()));
    for (int i = 0; i < list->count(); ++i)
        items.push_back(QFile::encodeName(list->itemText(i)).toStdString());
    return ChooseLanguage(position, items, CurrentDir(), current, currentTexts);
}

} // namespace qlor
