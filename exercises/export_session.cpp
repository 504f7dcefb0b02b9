#include "exercises/export_session.h"

#include <utility>

namespace qlor {

ExportSession::ExportSession(Clock& clock) : clock_(clock) {}

ExportSession::~ExportSession() {
    cancel_ = true;
    if (worker_.joinable())
        worker_.join();
    if (timer_ != 0)
        clock_.StopTimer(timer_);
}

std::string ExportSession::Start(MorseTable table, ExportParams params, ExportAudioWriter audio) {
    if (running_)
        return "an export is already running";
    // The worker of the last series has been joined when its end was delivered.
    cancel_ = false;
    running_ = true;
    StartDraining();
    worker_ = std::thread([this, table = std::move(table), params = std::move(params), audio = std::move(audio)] {
        Work(table, params, audio);
    });
    return {};
}

void ExportSession::Stop() {
    if (!running_)
        return;
    cancel_ = true;
    // Started afresh, so the end is handed over even when the same Stop command has also halted
    // a timer this one shares (the classic window's Stop halts its progress timer).
    StartDraining();
}

void ExportSession::StartDraining() {
    if (timer_ != 0)
        clock_.StopTimer(timer_);
    timer_ = clock_.StartTimer(kExportNoticeIntervalMs, [this] { Drain(); });
}

// On the worker: the series, then its end. What it has written so far is counted from its own
// notices, so that an exception still reports the pairs that stay.
void ExportSession::Work(const MorseTable& table, const ExportParams& params, const ExportAudioWriter& audio) {
    Notice end;
    end.kind = Notice::Kind::Finished;
    try {
        end.result = RunExport(
            table, params,
            [this, &end](int i, int n) {
                end.result.written = i;
                Notice notice;
                notice.kind = Notice::Kind::Progress;
                notice.i = i;
                notice.count = n;
                Push(std::move(notice));
                return !cancel_.load();
            },
            [this, &end](const ExportItem& item, int i) {
                if (item.generationFailed)
                    ++end.result.failedGenerations;
                Notice notice;
                notice.kind = Notice::Kind::Planned;
                notice.i = i;
                notice.baseName = item.baseName;
                notice.generationFailed = item.generationFailed;
                Push(std::move(notice));
            },
            audio);
    } catch (const std::exception&) {
        // Each pair is written as a whole, so the pairs before stay and none is half-written.
        end.failure = std::current_exception();
    }
    Push(std::move(end));
}

void ExportSession::Push(Notice notice) {
    const std::lock_guard lock(mutex_);
    notices_.push_back(std::move(notice));
}

// On the owner's thread. One notice at a time, taken before it is delivered: an event that runs a
// nested event loop (a message box) may tick the timer again, and the next notices then follow in
// order from there.
void ExportSession::Drain() {
    for (;;) {
        Notice notice;
        {
            const std::lock_guard lock(mutex_);
            if (notices_.empty())
                return;
            notice = std::move(notices_.front());
            notices_.pop_front();
        }
        Deliver(notice);
    }
}

void ExportSession::Deliver(Notice& notice) {
    switch (notice.kind) {
    case Notice::Kind::Planned:
        if (events_.planned)
            events_.planned(notice.i, notice.baseName, notice.generationFailed);
        return;
    case Notice::Kind::Progress:
        if (events_.progress)
            events_.progress(notice.i, notice.count);
        return;
    case Notice::Kind::Finished:
        break;
    }
    // The end is the worker's last notice: it has ended or is about to.
    worker_.join();
    clock_.StopTimer(timer_);
    timer_ = 0;
    running_ = false;
    ExportResult& result = notice.result;
    if (notice.failure) {
        try {
            std::rethrow_exception(notice.failure);
        } catch (const std::exception& error) {
            result.error = events_.describeFailure ? events_.describeFailure(error) : std::string(error.what());
        }
    }
    if (events_.finished)
        events_.finished(result);
}

} // namespace qlor
