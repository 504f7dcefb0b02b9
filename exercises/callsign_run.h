#pragma once
// A callsign run in the style of the contest trainers: kCallsignRunCalls generated callsigns,
// each sent once at the current speed; the operator types it and presses Enter. A right call
// raises the speed by kCallsignRunStepUpCpm and scores by its speed and length, a wrong one lowers
// the speed by kCallsignRunStepDownCpm and scores nothing. The run takes its calls from a callsign
// source seeded by the text number, so the same number gives the same run. The best runs are kept
// in a small table.
#include "synthesis/settings_table.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qlor {

inline constexpr int kCallsignRunCalls = 50;
// The speed never falls below nor rises above the range of the run's stored start speed [cpm].
inline constexpr int kCallsignRunMinSpeedCpm = RangeOf(Setting::CallStartSpeed).min;
inline constexpr int kCallsignRunMaxSpeedCpm = RangeOf(Setting::CallStartSpeed).max;
inline constexpr int kCallsignRunStepUpCpm = 10;   // after a right call [cpm]
inline constexpr int kCallsignRunStepDownCpm = 20; // after a wrong call [cpm]
inline constexpr std::size_t kPersonalBestsKept = 10;

// The calls of the run of text number `number` (0..9999, out-of-range numbers brought into it):
// the first kCallsignRunCalls callsigns of the callsign source for the number's four digits, so
// the same number gives the same calls on every machine.
std::vector<std::string> CallsignRunCalls(int number);

// Points of a right call: its speed times its characters, over 10 (a 6-character call at
// 300 cpm scores 180).
int CallPoints(int speedCpm, std::size_t characters);

struct CallAttempt {
    std::string call;  // as sent
    std::string typed; // as typed
    int speedCpm = 0;  // the speed it was sent at
    bool right = false;
    int points = 0;
    bool operator==(const CallAttempt&) const = default;
};

class CallsignRun {
public:
    // The calls to send, in order (the first kCallsignRunCalls are used; empty ones are left
    // out); the start speed is brought into the run's range.
    CallsignRun(const std::vector<std::string>& calls, int startSpeedCpm);

    const std::vector<std::string>& Calls() const { return calls_; }
    bool Finished() const { return attempts_.size() >= calls_.size(); }
    // The call to send now (empty once finished) and its speed.
    const std::string& CurrentCall() const;
    int SpeedCpm() const { return speedCpm_; }
    int Score() const { return score_; }
    int RightCalls() const { return right_; }
    int TopSpeedCpm() const { return topSpeedCpm_; } // of a right call, 0 when none
    // Judges the typed call against the current one (letter case and white space ignored), moves
    // the speed and goes on to the next call. Nothing when the run has finished.
    const CallAttempt* Answer(std::string_view typed);
    const std::vector<CallAttempt>& Attempts() const { return attempts_; }

private:
    std::vector<std::string> calls_;
    std::vector<CallAttempt> attempts_;
    int speedCpm_ = 0;
    int score_ = 0;
    int right_ = 0;
    int topSpeedCpm_ = 0;
};

struct PersonalBest {
    int score = 0;
    int rightCalls = 0;
    int topSpeedCpm = 0;
    int number = 0;           // the run's text number
    std::int64_t timeUtc = 0; // [s since 1970-01-01 UTC]
    bool operator==(const PersonalBest&) const = default;
};

// A finished run as the history keeps it, with every call.
struct CallsignRunRecord {
    std::int64_t id = 0;      // given by the history (0 before it is recorded)
    std::int64_t timeUtc = 0; // [s since 1970-01-01 UTC]
    int number = 0;           // the text number the calls came from
    int startSpeedCpm = 0;    // [cpm]
    int score = 0;
    int rightCalls = 0;
    int topSpeedCpm = 0; // [cpm] of a right call, 0 when none
    std::vector<CallAttempt> attempts;
    bool operator==(const CallsignRunRecord&) const = default;
};

// The record of `run` (of text number `number`) made at `timeUtc`, and its line of the bests.
CallsignRunRecord MakeCallsignRunRecord(const CallsignRun& run, int number, std::int64_t timeUtc);
PersonalBest BestOf(const CallsignRunRecord& record);

// The table with `run` in its place (highest score first, an earlier run first among equal
// scores), cut to `keep` entries.
std::vector<PersonalBest> AddPersonalBest(std::vector<PersonalBest> table, const PersonalBest& run,
                                          std::size_t keep = kPersonalBestsKept);
// The table as one stored text ("score,right,top,number,time" per run, runs separated by ";"),
// and back; entries that do not read are left out.
std::string PersonalBestsText(const std::vector<PersonalBest>& table);
std::vector<PersonalBest> ParsePersonalBests(std::string_view text);

} // namespace qlor
