// Opening a 10 MB text file on the Text page: from the click on Open (the file already chosen)
// until the memo holds the text and the window has been laid out and drawn. Two files: 10 MB of
// pseudo-random bytes, line breaks among them (about 80 000 lines), and 10 MB of groups on a
// single line, which Qt lays out as one paragraph.
#include "shell/main_form.h"
#include "shell/ui_dialogs.h"
#include "tests/support/controls.h"

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace qlor {
namespace {

// Chooses `path` in every file dialog; messages are dropped.
class ChoosingDialogs : public UiDialogs {
public:
    QString path;
    int errors = 0;
    std::optional<QString> OpenFile(QWidget*, const FileDialogSpec&) override { return path; }
    std::optional<QString> SaveFile(QWidget*, const FileDialogSpec&) override { return std::nullopt; }
    std::optional<QString> ChooseFolder(QWidget*, const QString&) override { return std::nullopt; }
    void ShowError(QWidget*, const QString&) override { ++errors; }
    void ShowMessage(QWidget*, const QString&, const QString&) override {}
};

constexpr qsizetype kFileBytes = 10 * 1024 * 1024;

QByteArray RandomBytes() {
    QByteArray bytes(kFileBytes, '\0');
    quint32 x = 12345;
    for (char& c : bytes) {
        x = x * 1664525u + 1013904223u;
        c = static_cast<char>(x >> 24);
    }
    return bytes;
}

QByteArray OneLine() {
    QByteArray line(kFileBytes, 'A');
    for (qsizetype i = 5; i < line.size(); i += 6)
        line[i] = ' ';
    return line;
}

// range(0) 0: the random bytes; 1: the single line.
void BM_OpenTenMegabytesOnTheTextPage(benchmark::State& state) {
    const bool oneLine = state.range(0) == 1;
    QTemporaryDir dir;
    ChoosingDialogs dialogs;
    dialogs.path = dir.filePath(QStringLiteral("big.txt"));
    {
        QFile file(dialogs.path);
        const QByteArray bytes = oneLine ? OneLine() : RandomBytes();
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            state.SkipWithError("cannot write the file");
            return;
        }
    }
    TMainForm form(&dialogs);
    form.show();
    QCoreApplication::processEvents();
    QPushButton& open = test::Control<QPushButton>(form, "ButtonOpen");
    QPlainTextEdit& memo = test::Control<QPlainTextEdit>(form, "MemoText");
    for (auto _ : state) {
        state.PauseTiming();
        memo.clear();
        QCoreApplication::processEvents();
        state.ResumeTiming();

        open.click();
        form.repaint();
        QCoreApplication::processEvents();

        state.PauseTiming();
        if (dialogs.errors != 0 || memo.document()->characterCount() < (oneLine ? kFileBytes : kFileBytes / 2))
            state.SkipWithError("the file was not shown");
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenTenMegabytesOnTheTextPage)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
} // namespace qlor
