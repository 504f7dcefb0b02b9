#include "shell/panel_map.h"

#include "shell/qt_program_text.h"

#include <array>

namespace qlor {
namespace {

constexpr Say kThousands = Say::AccThousandsDigit;
constexpr Say kHundreds = Say::AccHundredsDigit;
constexpr Say kTens = Say::AccTensDigit;
constexpr Say kUnits = Say::AccUnitsDigit;
constexpr std::optional<Say> kOneCell;

constexpr std::array<StepPair, 24> kPairs{{
    // Main panel.
    {"Button19", "Button20", "Label11", IntSetting::TextType, Say::AccTextType, kOneCell},
    {"Button3", "Button4", "Label2", IntSetting::Number1, Say::AccTextNumber, kThousands},
    {"Button5", "Button6", "Label3", IntSetting::Number2, Say::AccTextNumber, kHundreds},
    {"Button7", "Button8", "Label4", IntSetting::Number3, Say::AccTextNumber, kTens},
    {"Button9", "Button10", "Label5", IntSetting::Number4, Say::AccTextNumber, kUnits},
    {"Button12", "Button13", "Label6", IntSetting::Speed1, Say::AccSpeed, kHundreds},
    {"Button14", "Button15", "Label7", IntSetting::Speed2, Say::AccSpeed, kTens},
    {"Button16", "Button17", "Label8", IntSetting::Speed3, Say::AccSpeed, kUnits},
    {"Button21", "Button22", "Label14", IntSetting::PauseDelay, Say::AccPause, kOneCell},
    {"Button18", "Button29", "Label20", IntSetting::NoiseType, Say::AccNoiseType, kOneCell},
    {"Button49", "Button50", "Label47", IntSetting::Groups1, Say::AccGroupCount, kHundreds},
    {"Button31", "Button30", "Label24", IntSetting::Groups2, Say::AccGroupCount, kTens},
    {"Button32", "Button33", "Label25", IntSetting::Groups3, Say::AccGroupCount, kUnits},
    {"Button35", "Button34", "Label28", IntSetting::CharInGroup, Say::AccCharactersPerGroup, kOneCell},
    // Files page.
    {"Button57", "Button58", "Label77", IntSetting::Files1, Say::AccFileCount, kTens},
    {"Button59", "Button60", "Label78", IntSetting::Files2, Say::AccFileCount, kUnits},
    // Parameters page.
    {"Button1", "Button2", "Label39", IntSetting::StartSpeed1, Say::AccInitialSpeed, kHundreds},
    {"Button26", "Button27", "Label40", IntSetting::StartSpeed2, Say::AccInitialSpeed, kTens},
    {"Button28", "Button42", "Label41", IntSetting::StartSpeed3, Say::AccInitialSpeed, kUnits},
    {"Button43", "Button44", "Label43", IntSetting::StopSpeed1, Say::AccFinalSpeed, kHundreds},
    {"Button45", "Button46", "Label44", IntSetting::StopSpeed2, Say::AccFinalSpeed, kTens},
    {"Button47", "Button48", "Label45", IntSetting::StopSpeed3, Say::AccFinalSpeed, kUnits},
    // Configuration page.
    {"Button23", "Button24", "Label16", IntSetting::MidiChannel, Say::AccMidiChannel, kOneCell},
    {"Button25", "Button11", "Label17", IntSetting::MidiPatch, Say::AccMidiProgram, kOneCell},
}};

} // namespace

std::span<const StepPair> StepPairs() {
    return kPairs;
}

namespace {

// The subject inside a sentence: "Text number" -> "text number", but "MIDI channel" stays.
QString InSentence(QString subject) {
    if (subject.size() > 1 && subject[1].isLower())
        subject[0] = subject[0].toLower();
    return subject;
}

} // namespace

QString StepButtonAccessibleName(const StepPair& pair, bool up, const ProgramTextTable& texts) {
    const QString subject = QProgramText(pair.subject, texts);
    if (!pair.digit)
        return QProgramText(up ? Say::AccStepUp : Say::AccStepDown, texts).arg(subject);
    return QProgramText(up ? Say::AccStepDigitUp : Say::AccStepDigitDown, texts)
        .arg(subject, QProgramText(*pair.digit, texts));
}

QString IndicatorSubject(const StepPair& pair, const ProgramTextTable& texts) {
    const QString subject = QProgramText(pair.subject, texts);
    if (!pair.digit)
        return subject;
    return QProgramText(Say::AccCellDigit, texts).arg(subject, QProgramText(*pair.digit, texts));
}

QString StepButtonAccessibleDescription(const StepPair& pair, bool up, const ProgramTextTable& texts) {
    const QString subject = InSentence(QProgramText(pair.subject, texts));
    if (!pair.digit)
        return QProgramText(up ? Say::AccStepUpDesc : Say::AccStepDownDesc, texts).arg(subject);
    return QProgramText(up ? Say::AccStepDigitUpDesc : Say::AccStepDigitDownDesc, texts)
        .arg(subject, QProgramText(*pair.digit, texts));
}

QString PauseText(int pause) {
    if (pause >= 3 && pause <= 9)
        return QString::number(pause);
    if (pause >= 10 && pause <= 15)
        return QString(QChar(u'A' + (pause - 10)));
    return QString::number(pause);
}

QString MidiChannelText(int channel) {
    const int shown = channel + 1;
    return shown < 10 ? QStringLiteral("0") + QString::number(shown) : QString::number(shown);
}

QString MidiPatchText(int patch) {
    if (patch < 0)
        return u'-' + QStringLiteral("%1").arg(-static_cast<long long>(patch), 2, 10, QChar(u'0'));
    return QStringLiteral("%1").arg(patch, 3, 10, QChar(u'0'));
}

std::optional<QString> EnglishTextTypeName(int type) {
    static const std::array<const char*, 6> names{"L", "R", "N", "NC", "LN", "MX"};
    if (type < 0 || type > 5)
        return std::nullopt;
    return QString::fromLatin1(names[static_cast<size_t>(type)]);
}

std::optional<QString> EnglishNoiseTypeName(int noise) {
    static const std::array<const char*, 5> names{"--", "DT", "DS", "CS", "RN"};
    if (noise < 0 || noise > 4)
        return std::nullopt;
    return QString::fromLatin1(names[static_cast<size_t>(noise)]);
}

} // namespace qlor
