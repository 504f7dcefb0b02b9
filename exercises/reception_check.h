#pragma once
// The reception check: the operator's copy compared position by position with the sent text.
#include "synthesis/settings_table.h"

#include <string>
#include <string_view>
#include <vector>

namespace qlor {

// Lines of a memo's text (cp1251, CR LF / CR / LF between lines) as a box of widthChars
// characters of a fixed-pitch font shows them: long lines wrap at spaces, each wrapped line
// keeping the space at which it was wrapped; a word longer than the width is broken at the
// width. An empty last line is not counted. widthChars < 1 means no wrapping.
std::vector<std::string> WrapLines(std::string_view text, int widthChars);

// Characters per line of a box whose text area is textAreaWidthPx wide, in a fixed-pitch font
// whose characters advance charAdvancePx each; at least 1.
int WrapWidthChars(int textAreaWidthPx, int charAdvancePx);

// Wrap width used where no box decides it (the command line): five groups of five and their
// spaces fill one line [characters].
inline constexpr int kDefaultWrapChars = DefaultOf(Setting::CheckWidth);

struct CheckHead {
    std::string dateTime; // short date + " " + long time, cp1251
    bool ownText = false; // "Текст произвольный" instead of "Текст " + digits
    int number[4] = {0, 0, 0, 0};
    int speed[3] = {0, 0, 0};
};

struct CheckList {
    std::vector<std::string> lines; // cp1251
    int errors = 0;
    // The lines, each followed by CR LF (the saved file's bytes).
    std::string Text() const;
};

CheckList BuildCheckList(const CheckHead& head, const std::vector<std::string>& sentLines,
                         const std::vector<std::string>& copyLines);

// The head of a check of a text sent with `settings`: its text number and speed digits, whether
// the operator's own text was sent, and the moment of the check (`dateTime`, as CheckHead holds it).
CheckHead MakeCheckHead(const TransmissionSettings& settings, bool ownText, std::string dateTime);

// The check list of a copy against the sent text (both cp1251, as their boxes hold them), each cut
// into lines of widthChars characters as the boxes show them (see WrapLines).
CheckList CheckCopy(const CheckHead& head, std::string_view sent, std::string_view copy, int widthChars);

} // namespace qlor
