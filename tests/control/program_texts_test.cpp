// The program's own text table: every text exists in both languages, and the language follows
// the language position.
#include "control/program_texts.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace qlor {
namespace {

// The "%N" markers of a text, so that a translation that drops or adds one is caught.
std::set<char> Markers(std::string_view text) {
    std::set<char> markers;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '%' && text[i + 1] >= '1' && text[i + 1] <= '9') {
            markers.insert(text[i + 1]);
        }
    }
    return markers;
}

TEST(ProgramTexts, EveryEntryHasBothLanguagesWithTheSamePlaceholders) {
    for (const ProgramTextEntry& e : ProgramTexts()) {
        SCOPED_TRACE(static_cast<int>(e.id));
        EXPECT_FALSE(e.english.empty());
        EXPECT_FALSE(e.russian.empty());
        EXPECT_EQ(Markers(e.english), Markers(e.russian));
        EXPECT_EQ(ProgramText(e.id, TextLanguage::English), e.english);
        EXPECT_EQ(ProgramText(e.id, TextLanguage::Russian), e.russian);
    }
}

TEST(ProgramTexts, EnglishOnlyAtPositionZero) {
    EXPECT_EQ(ProgramText(Say::NothingToSendTitle, 0), "Nothing to send");
    EXPECT_EQ(ProgramText(Say::NothingToSendTitle, 1), "Нечего передавать");
    EXPECT_EQ(ProgramText(Say::NothingToSendTitle, 3), "Нечего передавать");
    EXPECT_EQ(ProgramText(Say::NothingToSendTitle, -1), "Нечего передавать");
}

} // namespace
} // namespace qlor
