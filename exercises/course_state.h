#pragma once
// What the history keeps of the learner's Koch course and of the instant character recognition:
// plain values, stored and read by CheckHistory, worked on by koch_course.h and
// char_recognition.h.
#include "exercises/koch_drill.h"
#include "synthesis/settings_table.h"
#include "textgen/text_sources.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qlor {

// The ranges and defaults are the settings table's.
inline constexpr int kCourseMinCpm = RangeOf(Setting::CourseCpm).min;   // slowest character speed [cpm]
inline constexpr int kCourseMaxCpm = RangeOf(Setting::CourseCpm).max;   // fastest character speed [cpm]
inline constexpr int kCourseDefaultCpm = DefaultOf(Setting::CourseCpm); // [cpm]
inline constexpr int kCoursePauseMin =
    RangeOf(Setting::CoursePauseDelay).min; // standard gap between characters [dot units]
inline constexpr int kCoursePauseMax =
    RangeOf(Setting::CoursePauseDelay).max; // widest gap the MIDI writer keys [dot units]
inline constexpr int kCourseMaxRecentChecks = RangeOf(Setting::CourseChecks).max;
inline constexpr int kCourseMaxNewestSent = RangeOf(Setting::CourseNewestSent).max;

// How the course sends and when it moves on; settable by the learner, kept with the course.
struct CourseSettings {
    int charSpeedCpm = kCourseDefaultCpm; // character speed [cpm], 5..1000
    // Gap between characters [dot units], 3..15. Above 3 the characters keep their speed and only
    // the gaps between characters and words grow (the Farnsworth method), which lowers the
    // overall speed (EffectiveSpeedCpm).
    int pauseDelayDots = kCoursePauseMin;
    int recentChecks =
        DefaultOf(Setting::CourseChecks); // the accuracy is taken over this many of the lesson's last checks, 1..50
    int passPercent = DefaultOf(Setting::CoursePassPercent); // accuracy that moves the course on [%], 1..100
    int minNewestSent =
        DefaultOf(Setting::CourseNewestSent); // times the lesson's newest character must have been sent, 1..10000
    // What the lesson texts are made of: groups of the lesson's characters, or the telegraph words
    // or callsigns that use only the lesson's characters (Groups, Words or Callsigns).
    TextSource source = TextSource::Groups;
    bool operator==(const CourseSettings&) const = default;
};

// Every value brought into its range.
CourseSettings ClampCourseSettings(CourseSettings settings);

struct CourseState {
    int lesson = kKochFirstLesson; // 1..40
    // Lesson texts handed out so far: the next text's number follows from it (CourseTextNumber).
    std::int64_t textsIssued = 0;
    CourseSettings settings;
    // The last lesson text handed out and not yet checked: the next copy is checked against it.
    // pendingTextNumber is -1 (and the others empty) when there is none.
    int pendingLesson = 0;
    int pendingTextNumber = -1;
    std::string pendingText;     // the body, cp1251
    int pendingCharSpeedCpm = 0; // how it was keyed [cpm]
    int pendingPauseDelay = 0;   // [dot units]
    bool HasPending() const { return pendingTextNumber >= 0 && !pendingText.empty(); }
    bool operator==(const CourseState&) const = default;
};

// What an instant recognition session sends one at a time.
enum class RecognitionMode {
    Characters, // single characters, each answered with one key
    Words,      // telegraph words, each typed and answered with Enter
    Callsigns,  // callsigns, each typed and answered with Enter
};

// One answer of an instant recognition session.
struct RecognitionAnswer {
    unsigned char shown = 0; // the character sent (cp1251, upper case); 0 for a word
    unsigned char typed = 0; // the key the learner pressed (cp1251, upper-cased); 0: none
    int reactionMs = -1;     // from the end of the character or word to the key or Enter [ms]; -1: not measured
    // Braced, so that a character's answer written as {shown, typed, reactionMs} needs no more.
    std::string word{};      // the word sent (cp1251, upper case); empty for a character
    std::string typedWord{}; // the word typed (cp1251, upper-cased)
    bool IsWord() const { return !word.empty(); }
    bool Correct() const { return IsWord() ? typedWord == word : typed == shown; }
    // The character or word sent, as the picker and the summary key it.
    std::string Item() const { return IsWord() ? word : std::string(1, static_cast<char>(shown)); }
    bool operator==(const RecognitionAnswer&) const = default;
};

struct RecognitionSession {
    std::int64_t id = 0;      // row number in the history; 0 before it is recorded
    std::int64_t timeUtc = 0; // when the session began [s since 1970-01-01 UTC]
    std::string characters;   // the set the characters (or the words' characters) were drawn from (cp1251)
    RecognitionMode mode = RecognitionMode::Characters;
    int charSpeedCpm = 0;   // character speed [cpm]
    std::uint64_t seed = 0; // the picker's seed
    std::vector<RecognitionAnswer> answers;
};

} // namespace qlor
