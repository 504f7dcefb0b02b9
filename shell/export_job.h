#pragma once
// The batch export of the Files page as a job of the window: a numbered series of text and MIDI
// file pairs (each with its sound file when asked) written on a worker thread, so that the window
// keeps drawing, shows the progress of a long series and answers Stop. The worker reports each
// pair through queued calls that run on the window's thread; the controls stay blocked while it
// runs, as for a transmission.
#include "audio/offline_render.h"
#include "exercises/batch_export.h"
#include "synthesis/morse_table.h"

#include <QObject>

#include <atomic>
#include <thread>
#include <vector>

class QLabel;
class QProgressBar;

namespace qlor {

class TMainForm;

// The folder of PathDir as a file-system path; an empty PathDir is the current directory. It is
// made absolute when the export starts, so the series goes where it was asked for even if the
// current directory changes meanwhile.
std::string ExportFolder(const QString& pathDir);

// One batch export at a time, a child of the window. Its queued calls are dropped with it, and its
// destruction waits for the worker, which touches nothing of the window. It shows its progress in
// the Files page's gauge and status line.
class ExportJob : public QObject {
    Q_OBJECT
public:
    ExportJob(TMainForm* form, QProgressBar* gauge, QLabel* status);
    ~ExportJob() override;

    bool Running() const { return running_; }

    // `sound` says how the sound files are rendered (its MIDI path is filled in for each pair).
    void Start(const MorseTable& table, ExportParams params, RenderRequest sound);
    // The operator's Stop: the worker ends after the pair it is writing; the pairs written stay.
    void Stop();

private:
    ExportResult RunSeries(quint64 run, const ExportParams& params, const RenderRequest& sound);
    bool Current(quint64 run) const { return running_ && run == run_; }
    void Join();
    void Planned(quint64 run, int i, const QString& baseName, bool generationFailed);
    void Progress(quint64 run, int i, int n);
    QString WrittenText(int written, int count) const;
    void Finished(quint64 run);
    // The end of the series, however it came: the result of the worker, which has ended.
    void Complete();
    // The generator's message, once for each file whose text could not be generated, one box
    // after another: a box already open shows the next one when it is closed.
    void QueueGeneratorMessage();

    TMainForm* form_;
    QProgressBar* gauge_;
    QLabel* status_;
    MorseTable table_; // the window's table as it was at the start, read by the worker
    std::thread worker_;
    std::atomic<bool> cancel_{false};
    ExportResult result_; // written by the worker, read after it has been joined
    quint64 run_ = 0;     // number of the current series; notices of older ones are dropped
    bool running_ = false;
    int count_ = 0;        // pairs in the series
    bool audio_ = false;   // the series has sound files
    int filesPerItem_ = 1; // steps of the progress per pair: 1, or its 3 files with sound files
    int pendingMessages_ = 0;
    bool showingMessages_ = false;
    std::vector<QMetaObject::Connection> stopConnections_;
};

} // namespace qlor
