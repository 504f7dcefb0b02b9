#include "shell/blocked_view.h"

#include "shell/blocked_controls.h"
#include "shell/panel_widgets.h"

#include <QPlainTextEdit>

namespace qlor {
namespace {

QString Name(std::string_view name) {
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

} // namespace

void ShowBlocked(QWidget* window, bool blocked) {
    for (const std::string_view name : BlockedControls())
        if (auto* w = window->findChild<QWidget*>(Name(name)))
            w->setEnabled(!blocked);
    for (const std::string_view name : StopControls())
        if (auto* w = window->findChild<QWidget*>(Name(name)))
            w->setEnabled(blocked);
    for (const std::string_view name : ReadOnlyMemosWhileBlocked())
        if (auto* memo = window->findChild<QPlainTextEdit*>(Name(name)))
            memo->setReadOnly(blocked);
    for (const std::string_view name : TransmissionLamps())
        if (auto* lamp = window->findChild<Lamp*>(Name(name)))
            lamp->SetOnAir(blocked);
}

} // namespace qlor
