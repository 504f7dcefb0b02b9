// The Text page and the memo text as the system reads it: Windows-1251 bytes, CR LF between lines.
#include "test_support.h"

#include "base/codepage.h"
#include "shell/main_form.h"
#include "shell/memo_text.h"
#include "tests/support/controls.h"

#include <QElapsedTimer>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace qlor;
using test::Control;
using test::ReadAll;
using test::WriteAll;

namespace {

std::string Bytes(const QByteArray& b) {
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

} // namespace

class TextPageTest : public QObject, test::WindowRig {
    Q_OBJECT

    QPlainTextEdit* Memo() { return &Control<QPlainTextEdit>(*form, "MemoText"); }
    QString Path(const char* name) { return dir->filePath(QString::fromLatin1(name)); }
    void Open(const QString& path) {
        dialogs->answers = {path};
        Control<QPushButton>(*form, "ButtonOpen").click();
    }
    void Save(const QString& path) {
        dialogs->answers = {path};
        Control<QPushButton>(*form, "ButtonSave").click();
    }

private slots:
    void init() { QVERIFY(OpenWindow(false)); }
    void cleanup() { CloseWindow(); }

    // --- memo bytes without a window -------------------------------------------------------

    void lineBreaksOfAnyKindBecomeOneBreak_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("memo");
        QTest::addColumn<QByteArray>("readBack");
        QTest::newRow("CR LF") << QByteArray("AB\r\nCD") << "AB\nCD" << QByteArray("AB\r\nCD");
        QTest::newRow("LF") << QByteArray("AB\nCD\n") << "AB\nCD\n" << QByteArray("AB\r\nCD\r\n");
        QTest::newRow("lone CR") << QByteArray("AB\rCD") << "AB\nCD" << QByteArray("AB\r\nCD");
        QTest::newRow("LF CR is two") << QByteArray("A\n\rB") << "A\n\nB" << QByteArray("A\r\n\r\nB");
        QTest::newRow("CR CR LF") << QByteArray("A\r\r\nB") << "A\n\nB" << QByteArray("A\r\n\r\nB");
        QTest::newRow("empty") << QByteArray() << "" << QByteArray();
        QTest::newRow("only a break") << QByteArray("\r\n") << "\n" << QByteArray("\r\n");
        QTest::newRow("trailing CR") << QByteArray("A\r") << "A\n" << QByteArray("A\r\n");
    }
    void lineBreaksOfAnyKindBecomeOneBreak() {
        QFETCH(QByteArray, file);
        QFETCH(QString, memo);
        QFETCH(QByteArray, readBack);
        QCOMPARE(MemoTextFromBytes(Bytes(file)), memo);
        SetMemoBytes(Memo(), Bytes(file));
        QCOMPARE(QString::fromStdString(MemoBytes(Memo())).toLatin1(), readBack);
        QCOMPARE(Memo()->blockCount(), int(memo.count(u'\n')) + 1);
    }

    void everyByteButLineBreaksSurvivesTheMemo() {
        std::string all;
        for (int b = 0; b < 256; ++b)
            if (b != '\r' && b != '\n')
                all.push_back(static_cast<char>(b));
        SetMemoBytes(Memo(), all);
        QCOMPARE(MemoBytes(Memo()), all); // NUL, no-break space and the unassigned 0x98 included
    }

    void charactersOutsideTheCodePageAreNeverAQuestionMark() {
        Memo()->setPlainText(QString::fromUtf8("A\u4E2D\u20AC\U0001F600?B"));
        const std::string bytes = MemoBytes(Memo());
        // The CJK letter and the emoji have no cp1251 byte: one unmappable byte each; the euro
        // sign is 0x88 in cp1251; only the typed "?" is a question mark.
        QCOMPARE(bytes, (std::string{'A', char(kUnmappableByte), char(0x88), char(kUnmappableByte), '?', 'B'}));
        Memo()->setPlainText(QString::fromUtf8("\u0410\u044F\u0401")); // А я Ё
        QCOMPARE(MemoBytes(Memo()), (std::string{char(0xC0), char(0xFF), char(0xA8)}));
    }

    void typedLineBreaksReadAsCrLf() {
        Memo()->setFocus();
        QTest::keyClicks(Memo(), QStringLiteral("AB"));
        QTest::keyClick(Memo(), Qt::Key_Return);
        QTest::keyClicks(Memo(), QStringLiteral("CD"));
        QTest::keyClick(Memo(), Qt::Key_Return, Qt::ShiftModifier); // a soft break is a break too
        QTest::keyClicks(Memo(), QStringLiteral("E"));
        QCOMPARE(MemoBytes(Memo()), std::string("AB\r\nCD\r\nE"));
    }

    // --- Open --------------------------------------------------------------------------------

    void openShowsTheFileLines() {
        QVERIFY(WriteAll(Path("crlf.txt"), "VVV=\r\nABCDE FGHIJ \r\n*"));
        Open(Path("crlf.txt"));
        QCOMPARE(Memo()->toPlainText(), QStringLiteral("VVV=\nABCDE FGHIJ \n*"));
        QVERIFY(WriteAll(Path("lf.txt"), "VVV=\nABCDE FGHIJ \n*"));
        Open(Path("lf.txt"));
        QCOMPARE(Memo()->toPlainText(), QStringLiteral("VVV=\nABCDE FGHIJ \n*"));
        QVERIFY(WriteAll(Path("empty.txt"), ""));
        Open(Path("empty.txt"));
        QCOMPARE(Memo()->toPlainText(), QString());
        QVERIFY(dialogs->errors.isEmpty());
        // Cyrillic in cp1251.
        QVERIFY(WriteAll(Path("ru.txt"), QByteArray::fromHex("cff0e8e2e5f2")));
        Open(Path("ru.txt"));
        QCOMPARE(Memo()->toPlainText(), QStringLiteral("Привет"));
        for (const FileDialogSpec& request : dialogs->openSpecs) {
            QCOMPARE(request.filter, QStringLiteral("Текстовые документы (*.txt)|*.TXT|Все файлы (*.*)|*.*"));
            QCOMPARE(request.filterIndex, 1);
            QVERIFY(request.defaultExt.isEmpty());
        }
    }

    void openOfAReadOnlyFileWorks() {
        QVERIFY(WriteAll(Path("ro.txt"), "RO"));
        QFile::setPermissions(Path("ro.txt"), QFile::ReadOwner | QFile::ReadGroup);
        Open(Path("ro.txt"));
        QCOMPARE(Memo()->toPlainText(), QStringLiteral("RO"));
    }

    void cancelledOrFailedOpenKeepsTheMemo() {
        Memo()->setPlainText(QStringLiteral("keep me"));
        dialogs->answers = {std::nullopt};
        Control<QPushButton>(*form, "ButtonOpen").click();
        QCOMPARE(Memo()->toPlainText(), QStringLiteral("keep me"));
        QVERIFY(dialogs->errors.isEmpty());
        Open(Path("missing.txt"));
        QCOMPARE(Memo()->toPlainText(), QStringLiteral("keep me"));
        QCOMPARE(dialogs->errors.size(), 1);
        Open(dir->path()); // a folder
        QCOMPARE(dialogs->errors.size(), 2);
        QCOMPARE(Memo()->toPlainText(), QStringLiteral("keep me"));
    }

    void openOfANamedPipeDoesNotHang() {
        const QByteArray fifo = QFile::encodeName(Path("pipe"));
        QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
        QElapsedTimer t;
        t.start();
        Open(Path("pipe"));
        QVERIFY(t.elapsed() < 2000);
        QCOMPARE(dialogs->errors.size(), 1);
    }

    // (How fast 10 MB open is measured by bench/text_page_bench.)
    void openOfAnyBytesAndOfAMegabyte() {
        // NUL bytes, stray CRs and bytes of every value.
        QByteArray odd("A\0B\r\r\n\n\x98\xff", 10);
        QVERIFY(WriteAll(Path("odd.txt"), odd));
        Open(Path("odd.txt"));
        QCOMPARE(QByteArray::fromStdString(MemoBytes(Memo())), QByteArray("A\0B\r\n\r\n\r\n\x98\xff", 12));
        // A megabyte of pseudo-random bytes, line breaks of every kind among them: every byte comes
        // back, each break as CR LF.
        QByteArray big(1024 * 1024, '\0');
        quint32 x = 12345;
        for (char& c : big) {
            x = x * 1664525u + 1013904223u;
            c = static_cast<char>(x >> 24);
        }
        QVERIFY(WriteAll(Path("big.txt"), big));
        Open(Path("big.txt"));
        QVERIFY(dialogs->errors.isEmpty());
        QVERIFY(Memo()->blockCount() > 5000);
        QByteArray crlf = big;
        crlf.replace("\r\n", "\n").replace('\r', '\n').replace("\n", "\r\n");
        QVERIFY(QByteArray::fromStdString(MemoBytes(Memo())) == crlf);
        // A megabyte of groups without a single break, laid out and drawn as one line.
        QByteArray line(1024 * 1024, 'A');
        for (qsizetype i = 5; i < line.size(); i += 6)
            line[i] = ' ';
        QVERIFY(WriteAll(Path("line.txt"), line));
        Open(Path("line.txt"));
        form->show();
        QApplication::processEvents();
        QVERIFY(dialogs->errors.isEmpty());
        QCOMPARE(Memo()->document()->characterCount(), int(line.size()) + 1);
        QCOMPARE(Memo()->blockCount(), 1);
    }

    void tooLargeFileIsRefusedAndTheMemoKept() {
        Memo()->setPlainText(QStringLiteral("keep"));
        QFile f(Path("huge.txt"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(64LL * 1024 * 1024)); // sparse
        f.close();
        Open(Path("huge.txt"));
        QCOMPARE(dialogs->errors.size(), 1);
        QCOMPARE(Memo()->toPlainText(), QStringLiteral("keep"));
    }

    // --- Save --------------------------------------------------------------------------------

    void saveProposesTheTextNumberOrAWildcard() {
        form->Settings().number = {0, 1, 2, 3};
        dialogs->answers = {std::nullopt};
        QPushButton& save = Control<QPushButton>(*form, "ButtonSave");
        save.click();
        form->Settings().number = {0, 0, 0, 7};
        save.click();
        Control<QCheckBox>(*form, "CheckBoxTextType").setChecked(true);
        save.click();
        QCOMPARE(dialogs->saveSpecs.size(), size_t(3));
        QCOMPARE(dialogs->saveSpecs[0].fileName, QStringLiteral("0123.txt"));
        QCOMPARE(dialogs->saveSpecs[1].fileName, QStringLiteral("0007.txt"));
        QCOMPARE(dialogs->saveSpecs[2].fileName, QStringLiteral("*.txt"));
        const FileDialogSpec& request = dialogs->saveSpecs[0];
        QCOMPARE(request.filter, QStringLiteral("Текстовые документы (*.txt)|*.TXT"));
        QCOMPARE(request.defaultExt, QStringLiteral("txt"));
        QVERIFY(request.overwritePrompt);
        QVERIFY(request.pathMustExist);
        QVERIFY(QDir(dir->path()).entryList(QDir::Files).isEmpty());
    }

    void saveWritesTheMemoByteForByte() {
        Memo()->setPlainText(QString::fromUtf8("VVV=\nАБВ ГДЕ \n*"));
        Save(Path("out.txt"));
        QCOMPARE(ReadAll(Path("out.txt")), QByteArray("VVV=\r\n\xC0\xC1\xC2 \xC3\xC4\xC5 \r\n*"));
        Memo()->clear();
        Save(Path("empty.txt"));
        QCOMPARE(QFileInfo(Path("empty.txt")).size(), 0);
        QVERIFY(dialogs->errors.isEmpty());
    }

    void saveThenOpenGivesTheMemoBack_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("CR LF") << QByteArray("ONE\r\nTWO\r\n\r\nTHREE\r\n");
        QTest::newRow("LF") << QByteArray("ONE\nTWO\n");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("no final break") << QByteArray("A B C");
    }
    void saveThenOpenGivesTheMemoBack() {
        QFETCH(QByteArray, file);
        QVERIFY(WriteAll(Path("in.txt"), file));
        Open(Path("in.txt"));
        const std::string shown = MemoBytes(Memo());
        Save(Path("again.txt"));
        QCOMPARE(Bytes(ReadAll(Path("again.txt"))), shown);
        QByteArray crlf = file;
        crlf.replace("\r\n", "\n").replace("\n", "\r\n");
        QCOMPARE(ReadAll(Path("again.txt")), crlf);
        Memo()->setPlainText(QStringLiteral("other"));
        Open(Path("again.txt"));
        QCOMPARE(MemoBytes(Memo()), shown);
    }

    void unwritableTargetReportsAndChangesNothing() {
        QVERIFY(WriteAll(Path("old.txt"), "old"));
        Memo()->setPlainText(QStringLiteral("new"));
        // A name in a folder that does not exist, and a name that is a folder.
        Save(Path("no-such-folder/x.txt"));
        QCOMPARE(dialogs->errors.size(), 1);
        QVERIFY(!QFileInfo::exists(Path("no-such-folder")));
        QVERIFY(QDir().mkdir(Path("sub")));
        Save(Path("sub"));
        QCOMPARE(dialogs->errors.size(), 2);
        QVERIFY(QFileInfo(Path("sub")).isDir());
        QCOMPARE(ReadAll(Path("old.txt")), QByteArray("old"));
        QCOMPARE(Memo()->toPlainText(), QStringLiteral("new"));
        // Nothing half-written is left behind.
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{"old.txt"});
    }

    void fullDiskKeepsTheOldFileAndSaysWhy() {
        QVERIFY(WriteAll(Path("old.txt"), "the old text"));
        Memo()->setPlainText(QString(200, QLatin1Char('A')));
        {
            // Files may not grow beyond 64 bytes, as on a full disk (writes fail with EFBIG).
            rlimit saved{};
            getrlimit(RLIMIT_FSIZE, &saved);
            auto* previous = std::signal(SIGXFSZ, SIG_IGN);
            rlimit small = saved;
            small.rlim_cur = 64;
            setrlimit(RLIMIT_FSIZE, &small);
            Save(Path("old.txt"));
            setrlimit(RLIMIT_FSIZE, &saved);
            std::signal(SIGXFSZ, previous);
        }
        QCOMPARE(dialogs->errors.size(), 1);
        QVERIFY2(dialogs->errors[0].contains(QStringLiteral("old.txt")), qPrintable(dialogs->errors[0]));
        QVERIFY2(dialogs->errors[0].contains(QString::fromLocal8Bit(std::strerror(EFBIG))),
                 qPrintable(dialogs->errors[0]));
        QCOMPARE(ReadAll(Path("old.txt")), QByteArray("the old text"));
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{"old.txt"});
    }

    void saveReplacesAnExistingFile() {
        QVERIFY(WriteAll(Path("old.txt"), "a much longer old content"));
        Memo()->setPlainText(QStringLiteral("short"));
        Save(Path("old.txt"));
        QCOMPARE(ReadAll(Path("old.txt")), QByteArray("short"));
    }

    // The desktop dialogs get the filters, the proposed name and the default extension.
    void realDialogsAreSetUpAsDescribed() {
        QtUiDialogs real;
        QStringList filters;
        QString selectedFilter, suffix, proposed;
        bool overwriteAsked = false;
        // Looks at the dialog once it is up, then cancels it.
        const auto inspectAndCancel = [&] {
            auto* poll = new QTimer(this);
            connect(poll, &QTimer::timeout, this, [&, poll, seen = 0]() mutable {
                auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                if (!dialog || ++seen < 5)
                    return;
                poll->deleteLater();
                filters = dialog->nameFilters();
                selectedFilter = dialog->selectedNameFilter();
                suffix = dialog->defaultSuffix();
                proposed = dialog->selectedFiles().value(0);
                overwriteAsked = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
                dialog->reject();
            });
            poll->start(0);
        };
        FileDialogSpec open = form->OpenDialogText;
        open.filterIndex = 1;
        inspectAndCancel();
        QVERIFY(!real.OpenFile(nullptr, open));
        QCOMPARE(filters, (QStringList{"Текстовые документы (*.txt)", "Все файлы (*.*)"}));
        QCOMPARE(selectedFilter, filters[0]);
        QVERIFY(suffix.isEmpty());
        FileDialogSpec save = form->SaveDialogText;
        save.fileName = QStringLiteral("0123.txt");
        inspectAndCancel();
        QVERIFY(!real.SaveFile(nullptr, save));
        QCOMPARE(filters, QStringList{"Текстовые документы (*.txt)"});
        QCOMPARE(suffix, QStringLiteral("txt"));
        QCOMPARE(QFileInfo(proposed).fileName(), QStringLiteral("0123.txt"));
        QVERIFY(overwriteAsked);
        FileDialogSpec noise = form->OpenDialogNoise;
        noise.filterIndex = 1;
        inspectAndCancel();
        QVERIFY(!real.OpenFile(nullptr, noise));
        QCOMPARE(filters, (QStringList{"Звуковые файлы (*.wav)", "Все файлы (*.*)"}));
        QCOMPARE(selectedFilter, filters[0]);
    }

    void clearEmptiesTheMemoOnly() {
        Memo()->setPlainText(QStringLiteral("text"));
        QPlainTextEdit& copy = Control<QPlainTextEdit>(*form, "InputMemo");
        copy.setPlainText(QStringLiteral("copy"));
        Control<QPushButton>(*form, "ButtonClear").click();
        QVERIFY(Memo()->toPlainText().isEmpty());
        QCOMPARE(copy.toPlainText(), QStringLiteral("copy"));
    }
};

QTEST_MAIN(TextPageTest)
#include "text_page_test.moc"
