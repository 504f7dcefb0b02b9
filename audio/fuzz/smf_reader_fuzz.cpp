// libFuzzer entry for the SMF reader and the sequencer: any bytes must parse to an error or to
// a song whose events all lie within its length. Built only with clang (QLOR_FUZZ=ON):
//   smf_reader_fuzz -max_total_time=60 CORPUS_DIR
#include "audio/sequencer.h"
#include "audio/smf_reader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const qlor::SmfResult song = qlor::ParseSmf(std::span<const uint8_t>(data, size));
    if (!song.ok()) {
        return 0;
    }
    const qlor::TimelineResult timeline = qlor::ScheduleSong(song.song, 48000);
    if (!timeline.ok()) {
        return 0;
    }
    for (const qlor::TimedEvent& event : timeline.timeline.events) {
        if (event.frame > timeline.timeline.lengthFrames ||
            (event.partner != qlor::kNoPartner && event.partner >= timeline.timeline.events.size())) {
            std::abort();
        }
    }
    return 0;
}
