// libFuzzer entry for language files: any bytes parse into a caption table whose every text is
// a piece of the file, and into program texts whose fixed wording stays as built in.
#include "control/caption_table.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    qlor::CaptionTable table = qlor::EnglishCaptions();
    qlor::ProgramTextTable texts;
    qlor::ParseLanguageLines(bytes, table, &texts);
    for (const qlor::ProgramTextEntry& e : qlor::ProgramTexts()) {
        if (e.fixed && texts.Text(e.id) != e.english) {
            std::abort();
        }
    }
    const qlor::CaptionTable english = qlor::EnglishCaptions();
    for (int entry = 0; entry < 200; ++entry) {
        if (!qlor::CaptionTable::ValidEntry(entry)) {
            continue;
        }
        const std::string& text = table.Text(entry);
        if (text != english.Text(entry) && bytes.find(text) == std::string_view::npos) {
            std::abort();
        }
    }
    return 0;
}
