#include "shell/export_job.h"

#include "shell/accessibility.h"
#include "shell/blocked_controls.h"
#include "shell/main_form.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>

namespace qlor {

ExportJob::ExportJob(TMainForm* form, QProgressBar* gauge, QLabel* status)
    : QObject(form), form_(form), gauge_(gauge), status_(status) {
    setObjectName(QStringLiteral("ExportJob"));
}

ExportJob::~ExportJob() {
    cancel_ = true;
    Join();
}

void ExportJob::Start(const MorseTable& table, ExportParams params, RenderRequest sound) {
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
    worker_ = std::thread([this, run, texts = form_->OwnTexts(), params = std::move(params), sound = std::move(sound)] {
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

ExportResult ExportJob::RunSeries(quint64 run, const ExportParams& params, const RenderRequest& sound) {
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
                this, [this, run, i, baseName, failed] { Planned(run, i, baseName, failed); }, Qt::QueuedConnection);
        },
        [&sound](const std::string& midiPath, const std::string& audioPath) {
            RenderRequest request = sound;
            request.midiPath = midiPath;
            return RenderToFile(request, audioPath).error;
        });
}

void ExportJob::Stop() {
    if (!running_)
        return;
    cancel_ = true;
    Join();
    Complete();
}

void ExportJob::Join() {
    if (worker_.joinable())
        worker_.join();
}

void ExportJob::Planned(quint64 run, int i, const QString& baseName, bool generationFailed) {
    // The generator's message belongs to a file that was written, so it is shown even when
    // the series has been stopped since.
    if (generationFailed)
        QueueGeneratorMessage();
    if (!Current(run))
        return;
    ShowStatus(status_, form_->OwnText(Say::ExportWriting).arg(baseName).arg(i).arg(count_));
}

void ExportJob::Progress(quint64 run, int i, int n) {
    if (!Current(run))
        return;
    gauge_->setValue(i * filesPerItem_);
    ShowStatus(status_, WrittenText(i, n));
}

QString ExportJob::WrittenText(int written, int count) const {
    if (audio_)
        return form_->OwnText(Say::ExportAudioWritten).arg(written * filesPerItem_).arg(count * filesPerItem_);
    return form_->OwnText(Say::ExportWritten).arg(written).arg(count);
}

void ExportJob::Finished(quint64 run) {
    if (!Current(run))
        return;
    Join();
    Complete();
}

void ExportJob::Complete() {
    running_ = false;
    for (const QMetaObject::Connection& c : stopConnections_)
        disconnect(c);
    stopConnections_.clear();

    const ExportResult result = result_;
    gauge_->setValue(result.written * filesPerItem_);
    if (!result.error.empty()) {
        ShowStatus(status_, form_->OwnText(Say::ExportFailed).arg(result.written + 1).arg(count_).arg(result.written));
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

void ExportJob::QueueGeneratorMessage() {
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

std::string ExportFolder(const QString& pathDir) {
    const QString folder =
        pathDir.isEmpty() ? QDir::currentPath() : QDir::current().absoluteFilePath(QDir::fromNativeSeparators(pathDir));
    return QFile::encodeName(folder).toStdString();
}

} // namespace qlor
