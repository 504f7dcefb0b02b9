// The window's lists of controls by objectName: those switched while a transmission runs and those
// the caption table feeds.
#include "control/caption_table.h"
#include "shell/blocked_controls.h"
#include "shell/caption_feeds.h"

#include <QtTest>

#include <map>
#include <set>
#include <vector>

namespace qlor {

class ControlNamesTest : public QObject {
    Q_OBJECT

private slots:
    void blockedSetsAreCompleteAndDisjoint() {
        std::set<std::string_view> all;
        size_t total = 0;
        for (auto list : {BlockedControls(), StopControls(), ReadOnlyMemosWhileBlocked(), TransmissionLamps()}) {
            all.insert(list.begin(), list.end());
            total += list.size();
        }
        QCOMPARE(BlockedControls().size(), size_t{79});
        QCOMPARE(StopControls().size(), size_t{4});
        QCOMPARE(ReadOnlyMemosWhileBlocked().size(), size_t{2});
        QCOMPARE(TransmissionLamps().size(), size_t{4});
        QVERIFY2(all.size() == total, "a control is listed twice");

        // What the operator keeps while listening.
        for (std::string_view usable :
             {"TrackBar2", "TrackBar3", "InputMemo", "LngComboBox", "Button57", "Button58", "Button59", "Button60",
              "Button37", "PathDir", "PageControl1", "Button28", "Button42", "Button47", "Button48"}) {
            QVERIFY2(!all.count(usable), usable.data());
        }
        const std::set<std::string_view> blocked(BlockedControls().begin(), BlockedControls().end());
        for (std::string_view must : {"ButtonRun", "Button3", "Button10", "CheckList", "MemoSelectedSymbols",
                                      "TrackBar1", "Button11", "NoiseFile4", "Button41", "ParisSystem", "Button46"}) {
            QVERIFY2(blocked.count(must), must.data());
        }
    }

    void everyFedEntryHasItsControls() {
        std::map<int, std::vector<CaptionFeed>> byEntry;
        std::set<std::pair<std::string_view, CaptionTarget>> seen;
        for (const CaptionFeed& f : CaptionFeeds()) {
            byEntry[f.entry].push_back(f);
            QVERIFY2(seen.insert({f.objectName, f.target}).second, f.objectName.data());
        }
        // Entries 1..85 with a text feed something; 11 feeds the blank page's empty tab.
        for (int e = 1; e < kTextTypeNameEntry; ++e) {
            if (!EnglishCaptions().Text(e).empty()) {
                QVERIFY2(byEntry.count(e), qPrintable(QString::number(e)));
            }
        }
        QVERIFY(byEntry[11].at(0).objectName == "TabSheet10");
        for (int e = 1; e <= 11; ++e) {
            for (const CaptionFeed& f : byEntry[e]) {
                QCOMPARE(f.target, CaptionTarget::PageCaption);
            }
        }
        const std::map<int, size_t> hintCounts{{79, 2}, {80, 8}, {81, 6}, {82, 2}, {83, 2}, {84, 6}, {85, 2}};
        for (auto [entry, count] : hintCounts) {
            QCOMPARE(byEntry[entry].size(), count);
            for (const CaptionFeed& f : byEntry[entry]) {
                QCOMPARE(f.target, CaptionTarget::Hint);
            }
        }
        QVERIFY(byEntry[7].at(0).objectName == "TabSheet6");
        QVERIFY(byEntry[63].at(0).objectName == "Label29");
        QVERIFY(byEntry[72].at(0).objectName == "Label13");
        QVERIFY(!byEntry.count(68));
        QVERIFY(!byEntry.count(100));
    }
};

} // namespace qlor

QTEST_MAIN(qlor::ControlNamesTest)
#include "control_names_test.moc"
