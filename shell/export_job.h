#pragma once
// The batch export of the Files page as the window shows it: a numbered series of text and MIDI
// file pairs (each with its sound file when asked) written by the export session, so that the
// window keeps drawing, shows the progress of a long series and answers Stop. The session's
// events arrive on the window's thread by the window's clock; the controls stay blocked while the
// series runs, as for a transmission.
#include "audio/offline_render.h"
#include "exercises/export_session.h"
#include "synthesis/morse_table.h"

#include <QObject>

#include <vector>

class QLabel;
class QProgressBar;

namespace qlor {

class TMainForm;

// The folder of PathDir as a file-system path; an empty PathDir is the current directory. It is
// made absolute when the export starts, so the series goes where it was asked for even if the
// current directory changes meanwhile.
std::string ExportFolder(const QString& pathDir);

// One batch export at a time. It goes before the clock it runs on; its destruction ends a running
// series after the pair being written and shows nothing more. It shows its progress in the Files
// page's gauge and status line.
class ExportJob : public QObject {
    Q_OBJECT
public:
    ExportJob(TMainForm* form, Clock& clock, QProgressBar* gauge, QLabel* status);
    ~ExportJob() override;

    bool Running() const { return series_.Running(); }

    // `sound` says how the sound files are rendered (its MIDI path is filled in for each pair).
    void Start(const MorseTable& table, ExportParams params, RenderRequest sound);
    // The operator's Stop: the series ends after the pair being written; the pairs written stay.
    // The controls stay blocked until that end arrives.
    void Stop();

private:
    void Planned(int i, const QString& baseName, bool generationFailed);
    void Progress(int i, int n);
    QString WrittenText(int written, int count) const;
    // The end of the series, however it came.
    void Finished(const ExportResult& result);
    // The generator's message, once for each file whose text could not be generated, one box
    // after another: a box already open shows the next one when it is closed.
    void QueueGeneratorMessage();

    TMainForm* form_;
    QProgressBar* gauge_;
    QLabel* status_;
    ExportSession series_;
    int count_ = 0;        // pairs in the series
    bool audio_ = false;   // the series has sound files
    int filesPerItem_ = 1; // steps of the progress per pair: 1, or its 3 files with sound files
    int pendingMessages_ = 0;
    bool showingMessages_ = false;
    std::vector<QMetaObject::Connection> stopConnections_;
};

} // namespace qlor
