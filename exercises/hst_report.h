#pragma once
// The judged copies of a class written out: a table to read, CSV and JSON. Every output is UTF-8;
// the table and the CSV (RFC 4180) end their lines with CR LF, the JSON is one object followed by
// a line feed.
#include "exercises/hst_judge.h"

#include <string>
#include <vector>

namespace qlor {

// One student's copy file judged.
struct JudgedCopy {
    std::string name;       // the copy file's name as given (UTF-8)
    std::size_t blocks = 0; // blocks the file holds
    HstResult result;       // one entry per sent text
};

// A head row naming the copies' columns ("T50" for a training text at 50, "60" for a text at 60),
// one row per copy with its blocks ("3/4"), its errors per text ("7x" when not valid) and its best
// speed ("-" when no text is valid), then a line that explains the marks.
std::string HstResultsTable(const std::vector<JudgedCopy>& copies);
// One row per copy and text: copy,blocks,text,speed,train,errors,valid,best_speed (the last
// empty when no text is valid).
std::string HstResultsCsv(const std::vector<JudgedCopy>& copies);
// {"text_count": N, "students": [{"copy", "blocks", "texts": [{"speed", "train", "errors",
// "valid"}, ...], "best_speed": number or null}, ...]}
std::string HstResultsJson(const std::vector<JudgedCopy>& copies, std::size_t textCount);

} // namespace qlor
