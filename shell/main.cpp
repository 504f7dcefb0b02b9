// qlor: the desktop program. One copy per user; a second start brings the running copy to the
// front and ends. The program takes no command-line arguments.
#include "shell/main_form.h"
#include "shell/single_instance.h"
#include "shell/store/qsettings_store.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qlor"));
    QApplication::setApplicationDisplayName(QString::fromLatin1(qlor::kApplicationTitle));
    QApplication::setOrganizationName(QStringLiteral("Tavel"));
    // The desktop entry and icon installed under this id name the window on the task bar.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.qlor2000.QLOR"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("io.github.qlor2000.QLOR")));

    qlor::SingleInstance instance;
    switch (instance.Start()) {
    case qlor::SingleInstance::Outcome::RaisedOther:
        return 0;
    case qlor::SingleInstance::Outcome::OtherNotAnswering:
        std::fprintf(stderr, "qlor: another copy is running but does not answer; not starting a second one.\n");
        return 1;
    case qlor::SingleInstance::Outcome::FirstUnguarded:
        std::fprintf(stderr, "qlor: the runtime folder cannot hold the instance lock; running unguarded.\n");
        break;
    case qlor::SingleInstance::Outcome::First:
        break;
    }

    // The settings of the user: per user, in the platform's native format ("Tavel" / "QLOR").
    qlor::QSettingsStore store;
    // The history of checks of the user, in the XDG data folder; opened at the first check.
    qlor::CheckHistory history(qlor::CheckHistory::DefaultPath());
    qlor::TMainForm form(nullptr, nullptr, &store);
    form.SetCheckHistory(&history);
    QObject::connect(&instance, &qlor::SingleInstance::raiseRequested, &form, &qlor::TMainForm::RaiseRequest);
    form.show();
    const int status = QApplication::exec();
    // A check that waited for a busy history gets one more chance.
    if (history.Flush().problem != qlor::HistoryProblem::None && history.Pending() > 0)
        std::fprintf(stderr, "qlor: %zu checks could not be recorded in %s\n", history.Pending(),
                     history.Path().c_str());
    return status;
}
