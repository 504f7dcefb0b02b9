// Opening the progress window with 10 000 recorded checks: from the click on the Reception page's
// Progress button until the window has been drawn (the history read, the statistics worked out,
// the table filled and the chart painted). The window is made anew for every measurement.
#include "exercises/check_history.h"
#include "exercises/koch_drill.h"
#include "shell/main_form.h"
#include "shell/progress_window.h"
#include "shell/ui_dialogs.h"
#include "tests/support/controls.h"

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace qlor {
namespace {

class SilentDialogs : public UiDialogs {
public:
    std::optional<QString> OpenFile(QWidget*, const FileDialogSpec&) override { return std::nullopt; }
    std::optional<QString> SaveFile(QWidget*, const FileDialogSpec&) override { return std::nullopt; }
    std::optional<QString> ChooseFolder(QWidget*, const QString&) override { return std::nullopt; }
    void ShowError(QWidget*, const QString&) override {}
    void ShowMessage(QWidget*, const QString&, const QString&) override {}
};

constexpr int kChecks = 10000;

// A history of kChecks checks of 50 groups, about one character in twenty missed.
bool FillHistory(const std::string& path) {
    CheckHistory history(path);
    std::mt19937 rng(4);
    std::uniform_int_distribution<int> pick(0, static_cast<int>(kKochOrder.size()) - 1);
    std::uniform_int_distribution<int> fault(0, 19);
    for (int i = 0; i < kChecks; ++i) {
        std::string sent;
        std::string copy;
        for (int k = 0; k < 300; ++k) {
            const char c = k % 6 == 5 ? ' ' : kKochOrder[static_cast<std::size_t>(pick(rng))];
            sent += c;
            if (fault(rng) != 0)
                copy += c;
        }
        CheckRecord r = MakeCheckRecord(1700000000 + i * 600, sent, copy, 0, true, 5);
        r.speedCpm = 50 + i % 7 * 10;
        if (!history.Record(std::move(r)).ok())
            return false;
    }
    return true;
}

// range(0) 0: the window as it opens (the last 20 checks); 1: then switched to all checks.
void BM_OpenProgressWindowWith10000Checks(benchmark::State& state) {
    const bool all = state.range(0) == 1;
    QTemporaryDir dir;
    const std::string path = QFile::encodeName(dir.filePath(QStringLiteral("history.sqlite"))).toStdString();
    if (!FillHistory(path)) {
        state.SkipWithError("cannot prepare the history");
        return;
    }
    SilentDialogs dialogs;
    for (auto _ : state) {
        state.PauseTiming();
        CheckHistory history(path);
        auto form = std::make_unique<TMainForm>(&dialogs);
        form->SetCheckHistory(&history);
        form->show();
        QPushButton& progress = test::Control<QPushButton>(*form, "ButtonProgress");
        QCoreApplication::processEvents();
        state.ResumeTiming();

        progress.click();
        ProgressWindow* window = form->Progress();
        if (all)
            window->ui.WindowComboBox->setCurrentIndex(2);
        window->repaint();
        QCoreApplication::processEvents();

        state.PauseTiming();
        if (!window->isVisible() || window->CurrentStatistics().totals.checks != (all ? kChecks : 20))
            state.SkipWithError("the window did not show the checks");
        form.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenProgressWindowWith10000Checks)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace
} // namespace qlor
