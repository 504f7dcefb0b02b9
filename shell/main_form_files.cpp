// The Files page: the batch export writes a numbered series of text and MIDI file pairs into the
// folder of PathDir, each with its sound file when "also write audio" is chosen, and Button37
// chooses that folder.
//
// The series is written on a worker thread, so that the window keeps drawing, shows the progress
// of a long series and answers Stop; the worker reports each pair through queued calls that run on
// the window's thread. The controls stay blocked while it runs, as for a transmission.
#include "shell/main_form.h"

#include "audio/offline_render.h"
#include "exercises/batch_export.h"
#include "shell/accessibility.h"
#include "shell/blocked_controls.h"
#include "shell/memo_text.h"
#include "synthesis/audio_formats.h"
#include "textgen/radiogram.h"

#include <QDir>
#include <QFile>

#include <atomic>
#include <thread>
#include <vector>

namespace qlor {
namespace {

constexpr char kExportJobName[] = "ExportJob";

// The folder of PathDir as a file-system path; an empty PathDir is the current directory. It is
// made absolute when the export starts, so the series goes where it was asked for even if the
// current directory changes meanwhile.
std::string ExportFolder(const QString& pathDir) {
    const QString folder =
        pathDir.isEmpty() ? QDir::currentPath() : QDir::current().absoluteFilePath(QDir::fromNativeSeparators(pathDir));
    return QFile::encodeName(folder).toStdString();
}

// One batch export at a time, a child of the window. Its queued calls are dropped with it, and its
// destruction waits for the worker, which touches nothing of the window. It shows its progress in
// the Files page's gauge and status line.
class ExportJob : public QObject {
public:
    ExportJob(TMainForm* form, QProgressBar* gauge, QLabel* status)
        : QObject(form), form_(form), gauge_(gauge), status_(status) {
        setObjectName(QLatin1String(kExportJobName));
    }
    ~ExportJob() override {
        cancel_ = true;
        Join();
    }

    bool Running() const { return running_; }

    // `sound` says how the sound files are rendered (its MIDI path is filled in for each pair).
    void Start(const MorseTable& table, ExportParams params, RenderRequest sound) {
        Join();
        table_ = table;
        count_ = ExportFileCount(params.controls.settings);
        // With sound files the progress counts files; without, pairs as always.
        audio_ = !params.audioExtension.empty();
        filesPerItem_ = audio_ ? ExportFilesPerItem(params) : 1;
        cancel_ = false;
        running_ = true;
        const quint64 run = ++run_;

        gauge_->setRange(0, count_ * filesPerItem_);
        gauge_->setValue(0);
        ShowStatus(status_, QString());
        // Any stop button ends the series after the pair being written.
        for (const std::string_view name : StopControls()) {
            const QString objectName = QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
            if (auto* button = form_->findChild<QAbstractButton*>(objectName))
                stopConnections_.push_back(connect(button, &QAbstractButton::clicked, this, [this] { Stop(); }));
        }

        result_ = ExportResult{};
        // The worker never reads the window: the texts of its error report are copied now.
        worker_ =
            std::thread([this, run, texts = form_->OwnTexts(), params = std::move(params), sound = std::move(sound)] {
                try {
                    result_ = RunSeries(run, params, sound);
                } catch (const std::exception& error) {
                    // Each pair is written as a whole, so the pairs before stay and none is half-written.
                    result_.error = ExceptionText(error, texts).toStdString();
                }
                QMetaObject::invokeMethod(
                    this, [this, run] { Finished(run); }, Qt::QueuedConnection);
            });
    }

    ExportResult RunSeries(quint64 run, const ExportParams& params, const RenderRequest& sound) {
        return RunExport(
            table_, params,
            [this, run](int i, int n) {
                QMetaObject::invokeMethod(
                    this, [this, run, i, n] { Progress(run, i, n); }, Qt::QueuedConnection);
                return !cancel_.load();
            },
            [this, run](const ExportItem& item, int i) {
                const QString baseName = QString::fromStdString(item.baseName);
                const bool failed = item.generationFailed;
                QMetaObject::invokeMethod(
                    this, [this, run, i, baseName, failed] { Planned(run, i, baseName, failed); },
                    Qt::QueuedConnection);
            },
            [&sound](const std::string& midiPath, const std::string& audioPath) {
                RenderRequest request = sound;
                request.midiPath = midiPath;
                return RenderToFile(request, audioPath).error;
            });
    }

    // The operator's Stop: the worker ends after the pair it is writing; the pairs written stay.
    void Stop() {
        if (!running_)
            return;
        cancel_ = true;
        Join();
        Complete();
    }

private:
    bool Current(quint64 run) const { return running_ && run == run_; }

    void Join() {
        if (worker_.joinable())
            worker_.join();
    }

    void Planned(quint64 run, int i, const QString& baseName, bool generationFailed) {
        // The generator's message belongs to a file that was written, so it is shown even when
        // the series has been stopped since.
        if (generationFailed)
            QueueGeneratorMessage();
        if (!Current(run))
            return;
        ShowStatus(status_, form_->OwnText(Say::ExportWriting).arg(baseName).arg(i).arg(count_));
    }

    void Progress(quint64 run, int i, int n) {
        if (!Current(run))
            return;
        gauge_->setValue(i * filesPerItem_);
        ShowStatus(status_, WrittenText(i, n));
    }

    QString WrittenText(int written, int count) const {
        if (audio_)
            return form_->OwnText(Say::ExportAudioWritten).arg(written * filesPerItem_).arg(count * filesPerItem_);
        return form_->OwnText(Say::ExportWritten).arg(written).arg(count);
    }

    void Finished(quint64 run) {
        if (!Current(run))
            return;
        Join();
        Complete();
    }

    // The end of the series, however it came: the result of the worker, which has ended.
    void Complete() {
        running_ = false;
        for (const QMetaObject::Connection& c : stopConnections_)
            disconnect(c);
        stopConnections_.clear();

        const ExportResult result = result_;
        gauge_->setValue(result.written * filesPerItem_);
        if (!result.error.empty()) {
            ShowStatus(status_,
                       form_->OwnText(Say::ExportFailed).arg(result.written + 1).arg(count_).arg(result.written));
        } else if (result.written < count_) {
            ShowStatus(status_, form_->OwnText(Say::ExportStopped).arg(result.written).arg(count_));
        } else {
            ShowStatus(status_, WrittenText(result.written, count_));
        }
        // Unblocked even after a failed write, so the window is usable without pressing Stop.
        form_->ControlUnBlock();
        if (!result.error.empty()) {
            form_->Dialogs().ShowError(form_, form_->OwnText(Say::ExportFailure)
                                                  .arg(result.written + 1)
                                                  .arg(count_)
                                                  .arg(QString::fromStdString(result.error)));
        }
    }

    // The generator's message, once for each file whose text could not be generated, one box
    // after another: a box already open shows the next one when it is closed.
    void QueueGeneratorMessage() {
        ++pendingMessages_;
        if (showingMessages_)
            return;
        showingMessages_ = true;
        while (pendingMessages_ > 0) {
            --pendingMessages_;
            form_->Dialogs().ShowMessage(form_, form_->OwnText(Say::GenerationFailedTitle),
                                         form_->OwnText(Say::GenerationFailedText));
        }
        showingMessages_ = false;
    }

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

ExportJob* FindExportJob(TMainForm* form) {
    return dynamic_cast<ExportJob*>(
        form->findChild<QObject*>(QLatin1String(kExportJobName), Qt::FindDirectChildrenOnly));
}

} // namespace

void TMainForm::ButtonFormFilesClick() {
    ExportJob* job = FindExportJob(this);
    if (!job)
        job = new ExportJob(this, files.ExportGauge, files.ExportStatus);
    if (job->Running())
        return;

    ControlBlock();
    ExportParams params;
    params.controls = ReadRadiogramControls();
    params.cpm = configuration.OurSystem->isChecked();
    params.voice = CurrentVoice();
    params.folder = ExportFolder(files.PathDir->text());
    // The sound as Run would play it now: the voice, the current noise type's recording, the levels.
    RenderRequest sound;
    if (files.ExportAudio->isChecked()) {
        params.audioExtension = files.ExportAudioFormat->currentData().toString().toStdString();
        ParseVoiceName(VoiceOrAuto(configuration.VoiceComboBox->currentData().toString().toStdString()), sound.voice);
        sound.noisePath = QFile::encodeName(PlayableNoisePath()).toStdString();
        sound.midiLevel = static_cast<uint16_t>(panel.TrackBar2->value());
        sound.noiseLevel = static_cast<uint16_t>(panel.TrackBar3->value());
        // The band follows the text number, as Run plays that text and `qlor-cli export --band`.
        sound.band = CurrentBand();
    }
    job->Start(morse_, std::move(params), std::move(sound));
}

void TMainForm::PrepareExportAudioChoice() {
    QComboBox* list = files.ExportAudioFormat;
    list->clear();
    for (const AudioFormat& format : kAudioFormats)
        list->addItem(QString::fromLatin1(format.shown),
                      QString::fromLatin1(format.extension.data(), static_cast<qsizetype>(format.extension.size())));
    list->setCurrentIndex(0);
    files.ExportAudio->setChecked(false);
    list->setEnabled(false);
    connect(files.ExportAudio, &QCheckBox::toggled, list, &QWidget::setEnabled);
}

void TMainForm::ShowExportAudioTexts() {
    files.ExportAudio->setText(OwnText(Say::ExportAudioChoice));
    files.ExportAudio->setToolTip(OwnText(Say::ExportAudioHint));
    files.ExportAudioFormat->setToolTip(OwnText(Say::ExportAudioFormat));
    files.ExportAudioFormat->setAccessibleName(OwnText(Say::ExportAudioFormat));
}

void TMainForm::Button37Click() {
    // The chooser starts at the folder now shown; a cancel keeps it.
    if (const auto folder = dialogs_->ChooseFolder(this, files.PathDir->text()))
        files.PathDir->setText(QDir::toNativeSeparators(*folder));
}

} // namespace qlor
