#pragma once
// The batch export as a session: the series is written on a worker thread while its owner goes
// on, and what the worker reports (each pair planned, the progress, the end) reaches the owner as
// events. The worker only queues its notices; a timer of the owner's clock hands them over, in
// order, on the owner's thread, so the owner never waits on the worker and the worker never
// touches the owner's state.
#include "control/session.h"
#include "exercises/batch_export.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace qlor {

struct ExportEvents {
    // Pair i (1..count) is about to be written under `baseName`; `generationFailed`: its text
    // could not be generated (the pair is written all the same).
    std::function<void(int i, const std::string& baseName, bool generationFailed)> planned;
    // `written` pairs of `count` are on disk.
    std::function<void(int written, int count)> progress;
    // The end of the series, however it came: all written, stopped, or failed (the reason in
    // `error`). Once per series, after every other event of it.
    std::function<void(const ExportResult& result)> finished;
    // The error text of an exception that ended the series, asked on the owner's thread before
    // `finished`; without it the exception's own text.
    std::function<std::string(const std::exception& error)> describeFailure;
};

// How often the owner's clock hands the worker's notices over [ms].
inline constexpr std::int64_t kExportNoticeIntervalMs = 50;

class ExportSession {
public:
    // The clock outlives the session.
    explicit ExportSession(Clock& clock);
    // Ends a running series after the pair being written and waits for it; its notices not yet
    // handed over are dropped.
    ~ExportSession();
    ExportSession(const ExportSession&) = delete;
    ExportSession& operator=(const ExportSession&) = delete;

    // Set while no series runs. The events must not destroy the session.
    void SetEvents(ExportEvents events) { events_ = std::move(events); }

    // Writes the series of `params` with the table given, each sound file through `audio` (see
    // RunExport). "" when the series has started, else why not: one series at a time.
    std::string Start(MorseTable table, ExportParams params, ExportAudioWriter audio = {});
    // Ends the series after the pair being written; the pairs written stay. The end is reported
    // by `finished` (cancelled unless the last pair was the one being written).
    void Stop();
    // From Start until `finished` has been delivered.
    bool Running() const { return running_; }

private:
    struct Notice {
        enum class Kind { Planned, Progress, Finished } kind = Kind::Progress;
        int i = 0;
        int count = 0;
        std::string baseName;
        bool generationFailed = false;
        ExportResult result;
        std::exception_ptr failure;
    };

    void Work(const MorseTable& table, const ExportParams& params, const ExportAudioWriter& audio);
    void Push(Notice notice);
    void Drain();
    void Deliver(Notice& notice);
    void StartDraining();

    Clock& clock_;
    ExportEvents events_;
    bool running_ = false;
    int timer_ = 0;
    std::thread worker_;
    std::atomic<bool> cancel_{false};
    std::mutex mutex_;           // guards notices_
    std::deque<Notice> notices_; // written by the worker, taken on the owner's thread
};

} // namespace qlor
