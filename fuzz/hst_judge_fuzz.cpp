// libFuzzer entry for judging a class: any protocol and copy file are read and judged (no crash,
// no endless loop), and every error count equals the plain edit-distance table's.
#include "exercises/check_alignment.h"
#include "exercises/competition.h"
#include "exercises/hst_judge.h"
#include "fuzz/fuzz_input.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qlor::fuzz::Input in(data, size);
    const std::string_view protocol = in.Part();
    const std::string_view copy = in.Rest();
    const qlor::ProtocolReading reading = qlor::ReadProtocolTexts(protocol);
    std::vector<qlor::HstSentText> sent;
    for (const qlor::ProtocolText& text : reading.texts) {
        sent.push_back({text.speed, text.body, !text.training});
    }
    const std::vector<std::string> blocks = qlor::SplitCopyBlocks(copy);
    const qlor::HstResult result = qlor::JudgeHstTest(sent, blocks);
    if (result.texts.size() != sent.size()) {
        std::abort();
    }
    for (std::size_t i = 0; i < sent.size() && i < blocks.size(); ++i) {
        // The folded texts hold no white space, so the alignment's count is the plain distance.
        const std::string folded = qlor::FoldForJudging(sent[i].text);
        const std::string heard = qlor::FoldForJudging(blocks[i]);
        if (folded.size() <= 600 && heard.size() <= 600 &&
            result.texts[i].errors != qlor::AlignCopy(folded, heard).counts.Errors()) {
            std::abort();
        }
    }
    return 0;
}
