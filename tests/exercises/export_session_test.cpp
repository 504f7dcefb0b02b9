// The export session in virtual time: the worker writes the pairs at the pace a gate in its sound
// writer allows, and the events reach the test only when the clock ticks.
#include "exercises/export_session.h"
#include "tests/support/fake_audio_port.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>
#include <thread>

namespace qlor {
namespace {

namespace fs = std::filesystem;

// The sound writer of the worker: each pair waits in it until the test lets that pair through.
class Gate {
public:
    ExportAudioWriter Writer() {
        return [this](const std::string&, const std::string& audioPath) {
            std::unique_lock lock(mutex_);
            ++entered_;
            changed_.notify_all();
            changed_.wait(lock, [this] { return allowed_ >= entered_; });
            std::ofstream(audioPath, std::ios::binary) << "sound";
            return std::string();
        };
    }
    void Allow(int pairs) {
        const std::lock_guard lock(mutex_);
        allowed_ = pairs;
        changed_.notify_all();
    }
    // Until the worker waits in pair `pair`: every notice of the pairs before is queued.
    void AwaitPair(int pair) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return entered_ >= pair; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int entered_ = 0;
    int allowed_ = 0;
};

class ExportSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp_.valid());
        params_.controls.settings = DefaultTransmissionSettings();
        params_.controls.settings.number = {0, 4, 1, 7};
        params_.controls.settings.groups = {0, 0, 2};
        params_.folder = tmp_.path().string();
        params_.audioExtension = "wav";
        ExportEvents events;
        events.planned = [this](int i, const std::string& baseName, bool failed) {
            log_.push_back("planned " + std::to_string(i) + " " + baseName + (failed ? " failed" : ""));
        };
        events.progress = [this](int written, int count) {
            log_.push_back("progress " + std::to_string(written) + "/" + std::to_string(count));
        };
        events.finished = [this](const ExportResult& r) {
            log_.push_back("finished " + std::to_string(r.written) + (r.cancelled ? " cancelled" : "") +
                           (r.error.empty() ? "" : " " + r.error));
        };
        session_.SetEvents(std::move(events));
    }

    // A failed test leaves no worker waiting in the gate.
    ~ExportSessionTest() override { gate_.Allow(INT_MAX); }

    std::string Start(int count) {
        params_.controls.settings.files = {count / 10, count % 10};
        return session_.Start(MorseTable(), params_, gate_.Writer());
    }

    // Ticks the clock until the end has been delivered (the worker runs in real time).
    void TickUntilFinished() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (session_.Running() && std::chrono::steady_clock::now() < deadline) {
            clock_.Advance(kExportNoticeIntervalMs);
            std::this_thread::yield();
        }
        ASSERT_FALSE(session_.Running());
    }

    std::set<std::string> Files() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(tmp_.path()))
            names.insert(entry.path().filename().string());
        return names;
    }

    test::TempDir tmp_{"qlor-export-session"};
    ExportParams params_;
    test::ManualClock clock_;
    Gate gate_;
    std::vector<std::string> log_;
    ExportSession session_{clock_};
};

TEST_F(ExportSessionTest, EventsArriveInOrderOnlyWhenTheClockTicks) {
    ASSERT_EQ(Start(3), "");
    EXPECT_TRUE(session_.Running());
    EXPECT_NE(Start(3), "") << "one series at a time";

    gate_.AwaitPair(1);
    clock_.Advance(kExportNoticeIntervalMs - 1);
    EXPECT_TRUE(log_.empty());
    clock_.Advance(1);
    EXPECT_EQ(log_, std::vector<std::string>{"planned 1 0417-01"});

    gate_.Allow(1);
    gate_.AwaitPair(2);
    EXPECT_EQ(log_.size(), 1U) << "queued, not delivered";
    gate_.Allow(3);
    TickUntilFinished();
    const std::vector<std::string> expected = {"planned 1 0417-01", "progress 1/3", "planned 2 0417-02", "progress 2/3",
                                               "planned 3 0417-03", "progress 3/3", "finished 3"};
    EXPECT_EQ(log_, expected);
    EXPECT_EQ(clock_.ActiveTimers(), 0U);
    EXPECT_EQ(Files().size(), 9U);

    // The next series starts once the end has been delivered.
    log_.clear();
    gate_.Allow(4);
    ASSERT_EQ(Start(1), "");
    TickUntilFinished();
    EXPECT_EQ(log_.back(), "finished 1");
}

TEST_F(ExportSessionTest, StopEndsAfterThePairBeingWrittenAndKeepsTheWrittenPairs) {
    ASSERT_EQ(Start(5), "");
    gate_.Allow(1);
    gate_.AwaitPair(2);
    session_.Stop();
    EXPECT_TRUE(session_.Running()) << "until the end is delivered";
    gate_.Allow(5);
    TickUntilFinished();
    EXPECT_EQ(log_.back(), "finished 2 cancelled");
    const std::set<std::string> expected = {"0417-01.txt", "0417-01.mid", "0417-01.wav",
                                            "0417-02.txt", "0417-02.mid", "0417-02.wav"};
    EXPECT_EQ(Files(), expected);
    EXPECT_EQ(clock_.ActiveTimers(), 0U);
}

// An exception on the worker ends the series like a failed write: the owner is told, with the
// pairs written before it.
TEST_F(ExportSessionTest, AnExceptionOnTheWorkerEndsTheSeriesWithThePairsWritten) {
    params_.controls.settings.files = {0, 3};
    int calls = 0;
    ASSERT_EQ(session_.Start(MorseTable(), params_,
                             [&calls](const std::string&, const std::string& audioPath) {
                                 if (++calls == 2)
                                     throw std::runtime_error("out of sound");
                                 std::ofstream(audioPath, std::ios::binary) << "sound";
                                 return std::string();
                             }),
              "");
    TickUntilFinished();
    EXPECT_EQ(log_.back(), "finished 1 out of sound");
    const std::set<std::string> expected = {"0417-01.txt", "0417-01.mid", "0417-01.wav"};
    EXPECT_EQ(Files(), expected);
}

// The session goes while its worker writes: the worker ends after its pair, and nothing queued is
// delivered afterwards.
TEST_F(ExportSessionTest, DestructionWhileRunningJoinsAndDropsTheNotices) {
    auto session = std::make_unique<ExportSession>(clock_);
    int events = 0;
    ExportEvents count;
    count.planned = [&](int, const std::string&, bool) { ++events; };
    count.progress = [&](int, int) { ++events; };
    count.finished = [&](const ExportResult&) { ++events; };
    session->SetEvents(std::move(count));
    params_.controls.settings.files = {0, 4};
    ASSERT_EQ(session->Start(MorseTable(), params_, gate_.Writer()), "");
    gate_.AwaitPair(1);
    gate_.Allow(4); // the worker goes on until it sees the session ending
    session.reset();
    clock_.Advance(10 * kExportNoticeIntervalMs);
    EXPECT_EQ(events, 0);
    EXPECT_EQ(clock_.ActiveTimers(), 0U);
    const std::set<std::string> files = Files();
    EXPECT_FALSE(files.empty());
    EXPECT_EQ(files.size() % 3, 0U) << "whole pairs only";
}

} // namespace
} // namespace qlor
