#pragma once
// The configuration and Files pages' lists of choices: their items with the stored value of each
// as item data, and their texts in the language shown.
#include "audio/midi_source.h"
#include "control/program_texts.h"

class QCheckBox;
class QComboBox;
class QLabel;

namespace qlor {

// The signal's voice: "auto", "soundfont", "tone" (VoiceName's stored names); item 0 current.
void FillVoiceChoice(QComboBox* list);
void ShowVoiceChoiceTexts(QLabel* label, QComboBox* list, const ProgramTextTable& texts);
// The voice of item `index` of the voice list; a stored name it does not know is "auto".
VoiceKind ChosenVoice(const QComboBox* list, int index);

// The window scale: one item per offered step [%]; item 0 current.
void FillWindowScaleChoice(QComboBox* list);
void ShowWindowScaleTexts(QLabel* label, QComboBox* list, const ProgramTextTable& texts);

// "Also write audio" (off) and its format list (by file extension, usable only while checked).
void FillExportAudioChoice(QCheckBox* choice, QComboBox* formats);
void ShowExportAudioTexts(QCheckBox* choice, QComboBox* formats, const ProgramTextTable& texts);

} // namespace qlor
