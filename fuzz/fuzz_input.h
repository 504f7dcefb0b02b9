#pragma once
// Splitting one fuzz input into the parts a target needs.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qlor::fuzz {

class Input {
public:
    Input(const uint8_t* data, size_t size) : rest_(reinterpret_cast<const char*>(data), size) {}

    // The next byte (0 when none is left).
    uint8_t Byte() {
        if (rest_.empty()) {
            return 0;
        }
        const auto b = static_cast<uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return b;
    }
    int Int(int min, int max) { return min + static_cast<int>((Byte() | (Byte() << 8)) % (max - min + 1)); }
    // Up to the next zero byte (which is dropped), or the rest.
    std::string_view Part() {
        const size_t zero = rest_.find('\0');
        const std::string_view part = rest_.substr(0, zero);
        rest_.remove_prefix(zero == std::string_view::npos ? rest_.size() : zero + 1);
        return part;
    }
    std::string_view Rest() {
        const std::string_view rest = rest_;
        rest_ = {};
        return rest;
    }
    bool Empty() const { return rest_.empty(); }

private:
    std::string_view rest_;
};

} // namespace qlor::fuzz
