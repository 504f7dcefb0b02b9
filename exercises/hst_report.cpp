#include "exercises/hst_report.h"

#include "exercises/check_report.h"

#include <algorithm>

namespace qlor {
namespace {

std::string ColumnName(const HstTextResult& text) {
    // Appended rather than concatenated to a literal: GCC 12 at -O3 warns falsely (-Wrestrict) on
    // the concatenation, which breaks -Werror Release builds.
    std::string name = text.scored ? std::string() : std::string("T");
    name += std::to_string(text.speedCpm);
    return name;
}

std::string BlocksCell(const JudgedCopy& copy) {
    return std::to_string(copy.blocks) + "/" + std::to_string(copy.result.texts.size());
}

// Characters of UTF-8 text (the copies' names), for lining the columns up.
std::size_t Chars(const std::string& utf8) {
    return static_cast<std::size_t>(std::count_if(
        utf8.begin(), utf8.end(), [](char ch) { return (static_cast<unsigned char>(ch) & 0xC0) != 0x80; }));
}

std::string PadLeft(const std::string& text, std::size_t width) {
    return std::string(width > Chars(text) ? width - Chars(text) : 0, ' ') + text;
}

std::string PadRight(const std::string& text, std::size_t width) {
    return text + std::string(width > Chars(text) ? width - Chars(text) : 0, ' ');
}

} // namespace

std::string HstResultsTable(const std::vector<JudgedCopy>& copies) {
    // The columns: copy, blocks, one per text, best. Every cell is measured before any is written.
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> head = {"copy", "blocks"};
    if (!copies.empty()) {
        for (const HstTextResult& text : copies.front().result.texts) {
            head.push_back(ColumnName(text));
        }
    }
    head.push_back("best");
    rows.push_back(head);
    for (const JudgedCopy& copy : copies) {
        std::vector<std::string> row = {copy.name, BlocksCell(copy)};
        for (const HstTextResult& text : copy.result.texts) {
            row.push_back(std::to_string(text.errors) + (text.valid ? " " : "x"));
        }
        row.push_back(copy.result.bestSpeedCpm ? std::to_string(*copy.result.bestSpeedCpm) : "-");
        row.resize(head.size());
        rows.push_back(std::move(row));
    }
    std::vector<std::size_t> widths(head.size(), 0);
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            widths[c] =
                std::max(widths[c], Chars(row[c]) + (&row == &rows.front() && c >= 2 && c + 1 < row.size() ? 1 : 0));
        }
    }
    std::string out;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        std::string line;
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            const std::string& cell = rows[r][c];
            if (c == 0) {
                line += PadRight(cell, widths[c]);
            } else if (c + 1 < rows[r].size() && c >= 2) {
                // An error count: the mark column after the number lines the numbers up.
                line += "  " + PadLeft(r == 0 ? cell + " " : cell, widths[c]);
            } else {
                line += "  " + PadLeft(cell, widths[c]);
            }
        }
        while (!line.empty() && line.back() == ' ') {
            line.pop_back();
        }
        out += line + "\r\n";
    }
    out += "errors per text; x: more than " + std::to_string(kHstMaxValidErrors) +
           " errors, not valid; T: the training text, not scored; best: the highest valid speed (-: none)\r\n";
    return out;
}

std::string HstResultsCsv(const std::vector<JudgedCopy>& copies) {
    std::string out = "copy,blocks,text,speed,train,errors,valid,best_speed\r\n";
    for (const JudgedCopy& copy : copies) {
        const std::string best = copy.result.bestSpeedCpm ? std::to_string(*copy.result.bestSpeedCpm) : "";
        for (std::size_t i = 0; i < copy.result.texts.size(); ++i) {
            const HstTextResult& text = copy.result.texts[i];
            out += CsvField(copy.name) + "," + std::to_string(copy.blocks) + "," + std::to_string(i + 1) + "," +
                   std::to_string(text.speedCpm) + "," + (text.scored ? "no" : "yes") + "," +
                   std::to_string(text.errors) + "," + (text.valid ? "yes" : "no") + "," + best + "\r\n";
        }
    }
    return out;
}

std::string HstResultsJson(const std::vector<JudgedCopy>& copies, std::size_t textCount) {
    std::string out = "{\"text_count\":" + std::to_string(textCount) + ",\"students\":[";
    for (std::size_t s = 0; s < copies.size(); ++s) {
        const JudgedCopy& copy = copies[s];
        out += s == 0 ? "" : ",";
        out += "{\"copy\":" + JsonString(copy.name) + ",\"blocks\":" + std::to_string(copy.blocks) + ",\"texts\":[";
        for (std::size_t i = 0; i < copy.result.texts.size(); ++i) {
            const HstTextResult& text = copy.result.texts[i];
            out += i == 0 ? "" : ",";
            out += "{\"speed\":" + std::to_string(text.speedCpm) + ",\"train\":" + (text.scored ? "false" : "true") +
                   ",\"errors\":" + std::to_string(text.errors) + ",\"valid\":" + (text.valid ? "true" : "false") + "}";
        }
        out += "],\"best_speed\":" +
               (copy.result.bestSpeedCpm ? std::to_string(*copy.result.bestSpeedCpm) : std::string("null")) + "}";
    }
    return out + "]}\n";
}

} // namespace qlor
