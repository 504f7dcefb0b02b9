#include "exercises/callsign_run.h"

#include "exercises/hst_judge.h"
#include "synthesis/transmission_settings.h"
#include "textgen/text_sources.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <sstream>

namespace qlor {

int CallPoints(int speedCpm, std::size_t characters) {
    return static_cast<int>(static_cast<std::int64_t>(speedCpm) * static_cast<std::int64_t>(characters) / 10);
}

std::vector<std::string> CallsignRunCalls(int number) {
    const int n = std::clamp(number, 0, 9999);
    std::istringstream items(SourceItems(TextSource::Callsigns, kCallsignRunCalls, TextNumberDigits(n)));
    std::vector<std::string> calls;
    for (std::string call; items >> call;)
        calls.push_back(call);
    return calls;
}

CallsignRun::CallsignRun(const std::vector<std::string>& calls, int startSpeedCpm)
    : speedCpm_(std::clamp(startSpeedCpm, kCallsignRunMinSpeedCpm, kCallsignRunMaxSpeedCpm)) {
    for (const std::string& call : calls) {
        if (calls_.size() == static_cast<std::size_t>(kCallsignRunCalls))
            break;
        if (!FoldForJudging(call).empty())
            calls_.push_back(call);
    }
}

const std::string& CallsignRun::CurrentCall() const {
    static const std::string none;
    return Finished() ? none : calls_[attempts_.size()];
}

const CallAttempt* CallsignRun::Answer(std::string_view typed) {
    if (Finished())
        return nullptr;
    CallAttempt attempt;
    attempt.call = CurrentCall();
    attempt.typed = std::string(typed);
    attempt.speedCpm = speedCpm_;
    attempt.right = FoldForJudging(typed) == FoldForJudging(attempt.call);
    if (attempt.right) {
        attempt.points = CallPoints(speedCpm_, FoldForJudging(attempt.call).size());
        score_ += attempt.points;
        ++right_;
        topSpeedCpm_ = std::max(topSpeedCpm_, speedCpm_);
        speedCpm_ = std::min(speedCpm_ + kCallsignRunStepUpCpm, kCallsignRunMaxSpeedCpm);
    } else {
        speedCpm_ = std::max(speedCpm_ - kCallsignRunStepDownCpm, kCallsignRunMinSpeedCpm);
    }
    attempts_.push_back(std::move(attempt));
    return &attempts_.back();
}

CallsignRunRecord MakeCallsignRunRecord(const CallsignRun& run, int number, std::int64_t timeUtc) {
    CallsignRunRecord record;
    record.timeUtc = timeUtc;
    record.number = number;
    // The first call goes out at the start speed; a run without an answer is still at it.
    record.startSpeedCpm = run.Attempts().empty() ? run.SpeedCpm() : run.Attempts().front().speedCpm;
    record.score = run.Score();
    record.rightCalls = run.RightCalls();
    record.topSpeedCpm = run.TopSpeedCpm();
    record.attempts = run.Attempts();
    return record;
}

PersonalBest BestOf(const CallsignRunRecord& record) {
    return {record.score, record.rightCalls, record.topSpeedCpm, record.number, record.timeUtc};
}

std::vector<PersonalBest> AddPersonalBest(std::vector<PersonalBest> table, const PersonalBest& run, std::size_t keep) {
    // After every entry of a higher or equal score: an earlier run keeps its place.
    const auto at =
        std::find_if(table.begin(), table.end(), [&](const PersonalBest& b) { return b.score < run.score; });
    table.insert(at, run);
    if (table.size() > keep)
        table.resize(keep);
    return table;
}

std::string PersonalBestsText(const std::vector<PersonalBest>& table) {
    std::string text;
    for (const PersonalBest& b : table) {
        if (!text.empty())
            text += ';';
        text += std::to_string(b.score) + ',' + std::to_string(b.rightCalls) + ',' + std::to_string(b.topSpeedCpm) +
                ',' + std::to_string(b.number) + ',' + std::to_string(b.timeUtc);
    }
    return text;
}

std::vector<PersonalBest> ParsePersonalBests(std::string_view text) {
    std::vector<PersonalBest> table;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find(';'), text.size());
        std::string_view entry = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        std::int64_t fields[5] = {};
        bool ok = true;
        for (int i = 0; i < 5 && ok; ++i) {
            // Four fields end in a comma, the last one ends the entry.
            const std::size_t found = entry.find(',');
            ok = (i < 4) == (found != std::string_view::npos);
            const std::string_view field = entry.substr(0, std::min(found, entry.size()));
            const auto [ptr, ec] = std::from_chars(field.data(), field.data() + field.size(), fields[i]);
            ok = ok && ec == std::errc() && ptr == field.data() + field.size() && !field.empty() && fields[i] >= 0;
            entry.remove_prefix(std::min(field.size() + 1, entry.size()));
        }
        if (ok && entry.empty() && fields[0] <= INT32_MAX && fields[1] <= kCallsignRunCalls &&
            fields[2] <= kCallsignRunMaxSpeedCpm && fields[3] <= 9999)
            table.push_back({static_cast<int>(fields[0]), static_cast<int>(fields[1]), static_cast<int>(fields[2]),
                             static_cast<int>(fields[3]), fields[4]});
    }
    std::stable_sort(table.begin(), table.end(),
                     [](const PersonalBest& a, const PersonalBest& b) { return a.score > b.score; });
    if (table.size() > kPersonalBestsKept)
        table.resize(kPersonalBestsKept);
    return table;
}

} // namespace qlor
