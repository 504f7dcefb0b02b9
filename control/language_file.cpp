// Language files: parsing "N:text;" lines, loading a file into the current caption table,
// listing the "*.lng" files of a folder and choosing the table to show.
#include "base/codepage.h"
#include "base/numbered_lines.h"
#include "base/safe_file.h"
#include "control/caption_table.h"

#include <algorithm>
#include <system_error>

namespace qlor {
namespace {

// A language file is a few kilobytes; anything near this is not one [bytes].
constexpr uint64_t kMaxLanguageFileBytes = 1u << 20;

std::string AsciiUpper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return upper;
}

} // namespace

std::string UnescapeProgramText(std::string_view cp1251) {
    std::string out;
    for (size_t i = 0; i < cp1251.size(); ++i) {
        const char c = cp1251[i];
        if (c == '\\' && i + 1 < cp1251.size()) {
            const char next = cp1251[i + 1];
            if (next == 'n' || next == 's' || next == '\\') {
                out += next == 'n' ? '\n' : next == 's' ? ';' : '\\';
                ++i;
                continue;
            }
        }
        out += c;
    }
    return Cp1251ToUtf8(out);
}

void ParseLanguageLines(std::string_view bytes, CaptionTable& table, ProgramTextTable* texts) {
    ForEachNumberedLine(bytes, LineBreaks::Any, [&table, texts](int entry, std::string_view text) {
        if (CaptionTable::ValidEntry(entry)) {
            table.Set(entry, std::string(text));
        } else if (texts && entry > kProgramTextEntryBase) {
            texts->Set(static_cast<Say>(entry - kProgramTextEntryBase), UnescapeProgramText(text));
        }
    });
}

LanguageFileResult LoadLanguageFile(const std::filesystem::path& path, CaptionTable& table, ProgramTextTable* texts) {
    table = EnglishCaptions();
    if (texts) {
        *texts = ProgramTextTable::English();
    }
    const FileBytes file = ReadRegularFile(path.string(), kMaxLanguageFileBytes);
    switch (file.status) {
    case ReadStatus::Ok:
        ParseLanguageLines(file.bytes, table, texts);
        return {LanguageFileStatus::Loaded, {}};
    case ReadStatus::Missing:
        return {LanguageFileStatus::Missing, {}};
    case ReadStatus::NotRegular:
    case ReadStatus::TooLarge:
    case ReadStatus::Failed:
        break;
    }
    return {LanguageFileStatus::Unreadable, Capitalised(file.error)};
}

std::vector<std::string> DiscoverLanguages(const std::filesystem::path& dir) {
    std::vector<std::string> fileNames;
    std::error_code ec;
    std::filesystem::directory_iterator it(dir, ec);
    if (ec) {
        return {};
    }
    for (const std::filesystem::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) {
            break;
        }
        std::string name = it->path().filename().string();
        if (name.size() >= 4 && name.compare(name.size() - 4, 4, ".lng") == 0) {
            fileNames.push_back(std::move(name));
        }
    }
    std::sort(fileNames.begin(), fileNames.end());

    std::vector<std::string> languages;
    for (const std::string& name : fileNames) {
        const std::string base = name.substr(0, name.find('.'));
        if (base.empty() || AsciiUpper(base) == "ENGLISH") {
            continue;
        }
        languages.push_back(base);
    }
    return languages;
}

std::vector<std::string> LanguageListItems(const std::filesystem::path& dir) {
    std::vector<std::string> items{std::string(kEnglishItem)};
    for (std::string& name : DiscoverLanguages(dir)) {
        items.push_back(std::move(name));
    }
    return items;
}

std::filesystem::path LanguageFilePath(int position, std::span<const std::string> items,
                                       const std::filesystem::path& dir) {
    if (position < 1 || static_cast<size_t>(position) >= items.size()) {
        return {};
    }
    return dir / (items[position] + ".lng");
}

LanguageChoice ChooseLanguage(int position, std::span<const std::string> items, const std::filesystem::path& dir,
                              CaptionTable& current, ProgramTextTable* currentTexts) {
    const std::filesystem::path file = LanguageFilePath(position, items, dir);
    if (file.empty()) {
        return {LanguageAction::ApplyEnglish, {}};
    }
    LanguageFileResult result = LoadLanguageFile(file, current, currentTexts);
    switch (result.status) {
    case LanguageFileStatus::Loaded:
        return {LanguageAction::ApplyCurrent, {}};
    case LanguageFileStatus::Unreadable:
        return {LanguageAction::ReportError, std::move(result.error)};
    case LanguageFileStatus::Missing:
        break;
    }
    return {LanguageAction::ApplyEnglish, {}};
}

} // namespace qlor
