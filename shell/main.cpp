// qlor: the desktop program. One copy per user; a second start brings the running copy to the
// front and ends. The program takes no command-line arguments; only "--version" prints the version
// and ends before anything else happens (no display, no instance lock, no settings).
#include "shell/main_form.h"
#include "shell/single_instance.h"
#include "shell/store/qsettings_store.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("qlor %s\n", QLOR_VERSION);
        return 0;
    }
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
    qlor::TMainForm form(nullptr, nullptr, &store);
    QObject::connect(&instance, &qlor::SingleInstance::raiseRequested, &form, &qlor::TMainForm::RaiseRequest);
    form.show();
    return QApplication::exec();
}
