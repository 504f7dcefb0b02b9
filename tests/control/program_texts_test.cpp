// The program's own text table: every text exists in both languages, and fixed wording stays.
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

// Texts the window shows whose wording does not follow the language: the same bytes at every
// position (the check list's words are read in Russian only and pinned by the check's tests).
TEST(ProgramTexts, FixedWordingIsTheSameInEveryLanguage) {
    const struct {
        Say id;
        std::string_view text;
    } kFixed[] = {
        {Say::TextOpenFilter, "Текстовые документы (*.txt)|*.TXT|Все файлы (*.*)|*.*"},
        {Say::TextSaveFilter, "Текстовые документы (*.txt)|*.TXT"},
        {Say::NoiseOpenFilter, "Звуковые файлы (*.wav)|*.wav|Все файлы (*.*)|*.*"},
        {Say::GenerationFailedTitle, "Ошибка формирования текста"},
        {Say::GenerationFailedText, "Не могу сформировать текст - набор символов слишком мал!"},
        {Say::ExportFailureBody, "Невозможно сформировать текст - набор символов слищком мал!"},
        {Say::ProtocolFileName, "Протокол соревнования.txt"},
        {Say::CheckFileName, "Протокол проверки.txt"},
    };
    for (const auto& row : kFixed) {
        SCOPED_TRACE(static_cast<int>(row.id));
        EXPECT_EQ(ProgramText(row.id, TextLanguage::English), row.text);
        EXPECT_EQ(ProgramText(row.id, TextLanguage::Russian), row.text);
        EXPECT_FALSE(FollowsLanguageFile(row.id));
    }
}

} // namespace
} // namespace qlor
