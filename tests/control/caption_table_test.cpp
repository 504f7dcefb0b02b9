// The built-in caption tables, language file parsing, loading, discovery
// and the choice of the table to show, and the shipped Russian language file.
#include "base/codepage.h"
#include "control/caption_table.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace qlor {
namespace {

namespace fs = std::filesystem;

using test::ReadAll;
using test::TempDir;

std::vector<int> NonEmptyEntries(const CaptionTable& t) {
    std::vector<int> entries;
    for (int e = 1; e <= kCaptionCount; ++e) {
        if (!t.Text(e).empty()) {
            entries.push_back(e);
        }
    }
    return entries;
}

TEST(CaptionTables, EnglishTextsKeepTheirSpelling) {
    const CaptionTable& en = EnglishCaptions();
    EXPECT_EQ(en.Text(1), "Main panel");
    EXPECT_EQ(en.Text(21), "Sn/Gr");
    EXPECT_EQ(en.Text(45), "standart (vvv=)");
    EXPECT_EQ(en.Text(47), "standart (AR)");
    EXPECT_EQ(en.Text(52), "to not form the text automaically");
    EXPECT_EQ(en.Text(56), "The traning text");
    EXPECT_EQ(en.Text(83), "Change type of handycap");
    EXPECT_EQ(en.Text(85), "Change quantity of signs in groups");
    const char* types[] = {"L", "R", "N", "NC", "LN", "MX"};
    for (int t = 0; t < 6; ++t) {
        EXPECT_EQ(en.Text(kTextTypeNameEntry + t), types[t]);
    }
    const char* noises[] = {"--", "DT", "DS", "CS", "RN"};
    for (int n = 0; n < 5; ++n) {
        EXPECT_EQ(en.Text(kNoiseTypeNameEntry + n), noises[n]);
    }
}

TEST(CaptionTables, UnusedEntriesAreEmptyInBothLanguages) {
    std::set<int> used;
    for (int e : NonEmptyEntries(EnglishCaptions())) {
        used.insert(e);
    }
    // 1..4, 7..10, 12..67, 69..74, 79..85, 100..110.
    EXPECT_EQ(used.size(), 4u + 4u + 56u + 6u + 7u + 11u);
    for (int e : {5, 6, 11, 68, 75, 78, 86, 99, 111, 120}) {
        EXPECT_FALSE(used.count(e)) << e;
    }
    EXPECT_EQ(NonEmptyEntries(DesignCaptions()), NonEmptyEntries(EnglishCaptions()));
}

TEST(CaptionTables, DesignTextsAreWindows1251) {
    const CaptionTable& ru = DesignCaptions();
    EXPECT_EQ(ru.Text(3), "\x20\xCD\xE0\xF1\xF2\xF0\xEE\xE9\xEA\xE0\x20"); // " Настройка " with its spaces
    EXPECT_EQ(ru.Text(21), Cp("Зн / Гр"));
    EXPECT_EQ(ru.Text(45), Cp("стандартный (VVV=)"));
    EXPECT_EQ(ru.Text(70), "PARIS");
    EXPECT_EQ(ru.Text(72), "Volume"); // the window's own text, not translated
    for (int e = kTextTypeNameEntry; e <= kNoiseTypeNameEntry + 4; ++e) {
        EXPECT_LE(ru.Text(e).size(), 2u) << "indicator name of entry " << e << " too long";
    }
}

TEST(CaptionTables, OutOfRangeEntriesAreInert) {
    CaptionTable t = EnglishCaptions();
    t.Set(0, "x");
    t.Set(121, "x");
    t.Set(-5, "x");
    EXPECT_EQ(t, EnglishCaptions());
    EXPECT_EQ(t.Text(0), "");
    EXPECT_EQ(t.Text(121), "");
}

// Parsing -------------------------------------------------------------------------------------

CaptionTable Parsed(std::string_view bytes) {
    CaptionTable t = EnglishCaptions();
    ParseLanguageLines(bytes, t);
    return t;
}

TEST(LanguageLines, TextIsTakenByteForByteBetweenColonAndSemicolon) {
    const CaptionTable t = Parsed("12: Basic : text ; remark; more\r\n"
                                  "13:\xCD\xEE\xEC\xE5\xF0;\r\n"
                                  "14:;\r\n"
                                  "  15:Leading spaces;\r\n"
                                  "\t16:tab;\r\n"
                                  "017:zero;\r\n"
                                  "+18:plus;\r\n");
    EXPECT_EQ(t.Text(12), " Basic : text ");
    EXPECT_EQ(t.Text(13), "\xCD\xEE\xEC\xE5\xF0");
    EXPECT_EQ(t.Text(14), "");
    EXPECT_EQ(t.Text(15), "Leading spaces");
    EXPECT_EQ(t.Text(16), "tab");
    EXPECT_EQ(t.Text(17), "zero");
    EXPECT_EQ(t.Text(18), "plus");
}

TEST(LanguageLines, UnusableLinesChangeNothing) {
    const std::string_view lines[] = {
        ";12:commented;",
        "",
        "no colon here;",
        "12 :space after the digits;",
        "1x2:not a number;",
        "12x:not a number;",
        ":no number;",
        " :only spaces;",
        "-12:negative;",
        "0:zero;",
        "121:beyond the table;",
        "99999999999999999999999:huge;",
        "12:no closing semicolon",
        "12;13:semicolon before the colon;",
    };
    for (std::string_view line : lines) {
        EXPECT_EQ(Parsed(line), EnglishCaptions()) << line;
        EXPECT_EQ(Parsed(std::string(line) + "\r\n"), EnglishCaptions()) << line;
    }
}

TEST(LanguageLines, LaterLinesWinAndBadLinesDoNotStopReading) {
    const CaptionTable t = Parsed("12:first;\r\ngarbage\r\n500:x;\r\n12:second;\r\n13:kept;");
    EXPECT_EQ(t.Text(12), "second");
    EXPECT_EQ(t.Text(13), "kept"); // last line without a line end
}

TEST(LanguageLines, AnyLineEndSplitsLines) {
    for (std::string_view eol : {"\r\n", "\n", "\r"}) {
        const std::string bytes = "12:a;" + std::string(eol) + "13:b;" + std::string(eol) + std::string(eol) + "14:c;";
        const CaptionTable t = Parsed(bytes);
        EXPECT_EQ(t.Text(12), "a");
        EXPECT_EQ(t.Text(13), "b");
        EXPECT_EQ(t.Text(14), "c");
    }
    EXPECT_EQ(Parsed("12:a\r\nb;").Text(12), "Basic text"); // a line break ends the text
}

// The program's own texts in a language file: entries 1000 + N, English where the file has none.
TEST(LanguageFile, ProgramTextsComeFromTheFileOverEnglish) {
    const auto entry = [](Say id) { return std::to_string(kProgramTextEntryBase + static_cast<int>(id)); };
    const std::string file =
        "12:Grundtext;\r\n" + entry(Say::ProgressButton) + ":Fortschritt; Progress\r\n" + entry(Say::AlignedScore) +
        ":Fehler %1\\nfalsch %2\\s weg %3 \\\\ %4;\r\n" + entry(Say::AccCopyName) + ":" + Cp("Ваш прием") + ";\r\n" +
        // Fixed wording, an unknown number and a caption number past 120.
        entry(Say::CheckErrorTotal) + ":Fehler gesamt %1;\r\n" + entry(static_cast<Say>(999)) + ":x;\r\n121:y;\r\n";
    TempDir dir;
    CaptionTable captions = DesignCaptions();
    ProgramTextTable texts = ProgramTextTable::Russian();
    ASSERT_EQ(LoadLanguageFile(dir.Write("Deutsch.lng", file), captions, &texts).status, LanguageFileStatus::Loaded);
    EXPECT_EQ(captions.Text(12), "Grundtext");
    EXPECT_EQ(captions.Text(13), EnglishCaptions().Text(13));

    ProgramTextTable want;
    EXPECT_TRUE(want.Set(Say::ProgressButton, "Fortschritt"));
    EXPECT_TRUE(want.Set(Say::AlignedScore, "Fehler %1\nfalsch %2; weg %3 \\ %4"));
    EXPECT_TRUE(want.Set(Say::AccCopyName, "Ваш прием"));
    EXPECT_EQ(texts, want);
    EXPECT_EQ(texts.Text(Say::NothingToSendTitle), "Nothing to send");
    EXPECT_EQ(texts.Text(Say::CheckErrorTotal), "Всего ошибок %1");
    EXPECT_FALSE(want.Set(Say::ProtocolTitle, "Protokoll"));

    // Loading another file starts again from English.
    ASSERT_EQ(LoadLanguageFile(dir.Write("Leer.lng", "; nichts\r\n"), captions, &texts).status,
              LanguageFileStatus::Loaded);
    EXPECT_EQ(texts, ProgramTextTable::English());
}

// Loading ---------------------------------------------------------------------------------------

TEST(LanguageFile, MissingFileResetsToEnglish) {
    TempDir dir;
    CaptionTable t = DesignCaptions();
    const LanguageFileResult r = LoadLanguageFile(dir.path() / "None.lng", t);
    EXPECT_EQ(r.status, LanguageFileStatus::Missing);
    EXPECT_EQ(t, EnglishCaptions());
}

TEST(LanguageFile, CommentsOnlyFileLoadsAsEnglish) {
    TempDir dir;
    CaptionTable t = DesignCaptions();
    const auto r = LoadLanguageFile(dir.Write("Notes.lng", "; nothing yet\r\n;12:x;\r\n"), t);
    EXPECT_EQ(r.status, LanguageFileStatus::Loaded);
    EXPECT_EQ(t, EnglishCaptions());
}

TEST(LanguageFile, UnreadableFileReportsTheSystemError) {
    TempDir dir;
    fs::create_directory(dir.path() / "Folder.lng");
    CaptionTable t = DesignCaptions();
    auto r = LoadLanguageFile(dir.path() / "Folder.lng", t);
    EXPECT_EQ(r.status, LanguageFileStatus::Unreadable);
    EXPECT_NE(r.error.find("Folder.lng"), std::string::npos) << r.error;
    EXPECT_EQ(t, EnglishCaptions());

    if (geteuid() != 0) { // permissions do not stop root
        const fs::path locked = dir.Write("Locked.lng", "12:x;\r\n");
        fs::permissions(locked, fs::perms::none);
        r = LoadLanguageFile(locked, t);
        EXPECT_EQ(r.status, LanguageFileStatus::Unreadable);
        EXPECT_FALSE(r.error.empty());
    }
}

// Discovery and choice --------------------------------------------------------------------------

TEST(LanguageDiscovery, NamesBeforeTheFirstDotWithoutEnglish) {
    TempDir dir;
    for (const char* name : {"Russian.lng", "german.lng", "ENGLISH.lng", "eNgLiSh.lng", "English.old.lng",
                             "Base.v2.lng", "readme.txt", "nodot", ".hidden.lng", "Russian.lng.bak"}) {
        dir.Write(name, "");
    }
    EXPECT_EQ(DiscoverLanguages(dir.path()), (std::vector<std::string>{"Base", "Russian", "german"}));
    EXPECT_EQ(LanguageListItems(dir.path()), (std::vector<std::string>{"English", "Base", "Russian", "german"}));
    EXPECT_TRUE(DiscoverLanguages(dir.path() / "absent").empty());
    EXPECT_EQ(LanguageListItems(dir.path() / "absent"), std::vector<std::string>{"English"});
}

TEST(LanguageChoice, PositionsBelowOneAndBeyondTheListShowEnglish) {
    TempDir dir;
    dir.Write("Russian.lng", "12:x;\r\n");
    const std::vector<std::string> items = LanguageListItems(dir.path());
    for (int position : {0, -1, 2, 99}) {
        CaptionTable current = EnglishCaptions();
        const LanguageChoice c = ChooseLanguage(position, items, dir.path(), current);
        EXPECT_EQ(c.action, LanguageAction::ApplyEnglish) << position;
        EXPECT_EQ(current, EnglishCaptions());
    }
    EXPECT_EQ(LanguageFilePath(1, items, dir.path()), dir.path() / "Russian.lng");
    EXPECT_TRUE(LanguageFilePath(0, items, dir.path()).empty());
    EXPECT_EQ(&TableForPosition(0, DesignCaptions()), &EnglishCaptions());
    EXPECT_EQ(&TableForPosition(-1, DesignCaptions()), &DesignCaptions());
}

TEST(LanguageChoice, SwitchingLanguagesReturnsUnmentionedEntriesToEnglish) {
    TempDir dir;
    dir.Write("First.lng", "12:one;\r\n13:two;\r\n");
    dir.Write("Second.lng", "12:uno;\r\n");
    const std::vector<std::string> items = LanguageListItems(dir.path());
    ASSERT_EQ(items, (std::vector<std::string>{"English", "First", "Second"}));
    CaptionTable current = EnglishCaptions();
    EXPECT_EQ(ChooseLanguage(1, items, dir.path(), current).action, LanguageAction::ApplyCurrent);
    EXPECT_EQ(current.Text(13), "two");
    EXPECT_EQ(ChooseLanguage(2, items, dir.path(), current).action, LanguageAction::ApplyCurrent);
    EXPECT_EQ(current.Text(12), "uno");
    EXPECT_EQ(current.Text(13), "Number");
}

TEST(LanguageChoice, SecondDotNameLooksForTheBaseFile) {
    TempDir dir;
    dir.Write("Base.v2.lng", "12:versioned;\r\n");
    const std::vector<std::string> items = LanguageListItems(dir.path());
    ASSERT_EQ(items.at(1), "Base");
    CaptionTable current = DesignCaptions();
    EXPECT_EQ(ChooseLanguage(1, items, dir.path(), current).action, LanguageAction::ApplyEnglish);
    EXPECT_EQ(current, EnglishCaptions());
    dir.Write("Base.lng", "12:base;\r\n");
    EXPECT_EQ(ChooseLanguage(1, items, dir.path(), current).action, LanguageAction::ApplyCurrent);
    EXPECT_EQ(current.Text(12), "base");
}

TEST(LanguageChoice, VanishedOrUnreadableFiles) {
    TempDir dir;
    dir.Write("Gone.lng", "12:x;\r\n");
    fs::create_directory(dir.path() / "Odd.lng");
    const std::vector<std::string> items = LanguageListItems(dir.path());
    ASSERT_EQ(items, (std::vector<std::string>{"English", "Gone", "Odd"}));
    fs::remove(dir.path() / "Gone.lng");
    CaptionTable current = EnglishCaptions();
    EXPECT_EQ(ChooseLanguage(1, items, dir.path(), current).action, LanguageAction::ApplyEnglish);
    const LanguageChoice odd = ChooseLanguage(2, items, dir.path(), current);
    EXPECT_EQ(odd.action, LanguageAction::ReportError);
    EXPECT_FALSE(odd.error.empty());
}

// The shipped Russian file ---------------------------------------------------------------------

// data/Russian.lng of the source tree (tests/data's grandparent).
fs::path ShippedRussianFile() {
    return fs::path(QLOR_TEST_DATA_DIR).parent_path().parent_path() / "data" / "Russian.lng";
}

TEST(RussianLanguageFile, EveryEntryParsesBackToTheDesignText) {
    const fs::path path = ShippedRussianFile();
    CaptionTable t;
    ASSERT_EQ(LoadLanguageFile(path, t).status, LanguageFileStatus::Loaded) << path;
    for (int e = 1; e <= kCaptionCount; ++e) {
        EXPECT_EQ(t.Text(e), DesignCaptions().Text(e)) << "entry " << e;
    }
    // Every entry is written out, also the empty ones, so no English text shows through.
    CaptionTable marked = EnglishCaptions();
    for (int e = 1; e <= kCaptionCount; ++e) {
        marked.Set(e, "?");
    }
    ParseLanguageLines(ReadAll(path), marked);
    for (int e = 1; e <= kCaptionCount; ++e) {
        EXPECT_NE(marked.Text(e), "?") << "entry " << e << " missing from the file";
    }
}

// With the shipped file a Russian user reads every program text as the Russian column has it.
TEST(RussianLanguageFile, CarriesEveryRussianProgramText) {
    CaptionTable captions;
    ProgramTextTable texts;
    ASSERT_EQ(LoadLanguageFile(ShippedRussianFile(), captions, &texts).status, LanguageFileStatus::Loaded);
    for (const ProgramTextEntry& e : ProgramTexts()) {
        EXPECT_EQ(texts.Text(e.id), e.fixed ? e.english : e.russian) << static_cast<int>(e.id);
    }
}

TEST(RussianLanguageFile, LinesEndWithCrLf) {
    const std::string bytes = ReadAll(ShippedRussianFile());
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at byte " << i;
        }
        if (bytes[i] == '\r') {
            ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "bare CR at byte " << i;
        }
    }
}

} // namespace
} // namespace qlor
