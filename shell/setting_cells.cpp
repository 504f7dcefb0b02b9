#include "shell/setting_cells.h"

#include "shell/memo_text.h"
#include "shell/panel_map.h"
#include "shell/panel_widgets.h"

#include "ui_configurationpage.h"
#include "ui_filespage.h"
#include "ui_panelpage.h"
#include "ui_parameterspage.h"

#include <array>

namespace qlor {
namespace {

// A row of digit cells, left to right, showing a setting's digits.
template <std::size_t N> void ShowDigits(const std::array<Indicator*, N>& cells, const std::array<int, N>& digits) {
    for (std::size_t i = 0; i < N; ++i)
        cells[i]->ShowValue(QString::number(digits[i]));
}

// The name of a type: the English short name, or the caption table's entry.
QString TypeName(const CaptionTable* captions, int entry, const std::optional<QString>& english) {
    return captions ? FromCp1251(captions->Text(entry)) : *english;
}

} // namespace

void ShowSettingCells(const SettingCellPages& pages, const TransmissionSettings& s, bool allSymbols,
                      const CaptionTable* captions) {
    const Ui::PanelPage& panel = pages.panel;
    const Ui::ParametersPage& parameters = pages.parameters;
    ShowDigits(std::array{panel.Label2, panel.Label3, panel.Label4, panel.Label5}, s.number);
    ShowDigits(std::array{panel.Label6, panel.Label7, panel.Label8}, s.speed);
    ShowDigits(std::array{panel.Label47, panel.Label24, panel.Label25}, s.groups);
    panel.Label28->ShowValue(QString::number(s.charInGroup));
    ShowDigits(std::array{parameters.Label39, parameters.Label40, parameters.Label41}, s.startSpeed);
    ShowDigits(std::array{parameters.Label43, parameters.Label44, parameters.Label45}, s.stopSpeed);

    // Text type by its short name; a value outside the table leaves the cell as it is.
    if (s.textType >= 0 && s.textType <= 5)
        panel.Label11->ShowValue(TypeName(captions, kTextTypeNameEntry + s.textType, EnglishTextTypeName(s.textType)));
    panel.Label11->SetBackground(allSymbols ? kIndicatorBlack : kIndicatorRed);

    panel.Label14->ShowValue(PauseText(s.pauseDelayDots));
    pages.configuration.Label16->ShowValue(MidiChannelText(s.midiChannel));
    if (s.noiseType >= 0 && s.noiseType <= 4)
        panel.Label20->ShowValue(
            TypeName(captions, kNoiseTypeNameEntry + s.noiseType, EnglishNoiseTypeName(s.noiseType)));
    pages.configuration.Label17->ShowValue(MidiPatchText(s.midiPatch));
    ShowDigits(std::array{pages.files.Label77, pages.files.Label78}, s.files);
}

} // namespace qlor
