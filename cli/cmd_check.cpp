// qlor-cli check: the reception check of a copy against the sent text, both read from files.
#include "cli/local_time.h"
#include "cli/options.h"
#include "exercises/reception_check.h"
#include "synthesis/safe_file.h"

#include <cstdio>

namespace qlor::cli {
namespace {

void Fail(const std::string& message) {
    const std::string line = "qlor-cli: " + message + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}

// Sent and copied texts are typed or saved by hand; anything near this is not one [bytes].
constexpr uint64_t kMaxTextFileBytes = 32u << 20;

int RunCheck(const std::vector<std::string>& args) {
    std::string sentPath;
    std::string copyPath;
    std::string outPath;
    int width = kDefaultWrapChars;
    CheckHead head;
    head.speed[1] = 5; // the panel's default speed 050
    auto extra = [&](const std::string& name, const std::function<std::string()>& value) {
        if (name == "--sent") {
            sentPath = value();
        } else if (name == "--copy") {
            copyPath = value();
        } else if (name == "--out") {
            outPath = value();
        } else if (name == "--width") {
            width = ParseIntOption(name, value(), 1, 10000);
        } else if (name == "--number") {
            const std::string v = value();
            if (v.size() != 4 || v.find_first_not_of("0123456789") != std::string::npos) {
                throw UsageError{"--number: expected four digits (0000..9999), got '" + v + "'"};
            }
            for (int i = 0; i < 4; ++i) {
                head.number[i] = v[i] - '0';
            }
        } else if (name == "--speed") {
            const int speed = ParseIntOption(name, value(), 0, 399);
            head.speed[0] = speed / 100;
            head.speed[1] = speed / 10 % 10;
            head.speed[2] = speed % 10;
        } else if (name == "--own-text") {
            head.ownText = true;
        } else {
            return false;
        }
        return true;
    };
    CliOptions options = ParseOptions(args, 0, extra);
    if (sentPath.empty() || copyPath.empty()) {
        throw UsageError{"--sent FILE and --copy FILE are required"};
    }

    const FileBytes sentFile = ReadRegularFile(sentPath, kMaxTextFileBytes);
    const FileBytes copyFile = sentFile.ok() ? ReadRegularFile(copyPath, kMaxTextFileBytes) : FileBytes{};
    if (!sentFile.ok() || !copyFile.ok()) {
        Fail(sentFile.ok() ? copyFile.error : sentFile.error);
        return 1;
    }
    const std::string& sent = sentFile.bytes;
    const std::string& copy = copyFile.bytes;
    std::string error;
    head.dateTime = LocalDateTimeText();
    const CheckList list = BuildCheckList(head, WrapLines(sent, width), WrapLines(copy, width));
    if (!outPath.empty()) {
        // The saved check list: cp1251 bytes, every line followed by CR LF.
        error = WriteFileAtomically(outPath, list.Text());
        if (!error.empty()) {
            Fail(error);
            return 1;
        }
        return 0;
    }
    std::string text;
    for (const auto& line : list.lines) {
        text += line + "\n";
    }
    PrintText(options, text);
    return 0;
}

const RegisterCommand kRegister("check", RunCheck,
                                std::string("check --sent FILE --copy FILE [--width N] [--number DDDD] [--speed N] "
                                            "[--own-text] [--out FILE] ") +
                                    kEncodingUsage + "  (prints the reception check list of a copy)");

} // namespace
} // namespace qlor::cli
