// Telling UTF-8 from Windows-1251: well-formed UTF-8 only, so cp1251 letters are never taken for it.
#include "base/codepage.h"

#include <gtest/gtest.h>

namespace qlor {
namespace {

TEST(IsValidUtf8, AcceptsWellFormedUtf8AndRefusesCp1251AndMalformedSequences) {
    struct Case {
        std::string bytes;
        bool valid;
    } cases[] = {
        {"", true},
        {"OOOOO 50\r\nvvv=\r\n", true},
        {"Протокол КЛОР-2000 ё €", true},
        {"\xF0\x9F\x93\xBB", true},             // U+1F4FB
        {Cp("Протокол КЛОР-2000"), false},      // the same text in Windows-1251
        {Cp("ёж"), false},                      // B8 E6: a lone continuation byte
        {"\xC0\xAF", false},                    // overlong "/"
        {"\xE0\x80\xAF", false},                // overlong "/"
        {"\xED\xA0\x80", false},                // a surrogate
        {"\xF4\x90\x80\x80", false},            // above U+10FFFF
        {"\xD0", false},                        // cut short
        {std::string("\xE2\x82") + "A", false}, // cut short by an ASCII byte
        {"\xF8\x88\x80\x80\x80", false},        // a five-byte form
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(IsValidUtf8(c.bytes), c.valid);
    }
}

} // namespace
} // namespace qlor
