#include "shell/blocked_controls.h"

namespace qlor {
namespace {

constexpr std::string_view kBlocked[] = {
    // clang-format off
    // Main panel: Run and the step buttons of text number, speed, text type, pause, noise type,
    // group count and characters per group.
    "ButtonRun",
    "Button3", "Button4", "Button5", "Button6", "Button7", "Button8", "Button9", "Button10",
    "Button12", "Button13", "Button14", "Button15", "Button16", "Button17",
    "Button19", "Button20",
    "Button21", "Button22",
    "Button18", "Button29",
    "Button30", "Button31", "Button32", "Button33", "Button49", "Button50",
    "Button34", "Button35",
    // Text.
    "Button53", "ButtonOpen", "ButtonSave", "ButtonClear",
    // Reception.
    "ButtonRun1", "ButtonCheckText", "Button51", "Button55", "CheckList",
    // Competition.
    "CompRun", "Button38", "Button52",
    // Files.
    "ButtonFormFiles",
    // Text options.
    "CheckBoxTextType", "CheckBoxAutoPriem", "NeedHeader", "HeaderStandart", "HeaderUser", "BeginChar",
    "NeedEnded", "EndedStandart", "EndedUser", "EndChar", "AllSymbols", "SelectedSymbols", "MemoSelectedSymbols",
    // Parameters: the training text and the start and final speed buttons.
    "TrainTextNeed", "Button1", "Button2", "Button26", "Button27", "Button43", "Button44", "Button45", "Button46",
    // Configuration: tone, channel, patch, noise files and their browse buttons, speed system.
    "TrackBar1", "Button23", "Button24", "Button25", "Button11",
    "NoiseFile1", "NoiseFile2", "NoiseFile3", "NoiseFile4",
    "Button36", "Button39", "Button40", "Button41",
    "OurSystem", "ParisSystem",
    // clang-format on
};
static_assert(std::size(kBlocked) == 79);

constexpr std::string_view kStop[] = {"ButtonStop", "ButtonStop1", "Button54", "CompStop"};
constexpr std::string_view kReadOnlyMemos[] = {"MemoText", "MemoProtokol"};
constexpr std::string_view kLamps[] = {"fcLabel4", "fcLabel5", "fcLabel6", "fcLabel7"};

} // namespace

std::span<const std::string_view> BlockedControls() {
    return kBlocked;
}
std::span<const std::string_view> StopControls() {
    return kStop;
}
std::span<const std::string_view> ReadOnlyMemosWhileBlocked() {
    return kReadOnlyMemos;
}
std::span<const std::string_view> TransmissionLamps() {
    return kLamps;
}

} // namespace qlor
