#include "exercises/koch_course.h"

#include "control/settings_store.h"
#include "exercises/check_history.h"
#include "exercises/reception_check.h"
#include "synthesis/morse_table.h"
#include "synthesis/timing.h"
#include "synthesis/transmission_settings.h"
#include "textgen/radiogram.h"
#include "textgen/text_sources.h"

#include <algorithm>
#include <array>
#include <optional>

namespace qlor {
namespace {

constexpr int kTextNumbers = 10000;
// Consecutive lesson texts are this many text numbers apart (prime to 10000, so every number
// comes once in 10000 texts); numbers in a row would seed the generator with nearly equal states.
constexpr std::int64_t kTextNumberStride = 7919;
constexpr std::int64_t kFirstTextNumber = 1;

// The word PARIS with its word gap [dot units]: 31 units of elements and gaps inside
// characters, four gaps between characters and one between words.
constexpr int kParisElementUnits = 31;
constexpr int kParisCharGaps = 4;
constexpr int kParisStandardUnits = 50;

// How long a text sounds at the speed, as its ticks times its tempo [ticks x us/quarter]; the
// built-in code table is near enough for comparing two texts.
std::uint64_t SoundLength(std::string_view body, int charSpeedCpm, int pauseDelayDots) {
    static const MorseTable table;
    const Elements e = TextToElements(table, body);
    std::uint64_t ticks = 0;
    for (const char letter : e.elements) {
        ticks += static_cast<std::uint64_t>(ElementTicks(letter, pauseDelayDots));
    }
    const std::optional<std::uint64_t> tempo =
        SegmentTempoUsPerQuarter(e.count, ElementWeightTotal(e.elements), charSpeedCpm);
    return tempo ? ticks * *tempo : 0;
}

// Words or callsigns of the lesson's characters for the text, in the order drawn and cycled until
// the text sounds as long as `groups` does; every other one holds the lesson's newest character,
// so that it is heard about as often as in the groups. Empty when the lesson admits too few.
std::string SourceBody(const LessonText& text, TextSource source, std::string_view groups) {
    const std::vector<std::string> items =
        ItemsMadeOf(source, text.characters, kCourseSourceDrawn, TextNumberDigits(text.textNumber));
    std::vector<std::string_view> distinct(items.begin(), items.end());
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    const char newest = text.characters.back();
    std::vector<std::string_view> withNewest;
    for (const std::string& item : items) {
        if (item.find(newest) != std::string::npos) {
            withNewest.push_back(item);
        }
    }
    if (static_cast<int>(distinct.size()) < kCourseMinSourceItems || withNewest.empty()) {
        return {};
    }
    const std::uint64_t length = SoundLength(groups, text.charSpeedCpm, text.pauseDelayDots);
    std::string body;
    std::size_t anyAt = 0;
    std::size_t newestAt = 0;
    for (bool odd = false; body.empty() || SoundLength(body, text.charSpeedCpm, text.pauseDelayDots) < length;
         odd = !odd) {
        body += odd ? withNewest[newestAt++ % withNewest.size()] : std::string_view(items[anyAt++ % items.size()]);
        body += ' ';
    }
    return body;
}

bool IsLessonChar(std::string_view characters, unsigned char c) {
    return c != 0 && characters.find(static_cast<char>(c)) != std::string_view::npos;
}

} // namespace

CourseSettings ClampCourseSettings(CourseSettings s) {
    s.charSpeedCpm = std::clamp(s.charSpeedCpm, kCourseMinCpm, kCourseMaxCpm);
    s.pauseDelayDots = std::clamp(s.pauseDelayDots, kCoursePauseMin, kCoursePauseMax);
    s.recentChecks = std::clamp(s.recentChecks, RangeOf(Setting::CourseChecks).min, kCourseMaxRecentChecks);
    s.passPercent =
        std::clamp(s.passPercent, RangeOf(Setting::CoursePassPercent).min, RangeOf(Setting::CoursePassPercent).max);
    s.minNewestSent = std::clamp(s.minNewestSent, RangeOf(Setting::CourseNewestSent).min, kCourseMaxNewestSent);
    if (s.source != TextSource::Words && s.source != TextSource::Callsigns) {
        s.source = TextSource::Groups;
    }
    return s;
}

int CourseTextNumber(std::int64_t index) {
    const std::int64_t i = ((index % kTextNumbers) + kTextNumbers) % kTextNumbers;
    return static_cast<int>((kFirstTextNumber + i * kTextNumberStride) % kTextNumbers);
}

int EffectiveSpeedCpm(int charSpeedCpm, int pauseDelayDots) {
    const int p = std::clamp(pauseDelayDots, kCoursePauseMin, kCoursePauseMax);
    const std::int64_t units = kParisElementUnits + kParisCharGaps * p + (2 * p + 1);
    return static_cast<int>((2 * std::int64_t{charSpeedCpm} * kParisStandardUnits + units) / (2 * units));
}

int LessonGroupCount(const CourseSettings& settings) {
    const CourseSettings s = ClampCourseSettings(settings);
    const std::int64_t chars = std::int64_t{EffectiveSpeedCpm(s.charSpeedCpm, s.pauseDelayDots)} * kCourseLessonSeconds;
    const std::int64_t perGroup = 60 * std::int64_t{kCourseGroupSize};
    return static_cast<int>(std::max<std::int64_t>(1, (chars + perGroup / 2) / perGroup));
}

LessonText NextLessonText(const CourseState& state) {
    const CourseSettings s = ClampCourseSettings(state.settings);
    LessonText text;
    text.lesson = std::clamp(state.lesson, kKochFirstLesson, kKochLastLesson);
    text.textNumber = CourseTextNumber(state.textsIssued);
    text.characters = KochLessonSymbols(text.lesson);
    text.charSpeedCpm = s.charSpeedCpm;
    text.pauseDelayDots = s.pauseDelayDots;
    text.effectiveCpm = EffectiveSpeedCpm(s.charSpeedCpm, s.pauseDelayDots);
    text.wanted = s.source;

    GenerateParams params;
    params.groupCount = LessonGroupCount(s);
    params.textType = kCourseTextType;
    const std::array<int, 4> digits = TextNumberDigits(text.textNumber);
    params.d1 = digits[0];
    params.d2 = digits[1];
    params.d3 = digits[2];
    params.d4 = digits[3];
    params.selected = text.characters;
    params.charInGroup = kCourseGroupSize;
    params.symbolMemoLength = text.characters.size();
    // Every lesson has at least two characters, so the groups never fail.
    text.body = GenerateText(params).body;
    if (s.source != TextSource::Groups) {
        // Too few words or callsigns of the lesson's characters: the groups are sent.
        if (std::string body = SourceBody(text, s.source, text.body); !body.empty()) {
            text.body = std::move(body);
            text.source = s.source;
        }
    }
    return text;
}

CourseState IssueLessonText(CourseState state, const LessonText& text) {
    ++state.textsIssued;
    state.pendingLesson = text.lesson;
    state.pendingTextNumber = text.textNumber;
    state.pendingText = text.body;
    state.pendingCharSpeedCpm = text.charSpeedCpm;
    state.pendingPauseDelay = text.pauseDelayDots;
    return state;
}

SegmentText LessonSegment(const LessonText& text) {
    SegmentText segment;
    segment.body = text.body;
    segment.speedCpm = text.charSpeedCpm;
    return segment;
}

MidiVoice LessonVoice(MidiVoice voice, const LessonText& text) {
    voice.pauseDelayDots = text.pauseDelayDots;
    return voice;
}

LessonProgress EvaluateLesson(const CourseSettings& settings, int lesson, std::span<const CheckRecord> lessonChecks) {
    const CourseSettings s = ClampCourseSettings(settings);
    LessonProgress p;
    p.lesson = std::clamp(lesson, kKochFirstLesson, kKochLastLesson);
    p.characters = KochLessonSymbols(p.lesson);
    p.newest = static_cast<unsigned char>(p.characters.back());
    p.last = p.lesson == kKochLastLesson;
    p.checks = static_cast<int>(lessonChecks.size());
    p.recentChecks = std::min(p.checks, s.recentChecks);

    std::vector<const CheckRecord*> all;
    for (const CheckRecord& check : lessonChecks) {
        all.push_back(&check);
    }
    const Statistics whole = ComputeStatistics(all);
    for (const CharStats& row : whole.chars) {
        if (row.ch == p.newest) {
            p.newestSent = row.sent;
        }
    }
    const std::span<const CheckRecord* const> recent(
        all.data() + (all.size() - static_cast<std::size_t>(p.recentChecks)), static_cast<std::size_t>(p.recentChecks));
    const Statistics stats = ComputeStatistics(recent);
    for (const char c : p.characters) {
        CharStats row;
        row.ch = static_cast<unsigned char>(c);
        for (const CharStats& r : stats.chars) {
            if (r.ch == row.ch) {
                row = r;
            }
        }
        p.perChar.push_back(row);
    }
    const std::int64_t judged = std::int64_t{stats.totals.sent} + stats.totals.insertions;
    p.accuracy = judged > 0 ? static_cast<double>(stats.totals.correct) / static_cast<double>(judged) : 0.0;
    p.due = judged > 0 && std::int64_t{stats.totals.correct} * 100 >= std::int64_t{s.passPercent} * judged &&
            p.newestSent >= s.minNewestSent;
    return p;
}

CopyVerdict JudgeCopy(std::string_view characters, const Alignment& alignment) {
    int typed = 0;
    int foreign = 0;
    int correct = 0;
    for (const AlignStep& step : alignment.steps) {
        if (step.heard == 0 || step.heard == ' ') {
            continue;
        }
        ++typed;
        foreign += IsLessonChar(characters, step.heard) ? 0 : 1;
        correct += step.op == AlignOp::Match ? 1 : 0;
    }
    if (typed == 0) {
        return CopyVerdict::Empty;
    }
    // Guessing among n characters gets one in n right; a copy of the text does far better.
    const auto n = static_cast<std::int64_t>(std::max<std::size_t>(characters.size(), 1));
    if (std::int64_t{correct} * 2 * n < typed || foreign * 2 > typed) {
        return CopyVerdict::NotThisText;
    }
    return CopyVerdict::Checked;
}

AlignedRows ShowAlignment(const Alignment& alignment) {
    AlignedRows rows;
    for (const AlignStep& step : alignment.steps) {
        rows.sent += step.sent ? static_cast<char>(step.sent) : '-';
        rows.copy += step.heard ? static_cast<char>(step.heard) : '-';
        rows.marks += step.op == AlignOp::Match ? ' ' : '^';
    }
    return rows;
}

CheckRecord CourseCheckRecord(const CourseState& state, std::int64_t timeUtc, std::string copy) {
    CheckHead head;
    const std::array<int, 4> numberDigits = TextNumberDigits(state.pendingTextNumber);
    std::copy(numberDigits.begin(), numberDigits.end(), head.number);
    const CheckList list =
        BuildCheckList(head, WrapLines(state.pendingText, kDefaultWrapChars), WrapLines(copy, kDefaultWrapChars));
    // A lesson text is groups alone, without a header or an ending: all of it is scored, as an
    // own text is, although the text was the course's and not the operator's.
    CheckRecord r = MakeCheckRecord(timeUtc, state.pendingText, std::move(copy), list.errors, true, kCourseGroupSize);
    r.ownText = false;
    r.textNumber = state.pendingTextNumber;
    r.textType = kCourseTextType;
    std::string digits = std::to_string(state.pendingCharSpeedCpm);
    r.speedDigits = std::string(digits.size() < 3 ? 3 - digits.size() : 0, '0') + digits;
    r.speedCpm = state.pendingCharSpeedCpm;
    r.groups = static_cast<int>(std::count(state.pendingText.begin(), state.pendingText.end(), ' '));
    r.groupSize = kCourseGroupSize;
    r.pauseDelayDots = state.pendingPauseDelay;
    r.voice = std::string(kVoiceAuto);
    return r;
}

CourseState AfterCheck(CourseState state, const LessonProgress& progress) {
    if (progress.due && progress.lesson == state.lesson && state.lesson < kKochLastLesson) {
        ++state.lesson;
    }
    state.pendingLesson = 0;
    state.pendingTextNumber = -1;
    state.pendingText.clear();
    state.pendingCharSpeedCpm = 0;
    state.pendingPauseDelay = 0;
    return state;
}

CourseCheckOutcome CheckLessonCopy(const CourseState& state, std::span<const CheckRecord> lessonChecks,
                                   std::string copy, std::int64_t timeUtc) {
    CourseCheckOutcome out;
    out.lesson = state.pendingLesson;
    out.alignment = AlignCopy(state.pendingText, copy);
    for (const AlignStep& step : out.alignment.steps) {
        if (step.heard != 0 && step.heard != ' ') {
            ++out.typed;
            out.typedRight += step.op == AlignOp::Match ? 1 : 0;
        }
    }
    out.verdict = JudgeCopy(KochLessonSymbols(out.lesson), out.alignment);
    if (out.verdict != CopyVerdict::Checked) {
        out.after = state;
        return out;
    }
    out.record = CourseCheckRecord(state, timeUtc, std::move(copy));
    std::vector<CheckRecord> checks(lessonChecks.begin(), lessonChecks.end());
    checks.push_back(out.record);
    out.progress = EvaluateLesson(state.settings, out.lesson, checks);
    out.after = AfterCheck(state, out.progress);
    return out;
}

} // namespace qlor
