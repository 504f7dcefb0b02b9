#pragma once
// The options that say how a sound file is rendered, written once for `render` and for the sound
// files of `export --audio`.
#include "audio/offline_render.h"

#include <CLI/CLI.hpp>

#include <functional>

namespace qlor::cli {

// --voice --noise --midi-level --noise-level into `request`; `given` (when set) is called for each
// of them given. `prefix` goes in front of each meaning in the help ("with --audio: ").
void AddRenderSoundOptions(CLI::App& command, RenderRequest& request, std::function<void()> given = {},
                           const std::string& prefix = "");

} // namespace qlor::cli
