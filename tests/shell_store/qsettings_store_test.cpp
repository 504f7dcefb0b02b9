// The QSettings-backed store: location, value kinds, the load and save rules on a real file, and
// an atomic replace of the file (a full disk or a crash during the write keeps the old settings).
#include "base/codepage.h"
#include "control/settings_store.h"
#include "shell/store/qsettings_store.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qlor {
namespace {

PersistedSettings Custom() {
    PersistedSettings p;
    p.transmission.number = {0, 4, 1, 7};
    p.transmission.speed = {1, 0, 0};
    p.transmission.textType = 5;
    p.transmission.pauseDelayDots = 9;
    p.transmission.noiseType = 3;
    p.transmission.groups = {0, 2, 0};
    p.transmission.charInGroup = 4;
    p.transmission.files = {1, 2};
    p.transmission.midiChannel = 3;
    p.transmission.midiPatch = 19;
    p.tone = 64;
    p.textType = true;
    p.noiseFiles = {"/звук/шум 1.wav", "", "/n3.ogg", "C:\\noise\\4.wav"}; // paths are UTF-8
    p.trainTextNeed = false;
    p.parisSystem = true;
    p.allSymbols = false;
    p.selectedSymbols = true;
    p.selectedSymbolsString = Cp("АБВ,=?/ 123"); // commas and spaces must stay one text
    p.autoPriem = true;
    p.beginChar = "@QST"; // looks like one of the INI format's own markers
    p.endChar = "SK;AR";
    p.pathDir = "/home/оператор/тексты";
    p.language = 2;
    p.voice = "soundfont";
    // The personal bests are one text of commas and semicolons.
    p.trainer.callBests = "1200,41,480,417,1765000000;900,35,400,1,1765000100";
    return p;
}

QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

ino_t Inode(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

// Lowers the largest file this process may write, as a full disk would stop a write.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

} // namespace

class QSettingsStoreTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString File(const QString& name) const { return dir_.filePath(name); }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        // Never touch the user's own settings.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.filePath("config"));
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.filePath("config"));
    }

    void perUserStoreOfTavelQlor() {
        QSettingsStore store;
        QCOMPARE(store.Location(), dir_.filePath("config/Tavel/QLOR.conf"));
        QVERIFY(SavePersistedSettings(store, Custom()).ok);
        QVERIFY(QFileInfo::exists(dir_.filePath("config/Tavel/QLOR.conf")));
        QSettingsStore again;
        QCOMPARE(LoadPersistedSettings(again, 2).values, Custom());
    }

    void firstRunFindsNothingAndCreatesNothing() {
        const QString path = File("first.conf");
        QSettingsStore store(path);
        const LoadOutcome loaded = LoadPersistedSettings(store, 0);
        QVERIFY(loaded.defaultsApplied);
        QVERIFY(!loaded.languageRead);
        QCOMPARE(loaded.values, PersistedSettings{});
        QVERIFY(!QFileInfo::exists(path));
    }

    void roundTripKeepsEveryValueAndKind() {
        const QString path = File("round.conf");
        QSettingsStore store(path);
        const SaveOutcome saved = SavePersistedSettings(store, Custom());
        QVERIFY2(saved.ok, saved.error.c_str());
        const LoadOutcome loaded = LoadPersistedSettings(store, 2);
        QVERIFY(!loaded.defaultsApplied);
        QCOMPARE(loaded.values, Custom());

        QSettings raw(path, QSettings::IniFormat);
        QCOMPARE(raw.value("Midi Chanell").toString(), QString("3"));
        QCOMPARE(raw.value("Paris system").toString(), QString("1")); // booleans are numbers
        QCOMPARE(raw.value("HeaderStandart").toString(), QString("1"));
        QCOMPARE(raw.value("PathDir").toString(), QString::fromUtf8("/home/оператор/тексты"));
        QCOMPARE(raw.value("Selected symbols string").toString(), QString::fromUtf8("АБВ,=?/ 123"));
        QCOMPARE(raw.value("Voice").toString(), QString("soundfont"));
        QCOMPARE(raw.value("Trainer Callsign Bests").toString(),
                 QString("1200,41,480,417,1765000000;900,35,400,1,1765000100"));
        // and "Voice", "Export Audio", "Band", "Band Filter", "Band AGC", "Band Seed" ("Band SNR" once set)
        // and the trainer's values
        QCOMPARE(raw.allKeys().size(), kPersistedValueCount + 6 + int(kTrainerValueNames.size()));
    }

    void pathsOutsideTheCodePageSurviveARestart() {
        const QString path = File("paths.conf");
        PersistedSettings p = Custom();
        // é, CJK and an emoji: none of them is in the code page of the texts.
        // The last name holds what the INI form must escape: quote, backslash, a tab before a hex digit.
        p.noiseFiles = {"/home/zoë/bruit café.wav", "/音/日本 ノイズ.flac", "/snd/📻 static.ogg", "/a \"b\"\\\tc; d, ."};
        p.pathDir = "/export/日本/🗂 é";
        p.beginChar = Cp("ЦЩЪ=");
        p.endChar = Cp("ЁЯ");
        {
            QSettingsStore store(path);
            const SaveOutcome saved = SavePersistedSettings(store, p);
            QVERIFY2(saved.ok, saved.error.c_str());
        }
        {
            QSettings raw(path, QSettings::IniFormat);
            QCOMPARE(raw.value("Noise File 2").toString(), QString::fromUtf8("/音/日本 ノイズ.flac"));
            QCOMPARE(raw.value("PathDir").toString(), QString::fromUtf8("/export/日本/🗂 é"));
            QCOMPARE(raw.value("BeginChar").toString(), QString::fromUtf8("ЦЩЪ="));
        }
        QSettingsStore again(path); // a new start
        const LoadOutcome loaded = LoadPersistedSettings(again, 2);
        QVERIFY(!loaded.defaultsApplied);
        QCOMPARE(loaded.values, p);
        QCOMPARE(loaded.values.noiseFiles[2], std::string("/snd/📻 static.ogg"));
        QCOMPARE(loaded.values.beginChar, Cp("ЦЩЪ="));
    }

    void voiceValue() {
        const QString path = File("voice.conf");
        QSettingsStore store(path);
        QVERIFY(SavePersistedSettings(store, Custom()).ok);
        struct Case {
            const char* label;
            QVariant value; // invalid: removed
            const char* expected;
        };
        const Case cases[] = {
            {"missing", QVariant(), "auto"},
            {"unknown", QString("flute"), "auto"},
            {"number", 1, "auto"},
            {"list", QStringList{"tone", "auto"}, "auto"},
            {"tone", QString("tone"), "tone"},
            {"soundfont", QString("soundfont"), "soundfont"},
        };
        for (const Case& c : cases) {
            {
                QSettings raw(path, QSettings::IniFormat);
                if (c.value.isValid())
                    raw.setValue("Voice", c.value);
                else
                    raw.remove("Voice");
            }
            const LoadOutcome loaded = LoadPersistedSettings(store, 2);
            QVERIFY2(!loaded.defaultsApplied, c.label);
            QCOMPARE(loaded.values.voice, std::string(c.expected));
            PersistedSettings want = Custom();
            want.voice = c.expected;
            QCOMPARE(loaded.values, want);
        }
    }

    void storedValuesOfTheWrongKind() {
        const QString path = File("kinds.conf");
        QSettingsStore store(path);
        QVERIFY(SavePersistedSettings(store, Custom()).ok);
        {
            QSettings raw(path, QSettings::IniFormat);
            raw.setValue("Tone", "200");
            raw.setValue("Midi Chanell", "200");
        }
        LoadOutcome loaded = LoadPersistedSettings(store, 2);
        QVERIFY(!loaded.defaultsApplied);
        QCOMPARE(loaded.values.tone, 110);
        QCOMPARE(loaded.values.transmission.midiChannel, 15);

        struct Case {
            const char* name;
            QVariant value;
        };
        const Case cases[] = {
            {"Number 2", QString("abc")},
            {"Pause Delay", QString("3.5")},
            {"Tone", QString("99999999999")},
            {"Autopriem", QString("true")},
            {"Selected symbols string", QStringList{"a", "b"}},
            {"EndChar", QByteArray("\x01\x02", 2)},
        };
        for (const Case& c : cases) {
            QVERIFY(SavePersistedSettings(store, Custom()).ok);
            {
                QSettings raw(path, QSettings::IniFormat);
                raw.setValue(c.name, c.value);
            }
            loaded = LoadPersistedSettings(store, 2);
            QVERIFY2(loaded.defaultsApplied, c.name);
            QCOMPARE(loaded.values.tone, kToneDefault);
            QCOMPARE(loaded.values.language, 2); // read in its own block
        }
    }

    void missingValues() {
        const QString path = File("missing.conf");
        QSettingsStore store(path);
        QVERIFY(SavePersistedSettings(store, Custom()).ok);
        {
            QSettings raw(path, QSettings::IniFormat);
            raw.remove("BeginChar");
            raw.remove("Noise File 1");
            raw.remove("Languige");
        }
        LoadOutcome loaded = LoadPersistedSettings(store, 2);
        QVERIFY(!loaded.defaultsApplied);
        QVERIFY(!loaded.languageRead);
        QCOMPARE(loaded.values.beginChar, std::string());
        QCOMPARE(loaded.values.noiseFiles[0], std::string());
        QCOMPARE(loaded.values.language, 0);
        QCOMPARE(loaded.values.transmission, Custom().transmission);

        {
            QSettings raw(path, QSettings::IniFormat);
            raw.remove("Morse Noise Type");
        }
        loaded = LoadPersistedSettings(store, 2);
        QVERIFY(loaded.defaultsApplied);
        PersistedSettings expected;
        expected.transmission.files = {1, 2};
        expected.voice = "soundfont";        // read on its own, like the language
        expected.trainer = Custom().trainer; // so are the trainer's values
        QCOMPARE(loaded.values, expected);
    }

    void refusedStoreNamesTheFirstValue() {
        QFile blocker(File("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QSettingsStore store(File("blocker/QLOR.conf")); // its folder is a file
        const SaveOutcome saved = SavePersistedSettings(store, Custom());
        QVERIFY(!saved.ok);
        QVERIFY2(QString::fromStdString(saved.error).startsWith("Failed to set data for 'Number 1'"),
                 saved.error.c_str());
    }

    void saveReplacesTheFileAsAWhole() {
        const QString path = File("atomic.conf");
        QSettingsStore store(path);
        QVERIFY(SavePersistedSettings(store, PersistedSettings{}).ok);
        const ino_t before = Inode(path);
        QVERIFY(before != 0);
        QVERIFY(SavePersistedSettings(store, Custom()).ok);
        QVERIFY(Inode(path) != before); // a new file renamed into place, not rewritten in place
        const QStringList left = QDir(dir_.path()).entryList({"atomic.conf*"}, QDir::Files | QDir::Hidden);
        QCOMPARE(left, QStringList{"atomic.conf"});
    }

    void fullDiskKeepsThePreviousSettings() {
        const QString path = File("full.conf");
        QSettingsStore store(path);
        QVERIFY(SavePersistedSettings(store, PersistedSettings{}).ok);
        const QByteArray before = FileBytes(path);
        QVERIFY(before.size() > 64);
        SaveOutcome saved;
        {
            FileSizeLimit limit(64);
            saved = SavePersistedSettings(store, Custom());
        }
        QVERIFY(!saved.ok);
        QVERIFY2(saved.error.find("full.conf") != std::string::npos, saved.error.c_str());
        QVERIFY2(saved.error.find(std::strerror(EFBIG)) != std::string::npos, saved.error.c_str()); // the real reason
        QCOMPARE(FileBytes(path), before);
    }

    void crashDuringTheWriteKeepsThePreviousSettings() {
        const QString path = File("crash.conf");
        {
            QSettingsStore store(path);
            QVERIFY(SavePersistedSettings(store, Custom()).ok);
        }
        const QByteArray before = FileBytes(path);
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            // The child dies by SIGXFSZ in the middle of writing the file.
            std::signal(SIGXFSZ, SIG_DFL);
            rlimit limit{};
            getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = 64;
            setrlimit(RLIMIT_FSIZE, &limit);
            QSettingsStore store(path);
            SavePersistedSettings(store, PersistedSettings{});
            _exit(0);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFSIGNALED(status));
        QCOMPARE(WTERMSIG(status), SIGXFSZ);
        QCOMPARE(FileBytes(path), before);
        QSettingsStore store(path);
        QCOMPARE(LoadPersistedSettings(store, 2).values, Custom());
    }
};

} // namespace qlor

QTEST_GUILESS_MAIN(qlor::QSettingsStoreTest)
#include "qsettings_store_test.moc"
