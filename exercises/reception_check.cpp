#include "exercises/reception_check.h"

#include "base/codepage.h"
#include "control/program_texts.h"

#include <algorithm>
#include <utility>

namespace qlor {
namespace {

// Appends the pieces of one unbroken line as a box of widthChars characters shows it. A break
// falls after the last run of spaces whose preceding text still fits the width; the spaces stay
// at the end of their line (they hang past the edge as in an edit box). A word with no such
// space before the edge is cut at the width.
void WrapOneLine(std::string_view line, int widthChars, std::vector<std::string>& out) {
    const size_t width = widthChars < 1 ? 0 : static_cast<size_t>(widthChars);
    if (width == 0 || line.size() <= width) {
        out.emplace_back(line);
        return;
    }
    size_t start = 0;
    while (line.size() - start > width) {
        // Last space at an offset <= width, i.e. whose preceding text has at most width characters.
        size_t breakAt = std::string_view::npos;
        for (size_t k = std::min(width, line.size() - start - 1); k > 0; --k) {
            if (line[start + k] == ' ') {
                breakAt = k;
                break;
            }
        }
        size_t end;
        if (breakAt == std::string_view::npos) {
            end = start + width;
        } else {
            end = start + breakAt;
            while (end < line.size() && line[end] == ' ') {
                ++end;
            }
        }
        out.emplace_back(line.substr(start, end - start));
        start = end;
    }
    if (start < line.size()) {
        out.emplace_back(line.substr(start));
    }
}

} // namespace

std::vector<std::string> WrapLines(std::string_view text, int widthChars) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            WrapOneLine(text.substr(pos), widthChars, lines);
            break;
        }
        WrapOneLine(text.substr(pos, end - pos), widthChars, lines);
        // CR LF, a lone CR and a lone LF each end one line.
        pos = (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? end + 2 : end + 1;
    }
    // A text ending in a line break has an empty last line, which is not counted; a text that
    // ends in two line breaks keeps one empty line, produced by the loop above.
    return lines;
}

int WrapWidthChars(int textAreaWidthPx, int charAdvancePx) {
    if (charAdvancePx < 1) {
        return 1;
    }
    return std::max(1, textAreaWidthPx / charAdvancePx);
}

std::string CheckList::Text() const {
    std::string text;
    size_t size = 0;
    for (const auto& line : lines) {
        size += line.size() + 2;
    }
    text.reserve(size);
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

CheckList BuildCheckList(const CheckHead& head, const std::vector<std::string>& sentLines,
                         const std::vector<std::string>& copyLines) {
    CheckList list;
    list.lines.push_back(head.dateTime);
    // The list's fixed words are Russian in every interface language.
    const auto line = [](Say id, std::string_view value = {}) {
        return FillText(Cp(ProgramText(id, TextLanguage::Russian)), {value});
    };
    if (head.ownText) {
        list.lines.push_back(line(Say::CheckOwnText));
    } else {
        std::string digits;
        for (int digit : head.number) {
            digits += std::to_string(digit);
        }
        list.lines.push_back(line(Say::CheckTextNumber, digits));
    }
    std::string speed;
    for (int digit : head.speed) {
        speed += std::to_string(digit);
    }
    list.lines.push_back(line(Say::CheckSpeed, speed));

    static const std::string kNoLine;
    for (size_t i = 0; i < sentLines.size(); ++i) {
        const std::string& sent = sentLines[i];
        const std::string& copy = i < copyLines.size() ? copyLines[i] : kNoLine;
        std::string mark;
        mark.reserve(sent.size());
        for (size_t p = 0; p < sent.size(); ++p) {
            const auto s = static_cast<unsigned char>(sent[p]);
            if (p < copy.size() && SameIgnoringCase1251(s, static_cast<unsigned char>(copy[p]))) {
                mark += '.';
            } else {
                mark += sent[p];
                ++list.errors;
            }
        }
        list.lines.push_back(std::move(mark));
        // The copy cut to the length of the sent line.
        list.lines.push_back(copy.substr(0, std::min(copy.size(), sent.size())));
    }
    list.lines.push_back(line(Say::CheckErrorTotal, std::to_string(list.errors)));
    return list;
}

CheckHead MakeCheckHead(const TransmissionSettings& settings, bool ownText, std::string dateTime) {
    CheckHead head;
    head.dateTime = std::move(dateTime);
    head.ownText = ownText;
    std::copy(settings.number.begin(), settings.number.end(), head.number);
    std::copy(settings.speed.begin(), settings.speed.end(), head.speed);
    return head;
}

CheckList CheckCopy(const CheckHead& head, std::string_view sent, std::string_view copy, int widthChars) {
    return BuildCheckList(head, WrapLines(sent, widthChars), WrapLines(copy, widthChars));
}

} // namespace qlor
