// The reception check through the window: the copy in InputMemo marked against MemoText, the head
// lines, the wrapping of both boxes alike, clearing, and saving the check list.
#include "test_support.h"

#include "base/codepage.h"
#include "exercises/reception_check.h"
#include "shell/main_form.h"
#include "shell/memo_text.h"
#include "tests/support/controls.h"

#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

using namespace qlor;
using test::Control;

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

} // namespace

class ReceptionCheckTest : public QObject, test::WindowRig {
    Q_OBJECT

    // The controls most of the tests use.
    QPlainTextEdit& MemoText() const { return Control<QPlainTextEdit>(*form, "MemoText"); }
    QPlainTextEdit& CheckList() const { return Control<QPlainTextEdit>(*form, "CheckList"); }
    // Sent text and copy, checked; the lines of the check list.
    QStringList Check(const QString& sent, const QString& copy) {
        MemoText().setPlainText(sent);
        Control<QPlainTextEdit>(*form, "InputMemo").setPlainText(copy);
        Control<QPushButton>(*form, "ButtonCheckText").click();
        QStringList lines = CheckList().toPlainText().split(QLatin1Char('\n'));
        // The list is built line by line, so the box ends with an empty line.
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }
    // The lines after the head.
    QStringList Body(const QString& sent, const QString& copy) { return Check(sent, copy).mid(3); }

private slots:
    void init() {
        QVERIFY(OpenWindow(false));
        form->Settings().number = {0, 1, 2, 3};
        form->Settings().speed = {0, 5, 0};
    }
    void cleanup() { CloseWindow(); }

    void headLines() {
        const QString today = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
        QStringList lines = Check(QStringLiteral("ABCDE"), QStringLiteral("ABCDE"));
        QVERIFY2(lines.value(0).startsWith(today + QLatin1Char(' ')), qPrintable(lines.value(0)));
        QVERIFY(lines.value(0).size() > today.size() + 1); // the time follows
        QCOMPARE(lines.value(1), U("Текст 0123"));
        // The first letter is the Latin capital C, the unit the same in both speed systems.
        QCOMPARE(lines.value(2), QStringLiteral("C") + U("корость 050 зн/мин"));
        QCOMPARE(lines.value(2).at(0).unicode(), ushort('C'));

        SetRadioChecked(&Control<QRadioButton>(*form, "ParisSystem"), true);
        Control<QCheckBox>(*form, "CheckBoxTextType").setChecked(true);
        lines = Check(QStringLiteral("ABCDE"), QStringLiteral("ABCDE"));
        QCOMPARE(lines.value(1), U("Текст произвольный"));
        QCOMPARE(lines.value(2), QStringLiteral("C") + U("корость 050 зн/мин"));
    }

    void markAndCopyLines_data() {
        QTest::addColumn<QString>("sent");
        QTest::addColumn<QString>("copy");
        QTest::addColumn<QStringList>("body"); // mark and copy lines, then the total
        QTest::newRow("same apart from case, Latin and Cyrillic")
            << U("vvv=\nABCDE ЖЩЯЁЪ \n*") << U("VVV=\nabcde жщяёъ \n*")
            << QStringList{U("...."), U("VVV="), U("............"),  U("abcde жщяёъ "),
                           U("."),    U("*"),    U("Всего ошибок 0")};
        QTest::newRow("missing final space") << U("ABCDE FGHIJ ") << U("ABCDE FGHIJ")
                                             << QStringList{U("........... "), U("ABCDE FGHIJ"), U("Всего ошибок 1")};
        QTest::newRow("dropped letter") << U("ABCDE") << U("ABDE")
                                        << QStringList{U("..CDE"), U("ABDE"), U("Всего ошибок 3")};
        QTest::newRow("extra letters cut off")
            << U("ABCDE") << U("ABCDEFG") << QStringList{U("....."), U("ABCDE"), U("Всего ошибок 0")};
        QTest::newRow("extra copy lines ignored")
            << U("ABCDE") << U("ABCDE\nXYZ\nQQQ") << QStringList{U("....."), U("ABCDE"), U("Всего ошибок 0")};
        QTest::newRow("empty copy marks every character")
            << U("AB C\nD") << U("") << QStringList{U("AB C"), U(""), U("D"), U(""), U("Всего ошибок 5")};
        QTest::newRow("fewer copy lines")
            << U("AB\nCD") << U("AB") << QStringList{U(".."), U("AB"), U("CD"), U(""), U("Всего ошибок 2")};
        QTest::newRow("wrong letter and a space counts")
            << U("AB CD") << U("AX  D") << QStringList{U(".B.C."), U("AX  D"), U("Всего ошибок 2")};
        QTest::newRow("empty sent text") << U("") << U("ABC") << QStringList{U("Всего ошибок 0")};
    }
    void markAndCopyLines() {
        QFETCH(QString, sent);
        QFETCH(QString, copy);
        QFETCH(QStringList, body);
        QCOMPARE(Body(sent, copy), body);
        // The total is announced with the list: a screen reader gets it as the list's description,
        // in the window's language.
        const QString total = form->OwnText(Say::AccCheckTotal).arg(body.last().section(QLatin1Char(' '), -1));
        QVERIFY2(CheckList().accessibleDescription().endsWith(total), qPrintable(CheckList().accessibleDescription()));
    }

    void bothBoxesWrapAlike() {
        const int width = form->MemoWrapChars();
        // The 373-pixel boxes in a 20-pixel fixed-pitch font hold a few groups of five.
        QVERIFY2(width >= 18 && width <= 40, qPrintable(QString::number(width)));

        // Twelve groups on one line are cut into several lines of whole groups, each ending
        // with the space at which it was wrapped; the copy typed as one line is cut alike.
        QString sent;
        for (int g = 0; g < 12; ++g)
            sent += QStringLiteral("ABCDE ").replace(QLatin1Char('A'), QChar(u'A' + g));
        QStringList body = Body(sent, sent.toLower());
        const auto expected = WrapLines(ToCp1251(sent), width);
        QVERIFY(expected.size() > 1);
        QCOMPARE(body.size(), int(expected.size()) * 2 + 1);
        for (size_t i = 0; i < expected.size(); ++i) {
            QVERIFY(body[int(2 * i)].count(QLatin1Char('.')) == int(expected[i].size()));
            QCOMPARE(body[int(2 * i + 1)], FromCp1251(expected[i]).toLower());
            if (i + 1 < expected.size())
                QVERIFY(expected[i].back() == ' ');
        }
        QCOMPARE(body.last(), U("Всего ошибок 0"));

        // A copy with one group missing shifts only the rest of its wrapped line.
        QString copy = sent;
        copy.remove(0, 6);
        body = Body(sent, copy);
        QVERIFY(body.last() != U("Всего ошибок 0"));
    }

    void checkMatchesWhatTheShownBoxWraps() {
        // On screen, the box wraps the groups where the check does.
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        form->PageControl1->setCurrentIndex(1);
        QString sent;
        for (int g = 0; g < 20; ++g)
            sent += QStringLiteral("KLMNO ");
        MemoText().setPlainText(sent);
        QCoreApplication::processEvents();
        const QTextBlock block = MemoText().document()->firstBlock();
        QTRY_VERIFY(block.layout()->lineCount() > 1);
        const auto lines = WrapLines(ToCp1251(sent), form->MemoWrapChars());
        QCOMPARE(block.layout()->lineCount(), int(lines.size()));
        QCOMPARE(block.layout()->lineAt(0).textLength(), int(lines[0].size()));
    }

    void clearEmptiesCopyAndList() {
        Check(QStringLiteral("ABC"), QStringLiteral("ABC"));
        QVERIFY(!CheckList().toPlainText().isEmpty());
        Control<QPushButton>(*form, "Button55").click();
        QVERIFY(Control<QPlainTextEdit>(*form, "InputMemo").toPlainText().isEmpty());
        QVERIFY(CheckList().toPlainText().isEmpty());
        QCOMPARE(MemoText().toPlainText(), QStringLiteral("ABC"));
    }

    void aNewCheckReplacesTheOldList() {
        Check(QStringLiteral("ABC"), QStringLiteral("X"));
        const QStringList lines = Check(QStringLiteral("AB"), QStringLiteral("AB"));
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines.last(), U("Всего ошибок 0"));
    }

    void saveWritesTheListInWindows1251WithCrLf() {
        Check(U("ЖЩ A"), U("жщ b"));
        const QString path = dir->filePath(QStringLiteral("check.txt"));
        dialogs->answers = {path};
        Control<QPushButton>(*form, "Button51").click();
        QVERIFY(dialogs->errors.isEmpty());
        QCOMPARE(dialogs->saveSpecs.size(), size_t(1));
        const FileDialogSpec& request = dialogs->saveSpecs.front();
        QCOMPARE(request.fileName, U("Протокол проверки.txt"));
        QCOMPARE(request.filter, U("Текстовые документы (*.txt)|*.TXT"));
        QCOMPARE(request.defaultExt, QStringLiteral("txt"));
        QVERIFY(request.overwritePrompt);

        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        const QStringList lines = CheckList().toPlainText().split(QLatin1Char('\n'));
        QByteArray expected;
        for (int i = 0; i + 1 < lines.size(); ++i)
            expected += QByteArray::fromStdString(ToCp1251(lines[i])) + "\r\n";
        QCOMPARE(bytes, expected);
        QVERIFY(bytes.endsWith(QByteArray::fromStdString(Cp("Всего ошибок 1")) + "\r\n"));
        QVERIFY(bytes.contains("...A\r\n\xe6\xf9 b\r\n")); // mark line, then "жщ b" in cp1251
        QVERIFY(!bytes.startsWith("\xef\xbb\xbf"));
        QCOMPARE(bytes.count("\r\n"), 6);
        QCOMPARE(bytes.count('\n'), 6);
    }

    void cancelledSaveWritesNothing() {
        Check(QStringLiteral("AB"), QStringLiteral("AB"));
        dialogs->answers = {std::nullopt};
        Control<QPushButton>(*form, "Button51").click();
        QVERIFY(dialogs->errors.isEmpty());
        QVERIFY(QDir(dir->path()).entryList(QDir::Files).isEmpty());
    }

    void unwritableTargetShowsTheErrorAndKeepsTheList() {
        Check(QStringLiteral("AB"), QStringLiteral("AB"));
        const QString list = CheckList().toPlainText();
        dialogs->answers = {dir->filePath(QStringLiteral("no/such/folder/check.txt"))};
        QPushButton& save = Control<QPushButton>(*form, "Button51");
        save.click();
        QCOMPARE(dialogs->errors.size(), 1);
        QVERIFY(dialogs->errors.first().contains(QStringLiteral("check.txt")));
        QCOMPARE(CheckList().toPlainText(), list);
        // An existing file is left whole when the new one cannot be written.
        const QString kept = dir->filePath(QStringLiteral("kept.txt"));
        QFile f(kept);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("old");
        f.close();
        dialogs->answers = {dir->path()}; // a folder cannot be replaced by the list
        save.click();
        QCOMPARE(dialogs->errors.size(), 2);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("old"));
    }
};

QLOR_WINDOW_TEST_MAIN(ReceptionCheckTest, "dummy")

#include "reception_check_test.moc"
