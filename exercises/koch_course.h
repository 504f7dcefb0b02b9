#pragma once
// The Koch course: lesson k sends the first k + 1 characters of the Koch order (KochLessonSymbols)
// in groups of five, about a minute at the learner's character speed; each copy is aligned
// against the text, and the course moves on when the lesson's recent checks are accurate enough
// and its newest character has been heard often enough. Values in, values out: the history
// (CheckHistory) keeps the state, the window or qlor-cli shows the results.
#include "exercises/check_alignment.h"
#include "exercises/check_record.h"
#include "exercises/check_statistics.h"
#include "exercises/course_state.h"
#include "synthesis/midi_writer.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qlor {

inline constexpr int kCourseLessonSeconds = 60; // how long a lesson text lasts, about [s]
inline constexpr int kCourseGroupSize = 5;      // characters per group
// Words or callsigns for a lesson text are taken from this many items drawn for its text number
// and kept when made only of the lesson's characters; with fewer different ones than
// kCourseMinSourceItems, or none holding the lesson's newest character, the text is groups.
inline constexpr int kCourseSourceDrawn = 2000;
inline constexpr int kCourseMinSourceItems = 8;
// The text type a lesson's check is recorded with: "MX", the set that holds every Koch character.
inline constexpr int kCourseTextType = 5;

// The text number of the course's index-th lesson text (0 first): every number 0000..9999 once
// before any comes again, in a stride order so that texts in a row start far apart.
int CourseTextNumber(std::int64_t index);

// The overall speed of a text keyed at charSpeedCpm with pauseDelayDots dot units between characters
// (and 2 * pauseDelayDots + 1 between words), measured on the word PARIS [cpm], rounded to nearest.
// Equal to charSpeedCpm at the standard gap of 3.
int EffectiveSpeedCpm(int charSpeedCpm, int pauseDelayDots);

// Groups of five that last about kCourseLessonSeconds at the settings' overall speed (at least 1).
int LessonGroupCount(const CourseSettings& settings);

struct LessonText {
    int lesson = 0;
    int textNumber = 0;     // 0000..9999
    std::string characters; // the lesson's characters, in Koch order
    std::string body;       // groups of five, or words or callsigns, each followed by one space (cp1251)
    TextSource wanted = TextSource::Groups; // the course's setting
    TextSource source = TextSource::Groups; // what the body is: groups when the lesson admits too few items
    bool FellBack() const { return source != wanted; }
    int charSpeedCpm = 0;   // [cpm]
    int pauseDelayDots = 0; // [dot units]
    int effectiveCpm = 0;   // overall speed [cpm]
};

// The lesson text the state hands out next (the state itself is not changed). Words and
// callsigns are sent until the text sounds as long as the groups would, every other one holding
// the newest character; the same text number gives the same bytes.
LessonText NextLessonText(const CourseState& state);
// The state once `text` has been handed out: one more text issued, `text` waiting for its copy.
CourseState IssueLessonText(CourseState state, const LessonText& text);
// The lesson text as one MIDI segment (no header, no ending), and the voice it is keyed with.
SegmentText LessonSegment(const LessonText& text);
MidiVoice LessonVoice(MidiVoice voice, const LessonText& text);

// How the rule reads a lesson.
struct LessonProgress {
    int lesson = 0;
    std::string characters;
    unsigned char newest = 0; // the character this lesson added
    int checks = 0;           // checks of the lesson recorded
    int recentChecks = 0;     // of them, those the accuracy is taken over
    // Over the recent checks, the lesson's characters only (spaces never count): correct / (sent +
    // inserted), 0 when nothing was sent.
    double accuracy = 0.0;
    int newestSent = 0;             // times the newest character was sent in all the lesson's checks
    std::vector<CharStats> perChar; // the lesson's characters over the recent checks, in Koch order
    bool due = false;               // accuracy >= passPercent and newestSent >= minNewestSent
    bool last = false;              // the last lesson: being due completes the course
};

// The lesson's checks, oldest first (those of the lesson only).
LessonProgress EvaluateLesson(const CourseSettings& settings, int lesson, std::span<const CheckRecord> lessonChecks);

enum class CopyVerdict {
    Checked,     // a copy of the text
    Empty,       // nothing but white space was typed
    NotThisText, // far below what guessing would give: a copy of another text
};

// Whether `copy` can be a copy of `sent`, a text of the lesson's `characters`. A copy is taken
// for another text when fewer of the sent characters were copied right than half of what
// guessing among the lesson's characters gives (1 / count), or when most characters typed are
// not the lesson's at all.
CopyVerdict JudgeCopy(std::string_view characters, const Alignment& alignment);

// The aligned texts for showing, one column per alignment step: the sent text, the copy and a
// mark under each error ('^'); '-' stands where a row has no character (an omission in the
// copy, an insertion in the sent text). Equal lengths, cp1251.
struct AlignedRows {
    std::string sent;
    std::string copy;
    std::string marks;
};
AlignedRows ShowAlignment(const Alignment& alignment);

// A check of a lesson copy, ready for the history: the time, the text as sent, the copy and its
// scores, with how the text was sent (number, speed, groups, pause) and the check list's
// positional error count (lines wrapped as qlor-cli wraps them). The voice is "auto": a caller
// that knows the voice sets it.
CheckRecord CourseCheckRecord(const CourseState& state, std::int64_t timeUtc, std::string copy);

// The state after a check of the pending text: the pending text cleared and, when `progress` is
// due and the lesson is not the last, the next lesson.
CourseState AfterCheck(CourseState state, const LessonProgress& progress);

// The whole check of a copy of the pending lesson text, as the window and qlor-cli make it.
struct CourseCheckOutcome {
    CopyVerdict verdict = CopyVerdict::Checked;
    Alignment alignment; // the copy against the pending text
    int typed = 0;       // characters typed, white space not counted
    int typedRight = 0;  // of them, those copied right
    // Only when the verdict is Checked: the record to add (CheckHistory::RecordCourseCheck with
    // `lesson` and `after`), the lesson with this check counted, and the course after it.
    CheckRecord record;
    int lesson = 0;
    LessonProgress progress;
    CourseState after;
    bool MovedOn(const CourseState& before) const { return after.lesson != before.lesson; }
};
// `lessonChecks`: the recorded checks of the pending text's lesson, oldest first
// (CheckHistory::LoadLessonChecks). The state must have a pending text (HasPending).
CourseCheckOutcome CheckLessonCopy(const CourseState& state, std::span<const CheckRecord> lessonChecks,
                                   std::string copy, std::int64_t timeUtc);

} // namespace qlor
