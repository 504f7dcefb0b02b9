#pragma once
// The "number:text;" lines of the program's own text files ("Morse.txt" overrides and "*.lng"
// language files): an entry number before the first ":", its text between that ":" and the first
// ";" after it, a remark after the ";". Lines that are empty, start with ";" (comments), have no
// ":", no decimal number before it (leading spaces and tabs and one sign allowed, nothing after
// the digits) or no closing ";" are skipped.
#include <functional>
#include <string_view>

namespace qlor {

// Where one line ends and the next begins.
enum class LineBreaks {
    LineFeed, // at LF; a CR before it is dropped, a lone CR belongs to the line ("Morse.txt")
    Any,      // at CR LF, LF or a lone CR (language files)
};

// Calls `visit(number, text)` for every usable line in order, so later lines win. Numbers too
// large for an int saturate at a value no table has.
void ForEachNumberedLine(std::string_view bytes, LineBreaks breaks,
                         const std::function<void(int number, std::string_view text)>& visit);

} // namespace qlor
