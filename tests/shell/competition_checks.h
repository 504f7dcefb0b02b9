#pragma once
// Checks shared by the competition's window tests: the blocked and unblocked controls, the voice
// the window sends with, and the contest as the core plans it.
#include "base/codepage.h"
#include "exercises/competition.h"
#include "shell/main_form.h"
#include "shell/memo_text.h"
#include "shell/panel_widgets.h"
#include "tests/support/controls.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

namespace qlor::test {

inline bool Enabled(TMainForm& form, const char* button) {
    return Control<QPushButton>(form, button).isEnabled();
}

inline bool Blocked(TMainForm& form) {
    return !Enabled(form, "ButtonRun") && !Enabled(form, "ButtonFormFiles") && !Enabled(form, "CompRun") &&
           Enabled(form, "ButtonStop") && Enabled(form, "CompStop") &&
           Control<QPlainTextEdit>(form, "MemoProtokol").isReadOnly() && Control<Lamp>(form, "fcLabel7").OnAir();
}

inline bool Unblocked(TMainForm& form) {
    return Enabled(form, "ButtonRun") && Enabled(form, "ButtonFormFiles") && Enabled(form, "CompRun") &&
           !Enabled(form, "ButtonStop") && !Enabled(form, "CompStop") &&
           !Control<QPlainTextEdit>(form, "MemoProtokol").isReadOnly() && !Control<Lamp>(form, "fcLabel7").OnAir() &&
           !Control<Lamp>(form, "fcLabel4").OnAir();
}

inline MidiVoice WindowVoice(TMainForm& form) {
    MidiVoice v;
    v.note = Control<QSlider>(form, "TrackBar1").value();
    v.channel = form.Settings().midiChannel;
    v.patch = form.Settings().midiPatch;
    v.pauseDelayDots = form.Settings().pauseDelayDots;
    return v;
}

// The competition as the core plans it, dated with the date the window wrote.
inline CompetitionPlan CorePlan(TMainForm& form, bool train, bool cpm, bool english) {
    CompetitionParams p;
    p.settings = form.Settings();
    p.trainText = train;
    p.cpm = cpm;
    p.english = english;
    const QStringList lines = Control<QPlainTextEdit>(form, "MemoProtokol").toPlainText().split(QLatin1Char('\n'));
    const QString begin = english ? QStringLiteral("Begin ") : QString::fromUtf8("Начало ");
    [&] { QVERIFY(lines.size() > 1 && lines[1].startsWith(begin)); }();
    p.dateTime = ToCp1251(lines.value(1).mid(begin.size()));
    p.symbolMemoLength = MemoBytes(&Control<QPlainTextEdit>(form, "MemoSelectedSymbols")).size();
    return PlanCompetition(p);
}

} // namespace qlor::test
