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

ExportJob::ExportJob(TMainForm* form, Clock& clock, QProgressBar* gauge, QLabel* status)
    : form_(form), gauge_(gauge), status_(status), series_(clock) {
    setObjectName(QStringLiteral("ExportJob"));
}

ExportJob::~ExportJob() = default;

void ExportJob::Start(const MorseTable& table, ExportParams params, RenderRequest sound) {
    if (series_.Running())
        return;
    count_ = ExportFileCount(params.controls.settings);
    // With sound files the progress counts files; without, pairs as always.
    audio_ = !params.audioExtension.empty();
    filesPerItem_ = audio_ ? ExportFilesPerItem(params) : 1;

    gauge_->setRange(0, count_ * filesPerItem_);
    gauge_->setValue(0);
    ShowStatus(status_, QString());
    // Any stop button ends the series after the pair being written.
    for (const std::string_view name : StopControls()) {
        const QString objectName = QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
        if (auto* button = form_->findChild<QAbstractButton*>(objectName))
            stopConnections_.push_back(connect(button, &QAbstractButton::clicked, this, [this] { Stop(); }));
    }

    ExportEvents events;
    events.planned = [this](int i, const std::string& baseName, bool failed) {
        Planned(i, QString::fromStdString(baseName), failed);
    };
    events.progress = [this](int i, int n) { Progress(i, n); };
    events.finished = [this](const ExportResult& result) { Finished(result); };
    // In the language of the start, as the rest of the series' report.
    events.describeFailure = [texts = form_->OwnTexts()](const std::exception& error) {
        return ExceptionText(error, texts).toStdString();
    };
    series_.SetEvents(std::move(events));
    // The sound files are rendered on the export's worker, from copies.
    ExportAudioWriter audio = [sound = std::move(sound)](const std::string& midiPath, const std::string& audioPath) {
        RenderRequest request = sound;
        request.midiPath = midiPath;
        return RenderToFile(request, audioPath).error;
    };
    series_.Start(table, std::move(params), std::move(audio));
}

void ExportJob::Stop() {
    if (!series_.Running())
        return;
    series_.Stop();
    // The stop buttons' own handlers have just unblocked the controls: they stay blocked, so that
    // nothing starts before the pair being written is done and the end has been shown.
    form_->ControlBlock();
}

void ExportJob::Planned(int i, const QString& baseName, bool generationFailed) {
    // The generator's message belongs to a file that was written, so it is shown even when
    // the series has been stopped since.
    if (generationFailed)
        QueueGeneratorMessage();
    // A box shown meanwhile may have let the end of the series be shown: it stays.
    if (!series_.Running())
        return;
    ShowStatus(status_, form_->OwnText(Say::ExportWriting).arg(baseName).arg(i).arg(count_));
}

void ExportJob::Progress(int i, int n) {
    gauge_->setValue(i * filesPerItem_);
    ShowStatus(status_, WrittenText(i, n));
}

QString ExportJob::WrittenText(int written, int count) const {
    if (audio_)
        return form_->OwnText(Say::ExportAudioWritten).arg(written * filesPerItem_).arg(count * filesPerItem_);
    return form_->OwnText(Say::ExportWritten).arg(written).arg(count);
}

void ExportJob::Finished(const ExportResult& result) {
    for (const QMetaObject::Connection& c : stopConnections_)
        disconnect(c);
    stopConnections_.clear();

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
