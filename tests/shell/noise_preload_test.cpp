// The window has the current noise type's recording decoded ahead of Run: at start, when the noise
// type is stepped, and when a noise file is chosen or typed in; the other types' files are left.
#include "test_support.h"

#include "audio/audio_engine.h"
#include "control/settings_store.h"
#include "shell/main_form.h"
#include "shell/panel_widgets.h"
#include "tests/support/controls.h"
#include "tests/support/memory_settings_store.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace qlor;
using test::Control;
using test::MemorySettingsStore;

namespace {

NoiseCache& Cache() {
    return AudioEngine::Shared().Noise();
}

// Whether the recording is in memory once every preload asked for so far has finished.
bool Held(const QString& path) {
    Cache().WaitForPreloads();
    return Cache().Holds(QFile::encodeName(path).toStdString());
}

} // namespace

class NoisePreloadTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    QString startDir;
    test::FakeDialogs dialogs;
    test::FakeLevels levels;
    std::unique_ptr<MemorySettingsStore> store;
    QString files[4];

    std::unique_ptr<TMainForm> Open(int noiseType) {
        PersistedSettings values;
        values.transmission.noiseType = noiseType;
        values.voice = "tone";
        for (int i = 0; i < 4; ++i)
            values.noiseFiles[i] = files[i].toStdString();
        store = std::make_unique<MemorySettingsStore>();
        if (!SavePersistedSettings(*store, values).ok)
            return nullptr;
        return std::make_unique<TMainForm>(&dialogs, &levels, store.get());
    }

private slots:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        startDir = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir->path()));
        for (int i = 0; i < 4; ++i) {
            files[i] = dir->filePath(QStringLiteral("noise%1.wav").arg(i + 1));
            QVERIFY(test::WriteToneWav(files[i], 200 + 100 * i));
        }
        Cache().WaitForPreloads();
        Cache().Clear();
    }
    void cleanup() {
        Cache().WaitForPreloads();
        Cache().Clear();
        QDir::setCurrent(startDir);
        dir.reset();
    }

    // The noise slider's tip: the ratio measured when it is about to show, following both levels
    // afterwards (half the noise level is 6 dB more); no ratio without a recording.
    void noiseSliderTipShowsTheSignalToNoiseRatio() {
        auto form = Open(4); // a 500 Hz tone, inside the 500 Hz band around the 554 Hz signal
        QVERIFY(form);
        QSlider* noise = &Control<QSlider>(*form, "TrackBar3");
        QSlider& text = Control<QSlider>(*form, "TrackBar2");
        text.setValue(40000);
        noise->setValue(40000);
        QHelpEvent hover(QEvent::ToolTip, QPoint(1, 1), noise->mapToGlobal(QPoint(1, 1)));
        QApplication::sendEvent(noise, &hover);
        auto ratio = [&] {
            const QRegularExpressionMatch m =
                QRegularExpression(QStringLiteral("^Signal-to-noise ratio: (-?[0-9.]+) dB")).match(noise->toolTip());
            return m.hasMatch() ? m.captured(1).toDouble() : qQNaN();
        };
        const double before = ratio();
        QVERIFY2(!qIsNaN(before), qPrintable(noise->toolTip()));
        noise->setValue(20000);
        QVERIFY(qAbs(ratio() - before - 6.02) <= 0.11); // both shown to 0.1 dB
        text.setValue(20000);
        QVERIFY(qAbs(ratio() - before) <= 0.11);
        StepButton& noiseDown = Control<StepButton>(*form, "Button29");
        noiseDown.click(); // noise type 4 -> 3 ... down to none
        noiseDown.click();
        noiseDown.click();
        noiseDown.click();
        QCOMPARE(form->Settings().noiseType, 0);
        QApplication::sendEvent(noise, &hover);
        QCOMPARE(noise->toolTip(), QStringLiteral("No noise recording plays with this noise type"));
    }

    void startPreloadsOnlyTheCurrentTypesFile() {
        auto form = Open(3);
        QVERIFY(form);
        QVERIFY(Held(files[2]));
        QVERIFY(!Held(files[0]));
        QVERIFY(!Held(files[1]));
        QVERIFY(!Held(files[3]));
    }

    void startWithoutNoisePreloadsNothing() {
        auto form = Open(0);
        QVERIFY(form);
        for (const QString& file : files)
            QVERIFY(!Held(file));
        QCOMPARE(Cache().Stats().clips, size_t(0));
    }

    void steppingTheNoiseTypePreloadsTheNewTypesFile() {
        auto form = Open(0);
        QVERIFY(form);
        auto* up = form->findChild<QAbstractButton*>(QStringLiteral("Button18"));
        QVERIFY(up);
        up->click(); // 0 -> 1
        QCOMPARE(form->Settings().noiseType, 1);
        QVERIFY(Held(files[0]));
        QVERIFY(!Held(files[1]));
        up->click(); // 1 -> 2
        QVERIFY(Held(files[1]));
        QVERIFY(!Held(files[2]));
    }

    void aMissingFileIsPassedOverQuietly() {
        files[0] = dir->filePath(QStringLiteral("gone.wav"));
        auto form = Open(1);
        QVERIFY(form);
        QVERIFY(!Held(files[0]));
        QCOMPARE(Cache().Stats().clips, size_t(0));
        QVERIFY(dialogs.errors.isEmpty());
    }

    void browsingPreloadsOnlyForTheCurrentType() {
        auto form = Open(2);
        QVERIFY(form);
        const QString chosen = dir->filePath(QStringLiteral("chosen.wav"));
        QVERIFY(test::WriteToneWav(chosen, 300));
        const QString other = dir->filePath(QStringLiteral("other.wav"));
        QVERIFY(test::WriteToneWav(other, 300));

        dialogs.answers.push_back(other);
        Control<QPushButton>(*form, "Button36").click(); // NoiseFile1: not the current type
        QCOMPARE(Control<QLineEdit>(*form, "NoiseFile1").text(), other);
        QVERIFY(!Held(other));

        dialogs.answers.push_back(chosen);
        Control<QPushButton>(*form, "Button39").click(); // NoiseFile2: the current type
        QCOMPARE(Control<QLineEdit>(*form, "NoiseFile2").text(), chosen);
        QVERIFY(Held(chosen));
    }

    void aTypedNameIsPreloadedWhenEditingFinishes() {
        auto form = Open(4);
        QVERIFY(form);
        const QString typed = dir->filePath(QStringLiteral("typed.wav"));
        QVERIFY(test::WriteToneWav(typed, 300));

        QLineEdit& edit3 = Control<QLineEdit>(*form, "NoiseFile3");
        edit3.setText(typed);
        emit edit3.editingFinished();
        QVERIFY(!Held(typed));

        QLineEdit& edit4 = Control<QLineEdit>(*form, "NoiseFile4");
        edit4.setText(typed);
        QVERIFY(!Held(typed)); // nothing before the edit is finished
        emit edit4.editingFinished();
        QVERIFY(Held(typed));
    }
};

QLOR_WINDOW_TEST_MAIN(NoisePreloadTest, "dummy")

#include "noise_preload_test.moc"
