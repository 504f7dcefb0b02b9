#include "shell/panel_map.h"

#include <array>

namespace qlor {
namespace {

constexpr const char* kThousands = "thousands digit";
constexpr const char* kHundreds = "hundreds digit";
constexpr const char* kTens = "tens digit";
constexpr const char* kUnits = "units digit";

constexpr std::array<StepPair, 24> kPairs{{
    // Main panel.
    {"Button19", "Button20", "Label11", IntSetting::TextType, "Text type", ""},
    {"Button3", "Button4", "Label2", IntSetting::Number1, "Text number", kThousands},
    {"Button5", "Button6", "Label3", IntSetting::Number2, "Text number", kHundreds},
    {"Button7", "Button8", "Label4", IntSetting::Number3, "Text number", kTens},
    {"Button9", "Button10", "Label5", IntSetting::Number4, "Text number", kUnits},
    {"Button12", "Button13", "Label6", IntSetting::Speed1, "Speed", kHundreds},
    {"Button14", "Button15", "Label7", IntSetting::Speed2, "Speed", kTens},
    {"Button16", "Button17", "Label8", IntSetting::Speed3, "Speed", kUnits},
    {"Button21", "Button22", "Label14", IntSetting::PauseDelay, "Pause", ""},
    {"Button18", "Button29", "Label20", IntSetting::NoiseType, "Noise type", ""},
    {"Button49", "Button50", "Label47", IntSetting::Groups1, "Group count", kHundreds},
    {"Button31", "Button30", "Label24", IntSetting::Groups2, "Group count", kTens},
    {"Button32", "Button33", "Label25", IntSetting::Groups3, "Group count", kUnits},
    {"Button35", "Button34", "Label28", IntSetting::CharInGroup, "Characters per group", ""},
    // Files page.
    {"Button57", "Button58", "Label77", IntSetting::Files1, "File count", kTens},
    {"Button59", "Button60", "Label78", IntSetting::Files2, "File count", kUnits},
    // Parameters page.
    {"Button1", "Button2", "Label39", IntSetting::StartSpeed1, "Initial competition speed", kHundreds},
    {"Button26", "Button27", "Label40", IntSetting::StartSpeed2, "Initial competition speed", kTens},
    {"Button28", "Button42", "Label41", IntSetting::StartSpeed3, "Initial competition speed", kUnits},
    {"Button43", "Button44", "Label43", IntSetting::StopSpeed1, "Final competition speed", kHundreds},
    {"Button45", "Button46", "Label44", IntSetting::StopSpeed2, "Final competition speed", kTens},
    {"Button47", "Button48", "Label45", IntSetting::StopSpeed3, "Final competition speed", kUnits},
    // Configuration page.
    {"Button23", "Button24", "Label16", IntSetting::MidiChannel, "MIDI channel", ""},
    {"Button25", "Button11", "Label17", IntSetting::MidiPatch, "MIDI program", ""},
}};

} // namespace

std::span<const StepPair> StepPairs() {
    return kPairs;
}

const StepPair* FindStepPair(IntSetting id) {
    for (const StepPair& p : kPairs)
        if (p.id == id)
            return &p;
    return nullptr;
}

QString StepButtonAccessibleName(const StepPair& pair, bool up) {
    QString name = QString::fromLatin1(pair.subject);
    if (*pair.digit)
        name += QStringLiteral(", ") + QString::fromLatin1(pair.digit);
    return name + (up ? QStringLiteral(", up") : QStringLiteral(", down"));
}

QString IndicatorSubject(const StepPair& pair) {
    QString name = QString::fromLatin1(pair.subject);
    if (*pair.digit)
        name += u' ' + QString::fromLatin1(pair.digit);
    return name;
}

QString StepButtonAccessibleDescription(const StepPair& pair, bool up) {
    QString subject = QString::fromLatin1(pair.subject);
    // "Text number" -> "text number", but "MIDI channel" stays as it is.
    if (subject.size() > 1 && subject[1].isLower())
        subject[0] = subject[0].toLower();
    const QString what = *pair.digit ? QStringLiteral("the %1 of the %2").arg(QString::fromLatin1(pair.digit), subject)
                                     : QStringLiteral("the ") + subject;
    return (up ? QStringLiteral("Raises ") : QStringLiteral("Lowers ")) + what + QStringLiteral(" by one");
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
