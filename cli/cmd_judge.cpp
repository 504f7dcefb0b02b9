// qlor-cli judge: the copies of a class judged against the texts of a competition protocol, as a
// high-speed receiving test is judged.
#include "base/codepage.h"
#include "base/safe_file.h"
#include "cli/options.h"
#include "exercises/competition.h"
#include "exercises/hst_report.h"

#include <memory>

namespace qlor::cli {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

struct JudgeArgs {
    CliOptions options;
    std::string protocolPath;
    std::vector<std::string> copyPaths;
    std::string format = "table";
};

// The protocol as the Competition page and `competition --protocol` save it is Windows-1251; one
// printed on a terminal and redirected to a file is UTF-8, told apart by being well-formed UTF-8
// (plain ASCII reads the same either way).
std::string ProtocolToCore(std::string bytes) {
    if (bytes.starts_with(kUtf8ByteOrderMark)) {
        bytes.erase(0, kUtf8ByteOrderMark.size());
        return Utf8ToCp1251(bytes);
    }
    return IsValidUtf8(bytes) ? Utf8ToCp1251(bytes) : bytes;
}

// A copy is typed text in the terminal's encoding (--encoding); a byte-order mark some editors put
// in front of UTF-8 is not part of it.
std::string CopyToCore(const CliOptions& options, std::string bytes) {
    if (!options.cp1251 && bytes.starts_with(kUtf8ByteOrderMark)) {
        bytes.erase(0, kUtf8ByteOrderMark.size());
    }
    return options.ToCore(bytes);
}

// A file name as the outputs show it: UTF-8 (by the terminal's encoding).
std::string NameToUtf8(const CliOptions& options, const std::string& name) {
    return options.cp1251 ? Cp1251ToUtf8(name) : name;
}

int RunJudge(const JudgeArgs& a) {
    const CliOptions& options = a.options;
    const FileBytes protocolFile = ReadRegularFile(a.protocolPath, kMaxTextFileBytes);
    if (!protocolFile.ok()) {
        PrintFailure(protocolFile.error);
        return 1;
    }
    const ProtocolReading protocol = ReadProtocolTexts(ProtocolToCore(protocolFile.bytes));
    if (!protocol.error.empty()) {
        PrintFailure(a.protocolPath + ": " + protocol.error);
        return 1;
    }
    if (protocol.texts.empty()) {
        PrintFailure(a.protocolPath + ": the protocol holds no text (no \"vvv=\" line)");
        return 1;
    }
    std::vector<HstSentText> sent;
    std::vector<JudgedText> prepared;
    for (const ProtocolText& text : protocol.texts) {
        sent.push_back({text.speed, text.body, !text.training});
        prepared.emplace_back(text.body);
    }

    // Every file is read before anything is printed: one that cannot be read ends the work.
    std::vector<JudgedCopy> judged;
    for (const std::string& path : a.copyPaths) {
        const FileBytes copyFile = ReadRegularFile(path, kMaxTextFileBytes);
        if (!copyFile.ok()) {
            PrintFailure(copyFile.error);
            return 1;
        }
        const std::vector<std::string> blocks = SplitCopyBlocks(CopyToCore(options, copyFile.bytes));
        JudgedCopy copy;
        copy.name = NameToUtf8(options, path);
        copy.blocks = blocks.size();
        copy.result = JudgeHstTest(sent, prepared, blocks);
        judged.push_back(std::move(copy));
    }
    // A copy with another number of blocks is judged all the same; the difference is told.
    for (const JudgedCopy& copy : judged) {
        if (copy.blocks == sent.size()) {
            continue;
        }
        const std::string counts = "warning: " + copy.name + ": " + std::to_string(copy.blocks) +
                                   (copy.blocks == 1 ? " block for " : " blocks for ") + std::to_string(sent.size()) +
                                   (sent.size() == 1 ? " text; " : " texts; ");
        PrintFailure(counts + (copy.blocks < sent.size()
                                   ? "every character of the texts without a block counts as an error"
                                   : "the blocks after the last text are not judged"));
    }
    if (a.format == "json") {
        const std::string json = HstResultsJson(judged, sent.size()); // JSON is always UTF-8
        std::fwrite(json.data(), 1, json.size(), stdout);
        std::fflush(stdout);
    } else {
        const std::string text = a.format == "csv" ? HstResultsCsv(judged) : HstResultsTable(judged);
        PrintText(options, Utf8ToCp1251(text));
    }
    return 0;
}

Command SetUpJudge(CLI::App& command) {
    auto a = std::make_shared<JudgeArgs>();
    command.add_option("--protocol", a->protocolPath, "the competition's protocol (Windows-1251 or UTF-8)")
        ->required()
        ->type_name("FILE");
    command
        .add_option_function<std::string>(
            "--copy", [a](const std::string& v) { a->copyPaths.push_back(v); },
            "one student's copy: a block per text, blocks separated by an empty line (repeat for each student)")
        ->required()
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->trigger_on_parse()
        ->type_name("FILE");
    AddFormatOption(command, a->format, {"table", "csv", "json"});
    AddEncodingOption(command, a->options);
    AddArguments(command, a->options);
    return [a] { return RunJudge(*a); };
}

const RegisterCommand kRegisterJudge("judge", SetUpJudge,
                                     std::string("judge --protocol FILE --copy FILE [--copy FILE ...] "
                                                 "[--format table|csv|json] ") +
                                         kEncodingUsage + "  (judges each copy against the protocol's texts: at most " +
                                         std::to_string(kHstMaxValidErrors) + " errors is valid)");

} // namespace
} // namespace qlor::cli
