#include "base/numbered_lines.h"

#include <algorithm>
#include <optional>

namespace qlor {
namespace {

constexpr long kSaturatedNumber = 1'000'000L;

std::optional<int> ParseNumber(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) {
        return std::nullopt;
    }
    long value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = std::min(value * 10 + (c - '0'), kSaturatedNumber);
    }
    return static_cast<int>(negative ? -value : value);
}

void VisitLine(std::string_view line, const std::function<void(int, std::string_view)>& visit) {
    if (line.empty() || line.front() == ';') {
        return;
    }
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) {
        return;
    }
    const std::optional<int> number = ParseNumber(line.substr(0, colon));
    if (!number) {
        return;
    }
    const size_t semicolon = line.find(';', colon + 1);
    if (semicolon == std::string_view::npos) {
        return; // a text that is not closed is not trusted
    }
    visit(*number, line.substr(colon + 1, semicolon - colon - 1));
}

} // namespace

void ForEachNumberedLine(std::string_view bytes, LineBreaks breaks,
                         const std::function<void(int number, std::string_view text)>& visit) {
    const std::string_view ends = breaks == LineBreaks::Any ? std::string_view("\r\n") : std::string_view("\n");
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find_first_of(ends, start);
        if (end == std::string_view::npos) {
            end = bytes.size();
        }
        std::string_view line = bytes.substr(start, end - start);
        start = end;
        if (breaks == LineBreaks::LineFeed) {
            if (!line.empty() && line.back() == '\r') {
                line.remove_suffix(1);
            }
            if (start < bytes.size()) {
                ++start; // the LF
            }
        } else {
            if (start < bytes.size() && bytes[start] == '\r') {
                ++start;
            }
            if (start < bytes.size() && bytes[start] == '\n') {
                ++start;
            }
        }
        VisitLine(line, visit);
    }
}

} // namespace qlor
