// The export's per-pair observer: it sees every plan, in order, before the pair is written.
#include "exercises/batch_export.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace qlor {
namespace {

namespace fs = std::filesystem;

TEST(ExportPlanned, SeesEachPlanBeforeItsPairAndEachFailedGeneration) {
    const test::TempDir tmp("qlor-planned");
    ASSERT_TRUE(tmp.valid());
    const fs::path dir = tmp.path();

    ExportParams params;
    params.controls.settings = DefaultTransmissionSettings();
    params.controls.settings.number = {0, 4, 1, 7};
    params.controls.settings.groups = {0, 0, 3};
    params.controls.settings.files = {0, 4};
    params.controls.allSymbols = false;
    params.controls.selectedSymbols = "AA"; // the third A in a row is refused: every generation fails
    params.folder = dir.string();
    const MorseTable table;

    std::vector<int> order;
    ExportResult result = RunExport(
        table, params,
        [&](int i, int) {
            order.push_back(-i); // written
            return true;
        },
        [&](const ExportItem& item, int i) {
            order.push_back(i);
            EXPECT_FALSE(fs::exists(dir / (item.baseName + ".txt"))) << "seen before it is written";
            EXPECT_TRUE(item.generationFailed);
            EXPECT_EQ(item.baseName, PlanExportItem(params, i).baseName);
        });
    EXPECT_TRUE(result.error.empty()) << result.error;
    EXPECT_EQ(result.failedGenerations, 4);
    EXPECT_EQ(order, (std::vector<int>{1, -1, 2, -2, 3, -3, 4, -4}));

    // A write that fails is still announced, and nothing after it.
    order.clear();
    fs::remove_all(dir);
    params.folder = (dir / "missing").string();
    result = RunExport(table, params, {}, [&](const ExportItem&, int i) { order.push_back(i); });
    EXPECT_FALSE(result.error.empty());
    EXPECT_EQ(order, std::vector<int>{1});
}

} // namespace
} // namespace qlor
