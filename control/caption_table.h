#pragma once
// Interface captions: the numbered caption table (entries 1..120), the built-in English and
// Russian (design) tables, language files ("*.lng") and the choice of the language to show. The
// controls each entry feeds are the window's (shell/caption_feeds.h).
#include "control/program_texts.h"

#include <array>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qlor {

inline constexpr int kCaptionCount = 120;
// Entries 100..105: short names of text types 0..5; 106..110: short names of noise types 0..4.
inline constexpr int kTextTypeNameEntry = 100;
inline constexpr int kNoiseTypeNameEntry = 106;

// 120 numbered texts, each a byte string (Windows-1251). Entry numbers outside 1..120 read as an
// empty text and are never written.
class CaptionTable {
public:
    const std::string& Text(int entry) const;
    void Set(int entry, std::string text);
    static bool ValidEntry(int entry) { return entry >= 1 && entry <= kCaptionCount; }

    bool operator==(const CaptionTable&) const = default;

private:
    std::array<std::string, kCaptionCount> texts_{};
};

// The built-in English table (misspellings included, they are the program's texts).
const CaptionTable& EnglishCaptions();
// The window's Russian texts, the captions the controls carry before a language is applied.
// Entries 100..110 have no text of their own in the window; they hold the Russian short names
// of the text and noise types shipped in "Russian.lng".
const CaptionTable& DesignCaptions();

// Language files ------------------------------------------------------------------------------

// Applies the lines of a language file to `table`: "N:text;" sets entry N to the bytes between
// the first ":" and the first ";" (a remark may follow the ";"). Comment lines (first byte ";"),
// empty lines, lines without ":", numbers that do not read as a decimal integer (leading spaces
// and tabs allowed, nothing after the digits), entries outside 1..120 and lines without a closing
// ";" change nothing. Later lines win. Lines end with CR LF, LF or a lone CR.
// With `texts`, entry kProgramTextEntryBase + N sets the program's own text N there (converted to
// UTF-8; "\n" in it stands for a line break, "\s" for ";" and "\\" for "\"), unless that text
// is of fixed wording or has no such number.
void ParseLanguageLines(std::string_view bytes, CaptionTable& table, ProgramTextTable* texts = nullptr);
// A program text of a language file (Windows-1251, with the escapes above) as UTF-8.
std::string UnescapeProgramText(std::string_view cp1251);

enum class LanguageFileStatus {
    Loaded,     // the file existed and was read (even if no line was usable)
    Missing,    // no such file
    Unreadable, // the file exists but could not be opened or read; `error` says why
};

struct LanguageFileResult {
    LanguageFileStatus status = LanguageFileStatus::Missing;
    std::string error; // the system's error text, with the file name, when Unreadable
};

// Resets `table` (and `texts`) to English, then reads the file into them. After an unreadable
// file they hold English plus whatever could be read.
LanguageFileResult LoadLanguageFile(const std::filesystem::path& path, CaptionTable& table,
                                    ProgramTextTable* texts = nullptr);

// The language names of the "*.lng" files in `dir`: the part of each file name before its first
// ".", skipping names whose upper-case form is "ENGLISH" and names that would be empty (hidden
// files). Names are in the file system's encoding (UTF-8 here), sorted by file name in byte order
// so the list is the same on every run. A directory that cannot be listed gives no names.
std::vector<std::string> DiscoverLanguages(const std::filesystem::path& dir);

// The items of the language list: "English" first, then the discovered names.
inline constexpr std::string_view kEnglishItem = "English";
std::vector<std::string> LanguageListItems(const std::filesystem::path& dir);

// The language file of a list position, or an empty path when the position means English
// (below 1, or beyond the list).
std::filesystem::path LanguageFilePath(int position, std::span<const std::string> items,
                                       const std::filesystem::path& dir);

// What the window shows after a language has been chosen.
enum class LanguageAction {
    ApplyEnglish, // show the English table
    ApplyCurrent, // show the current table (just loaded from the language file)
    ReportError,  // the file exists but cannot be read: report `error`, keep the captions shown
};

struct LanguageChoice {
    LanguageAction action = LanguageAction::ApplyEnglish;
    std::string error;
};

// Choosing a language (list change and start-up): a position below 1 shows English; otherwise
// the current table (and the current program texts) is reloaded from the item's file, falling
// back to English when the file is missing. `items` are the list items, item 0 being "English".
LanguageChoice ChooseLanguage(int position, std::span<const std::string> items, const std::filesystem::path& dir,
                              CaptionTable& current, ProgramTextTable* currentTexts = nullptr);

// The table to show for a language position: the English table at 0, the current one otherwise.
inline const CaptionTable& TableForPosition(int position, const CaptionTable& current) {
    return position == 0 ? EnglishCaptions() : current;
}

} // namespace qlor
