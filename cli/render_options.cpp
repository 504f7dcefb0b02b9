#include "cli/render_options.h"

#include "cli/options.h"

#include <utility>

namespace qlor::cli {

void AddRenderSoundOptions(CLI::App& command, RenderRequest& request, std::function<void()> given,
                           const std::string& prefix) {
    auto set = [given = std::move(given)](auto apply) {
        return [given, apply](const auto& value) {
            apply(value);
            if (given) {
                given();
            }
        };
    };
    RenderRequest* r = &request;
    command
        .add_option_function<std::string>("--voice", set([r](const std::string& v) { ParseVoiceName(v, r->voice); }),
                                          prefix + "the signal's voice")
        ->check(NameOf(ParseVoiceName, "soundfont, tone or auto"))
        ->type_name("soundfont|tone|auto");
    command
        .add_option_function<std::string>("--noise", set([r](const std::string& v) { r->noisePath = v; }),
                                          prefix + "a noise recording, looped under the signal")
        ->type_name("FILE");
    command
        .add_option_function<int>("--midi-level", set([r](int v) { r->midiLevel = static_cast<uint16_t>(v); }),
                                  prefix + "the level of the signal")
        ->transform(IntIn(0, 65535))
        ->type_name("N");
    command
        .add_option_function<int>("--noise-level", set([r](int v) { r->noiseLevel = static_cast<uint16_t>(v); }),
                                  prefix + "the level of the noise")
        ->transform(IntIn(0, 65535))
        ->type_name("N");
}

} // namespace qlor::cli
