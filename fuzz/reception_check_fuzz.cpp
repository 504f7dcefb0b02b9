// libFuzzer entry for the reception check: any sent text and copy, at any line width, give a
// check list (no crash, no endless loop).
#include "exercises/reception_check.h"
#include "fuzz/fuzz_input.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qlor::fuzz::Input in(data, size);
    qlor::CheckHead head;
    head.ownText = (in.Byte() & 1) != 0;
    const int width = in.Int(1, 200);
    const std::string_view sent = in.Part();
    const std::string_view copy = in.Rest();
    const qlor::CheckList list = qlor::BuildCheckList(head, qlor::WrapLines(sent, width), qlor::WrapLines(copy, width));
    if (list.Text().empty()) {
        std::abort();
    }
    return 0;
}
