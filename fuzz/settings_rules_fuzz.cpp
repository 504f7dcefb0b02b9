// libFuzzer entry for the settings rules over read values: whatever the store holds (any kind,
// any integer, any text), the loaded settings are within their ranges (the language position may
// be negative: no list item is then selected), and saving and loading them again gives them back
// unchanged.
#include "control/panel_steps.h"
#include "control/settings_store.h"
#include "fuzz/fuzz_input.h"
#include "tests/support/memory_settings_store.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qlor::fuzz::Input in(data, size);
    qlor::test::MemorySettingsStore store;
    store.keyExists = in.Byte() != 0;
    std::vector<std::string> names;
    for (std::string_view name : qlor::PersistedValueNames()) {
        names.emplace_back(name);
    }
    names.emplace_back(qlor::kVoiceValueName);
    for (const std::string& name : names) {
        switch (in.Byte() % 4) {
        case 0:
            break; // missing
        case 1:
            store.values[name] = static_cast<std::int32_t>(
                static_cast<uint32_t>(in.Byte()) | (static_cast<uint32_t>(in.Byte()) << 8) |
                (static_cast<uint32_t>(in.Byte()) << 16) | (static_cast<uint32_t>(in.Byte()) << 24));
            break;
        case 2:
            store.values[name] = std::string(in.Part());
            break;
        default:
            store.values[name] = qlor::test::MemorySettingsStore::OtherKind{};
            break;
        }
    }
    const int lastLanguage = in.Byte() % 8;
    const qlor::LoadOutcome loaded = qlor::LoadPersistedSettings(store, lastLanguage);
    const qlor::PersistedSettings& v = loaded.values;
    if (!(qlor::ClampToRange(v.transmission) == v.transmission) || qlor::ClampTone(v.tone) != v.tone ||
        v.language > lastLanguage) {
        std::abort();
    }
    qlor::test::MemorySettingsStore again;
    if (!qlor::SavePersistedSettings(again, v).ok) {
        std::abort();
    }
    if (!(qlor::LoadPersistedSettings(again, lastLanguage).values == v)) {
        std::abort();
    }
    return 0;
}
