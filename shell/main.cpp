// qlor: the desktop program. One copy per user; a second start brings the running copy to the
// front and ends. The program takes no command-line arguments; only "--version" prints the version
// and "--help" a usage text, and either ends before anything else happens (no display, no
// instance lock, no settings).
#include "shell/main_form.h"
#include "shell/single_instance.h"
#include "shell/store/qsettings_store.h"

#include "shell/termination_signals.h"
#include "shell/ui_dialogs.h"
#include "shell/window_scale.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QThread>

#include <cstdio>
#include <cstring>
#include <exception>

namespace {

constexpr char kUsage[] = "Usage: qlor [--help | --version]\n"
                          "The QLOR-2000 code trainer: a window for learning to receive Morse code by ear.\n"
                          "One copy runs per user; starting qlor again brings the running copy to the front.\n"
                          "\n"
                          "  --help     print this text and exit\n"
                          "  --version  print the version and exit\n"
                          "\n"
                          "SIGTERM, SIGINT and SIGHUP close the window as its close button does.\n"
                          "The settings are kept in ~/.config/Tavel/QLOR.conf ($XDG_CONFIG_HOME if set).\n"
                          "qlor-cli is the command-line companion; see qlor-cli --help.\n";

// Any exception that leaves an event handler (bad_alloc included) is reported in a message box
// and the program goes on from the state it had reached, instead of ending on the spot.
class GuardedApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& error) {
            // In the window's language while the window exists, English before and after.
            const bool windowThread = form != nullptr && QThread::currentThread() == thread();
            QMessageBox::critical(
                activeWindow(), applicationDisplayName(),
                qlor::ExceptionText(error, windowThread ? form->OwnTexts() : qlor::ProgramTextTable::English()));
        }
        return false;
    }

    const qlor::TMainForm* form = nullptr;
};

// Points the application's error report at the window for as long as the window lives.
class ReportLanguage {
public:
    ReportLanguage(GuardedApplication& app, const qlor::TMainForm& form) : app_(app) { app_.form = &form; }
    ~ReportLanguage() { app_.form = nullptr; }
    ReportLanguage(const ReportLanguage&) = delete;
    ReportLanguage& operator=(const ReportLanguage&) = delete;

private:
    GuardedApplication& app_;
};

} // namespace

int main(int argc, char** argv) try {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("qlor %s\n", QLOR_VERSION);
        return 0;
    }
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    // From here on SIGTERM, SIGINT and SIGHUP no longer end the program on the spot: before the
    // window is shown they end it quietly (lock released, nothing written), afterwards they close
    // the window as its close button does.
    qlor::CatchTerminationSignals();
    {
        // The window scale of the Configuration page, read alone before Qt sizes anything.
        qlor::QSettingsStore scaleStore;
        qlor::ApplyWindowScale(scaleStore);
    }
    GuardedApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qlor"));
    QApplication::setApplicationDisplayName(QString::fromLatin1(qlor::kApplicationTitle));
    QApplication::setOrganizationName(QStringLiteral("Tavel"));
    // The desktop entry and icon installed under this id name the window on the task bar.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.qlor2000.QLOR"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("io.github.qlor2000.QLOR")));

    qlor::SingleInstance instance;
    bool unguarded = false;
    switch (instance.Start()) {
    case qlor::SingleInstance::Outcome::RaisedOther:
        return 0;
    case qlor::SingleInstance::Outcome::OtherNotAnswering:
        std::fprintf(stderr,
                     "qlor: another copy is running but does not answer; not starting a second one (its lock "
                     "file is %s).\n",
                     qPrintable(instance.LockPath()));
        return 1;
    case qlor::SingleInstance::Outcome::FirstUnguarded:
        std::fprintf(stderr, "qlor: no folder of this user's own can hold the instance lock; running unguarded.\n");
        unguarded = true;
        break;
    case qlor::SingleInstance::Outcome::First:
        break;
    }
    if (qlor::TerminationSignalArrived() != 0)
        return 0;

    // The settings of the user: per user, in the platform's native format ("Tavel" / "QLOR").
    qlor::QSettingsStore store;
    // The history of checks of the user, in the XDG data folder; opened at the first check.
    qlor::CheckHistory history(qlor::CheckHistory::DefaultPath());
    qlor::TMainForm form(nullptr, nullptr, &store);
    form.SetCheckHistory(&history);
    const ReportLanguage reportLanguage(app, form);
    QObject::connect(&instance, &qlor::SingleInstance::raiseRequested, &form, &qlor::TMainForm::RaiseRequest);
    // SIGTERM, SIGINT and SIGHUP close the window as its close button does.
    qlor::TerminationSignals terminationSignals;
    QObject::connect(&terminationSignals, &qlor::TerminationSignals::requested, &form, [&form] { form.close(); });
    // One that came while the window was being built ends the program before it shows: the form
    // is dropped unclosed, so no settings are written, and the lock goes with `instance`.
    if (qlor::TerminationSignalArrived() != 0)
        return 0;
    form.show();
    if (unguarded)
        QMessageBox::warning(&form, QApplication::applicationDisplayName(),
                             form.OwnText(qlor::Say::InstanceLockUnguarded));
    const int status = QApplication::exec();
    // A check that waited for a busy history gets one more chance.
    if (history.Flush().problem != qlor::HistoryProblem::None && history.Pending() > 0)
        std::fprintf(stderr, "qlor: %zu checks could not be recorded in %s\n", history.Pending(),
                     history.Path().c_str());
    return status;
} catch (const std::exception& error) {
    std::fprintf(stderr, "qlor: %s\n", error.what());
    return 1;
}
