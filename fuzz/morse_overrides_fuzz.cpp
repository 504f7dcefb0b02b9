// libFuzzer entry for "Morse.txt" overrides: any file must leave every entry within the pattern
// cap and keep the element string of a text linear in the text.
#include "synthesis/morse_table.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qlor::MorseTable table;
    table.ApplyOverrides(std::string_view(reinterpret_cast<const char*>(data), size));
    for (int index = 1; index <= qlor::MorseTable::kSize; ++index) {
        if (table.Entry(index).size() > qlor::MorseTable::kMaxPatternLetters) {
            std::abort();
        }
    }
    static const std::string text = "VVV= PARIS 0123456789 ?/.,!*@ \xC0\xC1\xC2 *";
    const qlor::Elements elements = qlor::TextToElements(table, text);
    if (elements.elements.size() > text.size() * (qlor::MorseTable::kMaxPatternLetters + 1)) {
        std::abort();
    }
    return 0;
}
