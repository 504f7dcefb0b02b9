// The file helper every reader and writer goes through: odd files, full disks, planted links and
// interrupted writes.
#include "base/safe_file.h"

#include "tests/support/files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace qlor {
namespace {

namespace fs = std::filesystem;
using test::ReadAll;
using test::TempDir;

size_t EntryCount(const fs::path& dir) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

TEST(ReadRegularFile, OddFilesAreRefusedAtOnceWithTheReason) {
    TempDir dir;
    dir.Write("text.txt", "CQ CQ");
    dir.Write("big.txt", std::string(101, 'x'));
    fs::create_directory(dir.path() / "folder.txt");
    ASSERT_EQ(mkfifo(dir.File("fifo.txt").c_str(), 0600), 0); // no writer: a blocking open would hang
    fs::create_symlink(dir.path() / "gone", dir.path() / "dangling.txt");
    struct Case {
        std::string path;
        ReadStatus status;
        const char* reason;
    };
    const Case cases[] = {
        {dir.File("text.txt"), ReadStatus::Ok, ""},
        {dir.File("missing.txt"), ReadStatus::Missing, "No such file"},
        {dir.File("dangling.txt"), ReadStatus::Missing, "No such file"},
        {dir.File("folder.txt"), ReadStatus::NotRegular, "folder"},
        {dir.File("fifo.txt"), ReadStatus::NotRegular, "not a regular file"},
        {"/dev/zero", ReadStatus::NotRegular, "not a regular file"}, // endless
        {dir.File("big.txt"), ReadStatus::TooLarge, "larger than 100 bytes"},
    };
    for (const Case& c : cases) {
        const FileBytes got = ReadRegularFile(c.path, 100);
        EXPECT_EQ(got.status, c.status) << c.path;
        if (c.status == ReadStatus::Ok) {
            EXPECT_EQ(got.bytes, "CQ CQ");
        } else {
            EXPECT_TRUE(got.bytes.empty());
            EXPECT_NE(got.error.find("\"" + c.path + "\""), std::string::npos) << got.error;
            EXPECT_NE(got.error.find(c.reason), std::string::npos) << got.error;
        }
    }
    if (geteuid() != 0) { // permissions do not stop root
        const fs::path locked = dir.Write("locked.txt", "x");
        fs::permissions(locked, fs::perms::none);
        EXPECT_EQ(ReadRegularFile(locked, 100).status, ReadStatus::Failed);
    }
}

TEST(WriteFilesAtomically, AFullDiskLeavesTheOldFilesWholeAndSaysWhy) {
    TempDir dir;
    const std::string single = dir.Write("memo.txt", "the old memo").string();
    const std::string text = dir.Write("0417-01.txt", "old text").string();
    const std::string midi = dir.Write("0417-01.mid", "old midi").string();
    const std::string large(4096, 'n');
    // The disk takes 100 bytes per file: the single file, and the second of a pair, cannot be written.
    const int status = test::WithFileSizeLimit(100, [&] {
        const std::string tooLarge = std::strerror(EFBIG);
        const std::string one = WriteFileAtomically(single, large);
        const FileToWrite pair[] = {{text, "new text"}, {midi, large}};
        const std::string both = WriteFilesAtomically(pair);
        const bool named = one.find(single) != std::string::npos && both.find(midi) != std::string::npos;
        const bool why = one.find(tooLarge) != std::string::npos && both.find(tooLarge) != std::string::npos;
        return named && why ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadAll(single), "the old memo");
    EXPECT_EQ(ReadAll(text), "old text");
    EXPECT_EQ(ReadAll(midi), "old midi");
    EXPECT_EQ(EntryCount(dir.path()), 3u); // no temporary file left

    // A rename that fails half-way through a set (the MIDI name is taken by a folder) puts back
    // the file already replaced and leaves no new one.
    fs::remove(midi);
    fs::create_directory(midi);
    const FileToWrite pair[] = {{text, "new text"}, {midi, "new midi"}};
    EXPECT_NE(WriteFilesAtomically(pair).find(midi), std::string::npos);
    EXPECT_EQ(ReadAll(text), "old text");
    EXPECT_EQ(EntryCount(dir.path()), 3u);

    // Without a fault the files are replaced and keep their permission bits.
    fs::permissions(single, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(WriteFileAtomically(single, "new"), "");
    EXPECT_EQ(ReadAll(single), "new");
    EXPECT_EQ(fs::status(single).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
}

TEST(PartFile, NeverFollowsAPlantedLinkAndVanishesWhenInterrupted) {
    TempDir dir;
    const std::string out = dir.File("out.wav");
    const fs::path victim = dir.Write("victim", "keep me");
    fs::create_symlink(victim, out + ".part");
    {
        PartFile part;
        const std::string error = part.Create(out);
        EXPECT_NE(error.find(out + ".part"), std::string::npos) << error;
        EXPECT_LT(part.Descriptor(), 0);
    }
    EXPECT_EQ(ReadAll(victim), "keep me");
    EXPECT_TRUE(fs::is_symlink(out + ".part"));
    fs::remove(out + ".part");

    // A part file an interrupted run left is taken over; an uncommitted one is removed.
    dir.Write("out.wav.part", "stale");
    {
        PartFile part;
        ASSERT_EQ(part.Create(out), "");
        ASSERT_EQ(write(part.Descriptor(), "RIFF", 4), 4);
        EXPECT_EQ(part.Commit(), "");
    }
    EXPECT_EQ(ReadAll(out), "RIFF");
    EXPECT_FALSE(fs::exists(out + ".part"));
    {
        PartFile part;
        ASSERT_EQ(part.Create(out), "");
    }
    EXPECT_FALSE(fs::exists(out + ".part"));

    // SIGTERM while the part file is open: it is removed and the process ends by the signal.
    const pid_t child = fork();
    if (child == 0) {
        RemovePartFilesOnSignals();
        PartFile part;
        if (part.Create(out).empty()) {
            raise(SIGTERM);
        }
        _exit(3);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
    EXPECT_FALSE(fs::exists(out + ".part"));
    EXPECT_EQ(ReadAll(out), "RIFF");
}

TEST(JoinFolder, OneSlashBetweenFolderAndName) {
    EXPECT_EQ(JoinFolder("", "0417-01.txt"), "0417-01.txt");
    EXPECT_EQ(JoinFolder("/tmp/x", "a.mid"), "/tmp/x/a.mid");
    EXPECT_EQ(JoinFolder("/tmp/x/", "a.mid"), "/tmp/x/a.mid");
    EXPECT_EQ(JoinFolder("/", "a.mid"), "/a.mid");
}

} // namespace
} // namespace qlor
