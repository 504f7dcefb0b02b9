#pragma once
// Stand-ins for the window's dialogs and output levels: tests decide the answers and see the calls.
#include "shell/output_levels.h"
#include "shell/ui_dialogs.h"

#include <deque>
#include <vector>

namespace qlor::test {

class FakeDialogs : public UiDialogs {
public:
    // Answers handed out in order; an empty optional is a cancel.
    std::deque<std::optional<QString>> answers;
    std::vector<FileDialogSpec> openSpecs;
    std::vector<FileDialogSpec> saveSpecs;
    QStringList errors;
    QStringList messages;
    QStringList folderStarts;

    std::optional<QString> OpenFile(QWidget*, const FileDialogSpec& request) override {
        openSpecs.push_back(request);
        return Next();
    }
    std::optional<QString> SaveFile(QWidget*, const FileDialogSpec& request) override {
        saveSpecs.push_back(request);
        return Next();
    }
    std::optional<QString> ChooseFolder(QWidget*, const QString& start) override {
        folderStarts << start;
        return Next();
    }
    void ShowError(QWidget*, const QString& text) override { errors << text; }
    void ShowMessage(QWidget*, const QString&, const QString& text) override { messages << text; }

private:
    std::optional<QString> Next() {
        if (answers.empty())
            return std::nullopt;
        const bool cancel = !answers.front().has_value();
        const QString path = cancel ? QString() : *answers.front();
        answers.pop_front();
        if (cancel)
            return std::nullopt;
        return path;
    }
};

class FakeLevels : public OutputLevels {
public:
    std::uint32_t midi = 0;
    std::uint32_t wave = 0;
    std::vector<int> midiSets;
    std::vector<int> waveSets;

    std::uint32_t GetMidiVolume() override { return midi; }
    std::uint32_t GetWaveVolume() override { return wave; }
    void SetMidiVolume(int level) override {
        midiSets.push_back(level);
        midi = VolumeWord(level);
    }
    void SetWaveVolume(int level) override {
        waveSets.push_back(level);
        wave = VolumeWord(level);
    }
};

} // namespace qlor::test
