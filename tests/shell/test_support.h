#pragma once
// Helpers shared by the window tests: whole-file reading and writing, a short WAV recording, the
// classic and the trainer window set up for a test, and a test program's main that never touches
// the user's settings or a real sound device.
#include "fakes.h"

#include "exercises/check_history.h"
#include "shell/main_form.h"
#include "shell/trainer_window.h"
#include "tests/support/fake_audio_port.h"
#include "tests/support/wait_until.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <sndfile.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qlor::test {

inline QByteArray ReadAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return f.readAll();
}

inline bool WriteAll(const QString& path, QByteArrayView bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes.data(), bytes.size()) == bytes.size();
}

// A short mono recording: a 440 Hz tone [ms] long, 8 kHz 16-bit PCM.
inline bool WriteToneWav(const QString& path, int lengthMs) {
    SF_INFO info{};
    info.samplerate = 8000;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!f)
        return false;
    std::vector<short> samples(static_cast<size_t>(info.samplerate) * lengthMs / 1000);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<short>(8000 * std::sin(2 * M_PI * 440.0 * double(i) / info.samplerate));
    const sf_count_t written = sf_write_short(f, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(f);
    return written == static_cast<sf_count_t>(samples.size());
}

// The window under test with stand-in dialogs, and a temporary folder of its own.
struct WindowRig {
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<FakeDialogs> dialogs;
    // With virtual time, what the window's session plays goes to the fake port in the test's time.
    std::unique_ptr<ManualClock> clock;
    std::unique_ptr<FakeAudioPort> port;
    std::unique_ptr<TMainForm> form;
    QString previousDir; // the current directory before, while the test works in dir

    // enterDir makes the folder current: the window writes "temp.mid" there. virtualTime gives
    // the window the fake port and clock instead of its players and TrainTimer.
    bool OpenWindow(bool enterDir, bool virtualTime = false) {
        dir = std::make_unique<QTemporaryDir>();
        if (!dir->isValid())
            return false;
        if (enterDir) {
            previousDir = QDir::currentPath();
            if (!QDir::setCurrent(dir->path()))
                return false;
        }
        dialogs = std::make_unique<FakeDialogs>();
        if (virtualTime) {
            clock = std::make_unique<ManualClock>();
            port = std::make_unique<FakeAudioPort>(*clock);
        }
        form = std::make_unique<TMainForm>(dialogs.get(), nullptr, nullptr, port.get(), clock.get());
        return true;
    }
    void CloseWindow() {
        form.reset();
        port.reset();
        clock.reset();
        QCoreApplication::processEvents();
        if (!previousDir.isEmpty())
            QDir::setCurrent(previousDir);
        previousDir.clear();
        dir.reset();
    }
};

// The trainer window in virtual time: the fake port and a manual clock, stand-in dialogs and a
// check history in a temporary folder of its own. PrepareTrainer makes everything but the window,
// so that a test may fill the history first; OpenTrainer then shows the window, active.
struct TrainerRig {
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<FakeDialogs> dialogs;
    std::unique_ptr<ManualClock> clock;
    std::unique_ptr<FakeAudioPort> port;
    std::unique_ptr<CheckHistory> history;
    std::unique_ptr<TrainerWindow> window;

    std::string HistoryPath() const { return (dir->path() + QStringLiteral("/history.sqlite")).toStdString(); }

    // `lengthOf` gives how long the port plays each opened MIDI [ms].
    bool PrepareTrainer(std::function<std::int64_t(const ByteVector&)> lengthOf) {
        dir = std::make_unique<QTemporaryDir>();
        if (!dir->isValid())
            return false;
        dialogs = std::make_unique<FakeDialogs>();
        clock = std::make_unique<ManualClock>();
        port = std::make_unique<FakeAudioPort>(*clock);
        port->lengthOfNext = std::move(lengthOf);
        history = std::make_unique<CheckHistory>(HistoryPath());
        return true;
    }
    // Without a history the window records nothing; `tab` is the page shown; `dateTime` gives the
    // date and time the sheet shows.
    bool OpenTrainer(bool withHistory = true, int tab = 0, std::function<QString()> dateTime = {}) {
        TrainerContext context;
        context.voice = [] { return MidiVoice{}; };
        context.voiceName = [] { return std::string("tone"); };
        context.dialogs = dialogs.get();
        context.history = withHistory ? history.get() : nullptr;
        context.port = port.get();
        context.clock = clock.get();
        context.dateTime = std::move(dateTime);
        window = std::make_unique<TrainerWindow>(std::move(context));
        auto* tabs = window->findChild<QTabWidget*>(QStringLiteral("TrainerTabs"));
        if (!tabs)
            return false;
        tabs->setCurrentIndex(tab);
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            return false;
        QApplication::setActiveWindow(window.get());
        return QTest::qWaitForWindowActive(window.get());
    }
    void CloseTrainer() {
        window.reset();
        port.reset();
        clock.reset();
        history.reset();
        dialogs.reset();
        dir.reset();
    }
};

// Settings go to a temporary folder (returned; it lives as long as the test program), sound to
// the given SDL output driver, windows to the offscreen platform unless one is set.
inline std::unique_ptr<QTemporaryDir> IsolateWindowTest(const char* audioDriver) {
    auto config = std::make_unique<QTemporaryDir>();
    if (!config->isValid())
        return nullptr;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config->path()));
    qputenv("SDL_AUDIODRIVER", audioDriver);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return config;
}

} // namespace qlor::test

#define QLOR_WINDOW_TEST_MAIN(TestClass, audioDriver)                                                                  \
    int main(int argc, char** argv) {                                                                                  \
        const auto config = qlor::test::IsolateWindowTest(audioDriver);                                                \
        if (!config)                                                                                                   \
            return 1;                                                                                                  \
        QApplication app(argc, argv);                                                                                  \
        TestClass test;                                                                                                \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
