#include "synthesis/morse_table.h"

#include "base/codepage.h"
#include "base/numbered_lines.h"
#include "base/safe_file.h"

#include <cstring>
#include <vector>

namespace qlor {
namespace {

struct BuiltIn {
    int index;
    const char* pattern;
};

// The built-in code: Latin letters 1..26, Cyrillic letters 30..61, digits and signs 90..107.
constexpr BuiltIn kBuiltIn[] = {
    {1, "DPT"},
    {2, "TPDPDPD"},
    {3, "TPDPTPD"},
    {4, "TPDPD"},
    {5, "D"},
    {6, "DPDPTPD"},
    {7, "TPTPD"},
    {8, "DPDPDPD"},
    {9, "DPD"},
    {10, "DPTPTPT"},
    {11, "TPDPT"},
    {12, "DPTPDPD"},
    {13, "TPT"},
    {14, "TPD"},
    {15, "TPTPT"},
    {16, "DPTPTPD"},
    {17, "TPTPDPT"},
    {18, "DPTPD"},
    {19, "DPDPD"},
    {20, "T"},
    {21, "DPDPT"},
    {22, "DPDPDPT"},
    {23, "DPTPT"},
    {24, "TPDPDPT"},
    {25, "TPDPTPT"},
    {26, "TPTPDPD"},
    {30, "DPT"},
    {31, "TPDPDPD"},
    {32, "DPTPT"},
    {33, "TPTPD"},
    {34, "TPDPD"},
    {35, "D"},
    {36, "DPDPDPT"},
    {37, "TPTPDPD"},
    {38, "DPD"},
    {39, "DPTPTPT"},
    {40, "TPDPT"},
    {41, "DPTPDPD"},
    {42, "TPT"},
    {43, "TPD"},
    {44, "TPTPT"},
    {45, "DPTPTPD"},
    {46, "DPTPD"},
    {47, "DPDPD"},
    {48, "T"},
    {49, "DPDPT"},
    {50, "DPDPTPD"},
    {51, "DPDPDPD"},
    {52, "TPDPTPD"},
    {53, "TPTPTPD"},
    {54, "TPTPTPT"},
    {55, "TPTPDPT"},
    {56, "TPDPDPT"},
    {57, "TPDPTPT"},
    {58, "TPDPDPDPT"},
    {59, "DPDPTPDPD"},
    {60, "DPDPTPT"},
    {61, "DPTPDPT"},
    {90, "DPTPTPTPT"},
    {91, "DPDPTPTPT"},
    {92, "DPDPDPTPT"},
    {93, "DPDPDPDPT"},
    {94, "DPDPDPDPD"},
    {95, "TPDPDPDPD"},
    {96, "TPTPDPDPD"},
    {97, "TPTPTPDPD"},
    {98, "TPTPTPTPD"},
    {99, "TPTPTPTPT"},
    {100, "TPDPDPDPT"},
    {101, "TPDPDPTPD"},
    {102, "DPDPTPTPDPD"},
    {103, "DPTPDPTPDPT"},
    {104, "TPTPDPDPTPT"},
    {105, "TPTPDPDPTPT"},
    {106, "DPTPDPTPD"},
    {107, "DPTPTPDPTPD"},
};

// Index of every byte after cp1251 upper-casing (0: no entry). The mapping is fixed; the override
// file can change patterns only.
constexpr std::array<unsigned char, 256> MakeIndexTable() {
    std::array<unsigned char, 256> t{};
    for (int c = 'A'; c <= 'Z'; ++c) {
        t[c] = static_cast<unsigned char>(c - 'A' + 1);
    }
    for (int c = 0xC0; c <= 0xD9; ++c) { // А..Щ
        t[c] = static_cast<unsigned char>(c - 0xC0 + 30);
    }
    t[0xDA] = 58; // Ъ
    t[0xDB] = 57; // Ы
    t[0xDC] = 56; // Ь
    t[0xDD] = 59; // Э
    t[0xDE] = 60; // Ю
    t[0xDF] = 61; // Я
    for (int c = '1'; c <= '9'; ++c) {
        t[c] = static_cast<unsigned char>(c - '1' + 90);
    }
    t['0'] = 99;
    const char signs[] = "=/?.,!*@";
    for (int i = 0; signs[i] != '\0'; ++i) {
        t[static_cast<unsigned char>(signs[i])] = static_cast<unsigned char>(100 + i);
    }
    return t;
}

constexpr std::array<unsigned char, 256> kIndexOfUpper = MakeIndexTable();

constexpr std::string_view kNoEntryPattern = "Q";

// Replaces, in place, every case-insensitive occurrence of `oldText` by the shorter or equal
// `newText`, left to right without re-examining produced text: the same result as
// ReplaceAllText, without copies. Returns the number of replacements.
size_t ReplaceShrinking(std::string& s, std::string_view oldText, std::string_view newText) {
    const size_t m = oldText.size();
    if (m == 0 || s.size() < m) {
        return 0;
    }
    const std::string upperOld = UpperCase1251(oldText);
    size_t read = 0;
    size_t write = 0;
    size_t count = 0;
    const size_t n = s.size();
    while (read + m <= n) {
        size_t k = 0;
        while (k < m &&
               UpCase1251(static_cast<unsigned char>(s[read + k])) == static_cast<unsigned char>(upperOld[k])) {
            ++k;
        }
        if (k == m) {
            for (char c : newText) {
                s[write++] = c;
            }
            read += m;
            ++count;
        } else {
            s[write++] = s[read++];
        }
    }
    while (read < n) {
        s[write++] = s[read++];
    }
    s.resize(write);
    return count;
}

// "While s contains old, replace every old by new": each pass at least halves the runs, so only
// log-many passes happen. The containment test is exact (case-sensitive), the replacement
// ignores case, as the conversion has always done.
void ReplaceWhileContains(std::string& s, std::string_view oldText, std::string_view newText) {
    while (s.find(oldText) != std::string::npos) {
        ReplaceShrinking(s, oldText, newText);
    }
}

} // namespace

MorseTable::MorseTable() {
    InitMorseTable();
}

void MorseTable::InitMorseTable() {
    for (auto& entry : entries_) {
        entry.clear();
    }
    for (const BuiltIn& b : kBuiltIn) {
        entries_[b.index] = b.pattern;
    }
}

void MorseTable::LoadMorseOverrides(const std::string& path) {
    // Anything but a readable regular file (a folder, a FIFO, a device) counts as missing.
    const FileBytes file = ReadRegularFile(path, kMaxOverrideFileBytes);
    if (file.ok()) {
        ApplyOverrides(file.bytes);
    }
}

void MorseTable::ApplyOverrides(std::string_view fileBytes) {
    ForEachNumberedLine(fileBytes, LineBreaks::LineFeed, [this](int index, std::string_view pattern) {
        // No real pattern is longer than the cap: such a line is damaged and skipped.
        if (index >= 1 && index <= kSize && pattern.size() <= kMaxPatternLetters) {
            entries_[index] = std::string(pattern);
        }
    });
}

int MorseTable::IndexOf(unsigned char c) {
    return kIndexOfUpper[UpCase1251(c)];
}

MorseTable::Pattern MorseTable::CharPattern(unsigned char c) const {
    int index = IndexOf(c);
    if (index == 0) {
        return {kNoEntryPattern, false};
    }
    return {entries_[index], true};
}

Elements TextToElements(const MorseTable& table, std::string_view text) {
    Elements result;
    const std::string_view trimmed = Trim1251(text);

    // Every byte contributes its pattern and one "Q" wherever it occurs. Each contribution ends in
    // "Q", so a "DD", "TT" or "PP" never spans two of them: the merging of repeated elements and
    // gaps can be done on the patterns of the bytes present, pass by pass as on the whole string
    // (a pass runs while any present pattern still holds the pair).
    std::array<bool, 256> present{};
    for (unsigned char c : trimmed) {
        present[c] = true;
    }
    std::array<std::string, 256> pattern;
    std::array<bool, 256> found{};
    std::array<bool, 256> noEntry{};
    for (int c = 0; c < 256; ++c) {
        if (!present[c]) {
            continue;
        }
        auto p = table.CharPattern(static_cast<unsigned char>(c));
        pattern[c].assign(p.pattern);
        found[c] = p.found;
        noEntry[c] = !p.found;
    }
    for (std::string_view pair : {std::string_view("DD"), std::string_view("TT"), std::string_view("PP")}) {
        for (;;) {
            bool contains = false;
            for (int c = 0; c < 256; ++c) {
                contains = contains || (found[c] && pattern[c].find(pair) != std::string::npos);
            }
            if (!contains) {
                break;
            }
            for (int c = 0; c < 256; ++c) {
                if (found[c]) {
                    ReplaceShrinking(pattern[c], pair, pair.substr(0, 1));
                }
            }
        }
    }

    size_t total = 0;
    bool plainPatterns = true; // no pattern holds a letter that the gap steps below would touch
    for (int c = 0; c < 256; ++c) {
        if (found[c]) {
            plainPatterns = plainPatterns && pattern[c].find_first_of("QqRr") == std::string::npos;
        }
    }
    for (unsigned char c : trimmed) {
        total += pattern[c].size() + 1;
        result.count += found[c] ? 1 : 0;
    }

    std::string& s = result.elements;
    if (plainPatterns) {
        // The only gap letters are the "Q"s after each character and the "Q" of each character
        // without an entry. Replacing "QQQ" by "R", removing "QQ", then "RQ" by "R" and "RR" by "R"
        // turns each maximal run of k of them into "Q" (k = 1), nothing (k = 2) or "R" (k >= 3),
        // so one pass over the text gives the same string.
        s.resize(total);
        char* out = s.data();
        size_t run = 0;
        auto flush = [&]() {
            if (run == 1) {
                *out++ = 'Q';
            } else if (run >= 3) {
                *out++ = 'R';
            }
            run = 0;
        };
        for (unsigned char c : trimmed) {
            const std::string& p = pattern[c];
            if (noEntry[c]) {
                run += 2; // "Q" and the gap after it
                continue;
            }
            if (!p.empty()) {
                flush();
                std::memcpy(out, p.data(), p.size());
                out += p.size();
            }
            ++run;
        }
        flush();
        s.resize(static_cast<size_t>(out - s.data()));
    } else {
        s.reserve(total);
        for (unsigned char c : trimmed) {
            s += pattern[c];
            s += 'Q';
        }
        // Runs of character gaps: three become a word gap, two vanish, a gap after a word gap goes.
        ReplaceShrinking(s, "QQQ", "R");
        ReplaceShrinking(s, "QQ", "");
        ReplaceShrinking(s, "RQ", "R");
        ReplaceWhileContains(s, "RR", "R");
    }
    // The gap after the last character.
    if (!s.empty()) {
        s.pop_back();
    }
    return result;
}

std::string ReplaceAllText(std::string_view source, std::string_view oldText, std::string_view newText) {
    if (oldText.empty()) {
        return std::string(source);
    }
    const std::string upper = UpperCase1251(source);
    const std::string upperOld = UpperCase1251(oldText);
    const size_t m = upperOld.size();

    // Knuth-Morris-Pratt over the upper-cased copy: linear in the source whatever the pattern.
    std::vector<size_t> border(m, 0);
    for (size_t i = 1, k = 0; i < m; ++i) {
        while (k > 0 && upperOld[i] != upperOld[k]) {
            k = border[k - 1];
        }
        if (upperOld[i] == upperOld[k]) {
            ++k;
        }
        border[i] = k;
    }

    std::string result;
    result.reserve(source.size());
    size_t copied = 0; // source bytes before this position are already in the result
    size_t matched = 0;
    for (size_t i = 0; i < upper.size(); ++i) {
        while (matched > 0 && upper[i] != upperOld[matched]) {
            matched = border[matched - 1];
        }
        if (upper[i] == upperOld[matched]) {
            ++matched;
        }
        if (matched == m) {
            const size_t start = i + 1 - m;
            result.append(source.substr(copied, start - copied));
            result.append(newText);
            copied = i + 1;
            matched = 0; // the scan goes on after the match, never inside it
        }
    }
    result.append(source.substr(copied));
    return result;
}

} // namespace qlor
