// The session's audio port on the sound device (SDL's dummy driver, real time): a natural end is
// reported once, a stopped play never, not even when its notice comes after the next play has
// begun, and the temporary MIDI file lives only while it is open.
#include "test_support.h"

#include "shell/session_ports.h"

#include <QDir>
#include <QElapsedTimer>
#include <QtTest>

using namespace qlor;

namespace {

// One note of a quarter at 300 beats per minute: 200 ms, long enough to tell a stopped play's
// end from the next one's.
constexpr qint64 kNoteMs = 200;

ByteVector OneNoteMidi() {
    return {'M', 'T',  'h',  'd', 0,    0,    0,    6,  0, 0, 0, 1, 0, 96, // one track, 96 ticks a quarter
            'M', 'T',  'r',  'k', 0,    0,    0,    19,                    //
            0,   0xFF, 0x51, 3,   0x03, 0x0D, 0x40,                        // 200000 us a quarter
            0,   0x90, 69,   100, 96,   0x80, 69,   0,                     // a quarter's note
            0,   0xFF, 0x2F, 0};
}

QStringList TemporaryMidiFiles() {
    return QDir(QDir::tempPath()).entryList({QStringLiteral("qlor-trainer-*.mid")}, QDir::Files);
}

} // namespace

class SessionPortsTest : public QObject {
    Q_OBJECT

private slots:
    void naturalEndIsReportedOnceAndTheFileGoes() {
        const QStringList before = TemporaryMidiFiles();
        DeviceAudioPort port(VoiceKind::Tone);
        int ends = 0;
        port.SetEndListener([&] { ++ends; });
        const std::string opened = port.OpenMidi(OneNoteMidi());
        if (opened.find("device") != std::string::npos)
            QSKIP("no sound device");
        QCOMPARE(opened, std::string());
        QCOMPARE(TemporaryMidiFiles().size(), before.size() + 1);
        QVERIFY2(port.LengthMs() >= kNoteMs, qPrintable(QString::number(port.LengthMs())));
        QCOMPARE(port.Play(), std::string());
        QTRY_COMPARE_WITH_TIMEOUT(ends, 1, 10000);
        port.Close();
        QCOMPARE(TemporaryMidiFiles(), before);
        QCoreApplication::processEvents();
        QCOMPARE(ends, 1);
    }

    void stoppedPlayIsNeverReportedAsTheNextOnesEnd() {
        DeviceAudioPort port(VoiceKind::Tone);
        QElapsedTimer sincePlay;
        qint64 endAfterMs = -1;
        int ends = 0;
        port.SetEndListener([&] {
            ++ends;
            endAfterMs = sincePlay.elapsed();
        });
        QCOMPARE(port.OpenMidi(OneNoteMidi()), std::string());
        QCOMPARE(port.Play(), std::string());
        port.Stop();
        // The next play begins before the stop's notice has been handled.
        QCOMPARE(port.OpenMidi(OneNoteMidi()), std::string());
        sincePlay.start();
        QCOMPARE(port.Play(), std::string());
        QTRY_COMPARE_WITH_TIMEOUT(ends, 1, 10000);
        QVERIFY2(endAfterMs >= kNoteMs * 8 / 10, qPrintable(QString::number(endAfterMs)));
        port.Close();
    }
};

QLOR_WINDOW_TEST_MAIN(SessionPortsTest, "dummy")
#include "session_ports_test.moc"
