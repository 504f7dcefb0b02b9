#include "base/codepage.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <iconv.h>

namespace qlor {
namespace {

// Small Cyrillic letters of Windows-1251 outside the contiguous а..я block, and their capitals.
constexpr std::array<std::pair<unsigned char, unsigned char>, 14> kCyrillicPairs{{
    {0x83, 0x81}, // ѓ Ѓ
    {0x90, 0x80}, // ђ Ђ
    {0x9A, 0x8A}, // љ Љ
    {0x9C, 0x8C}, // њ Њ
    {0x9D, 0x8D}, // ќ Ќ
    {0x9E, 0x8E}, // ћ Ћ
    {0x9F, 0x8F}, // џ Џ
    {0xA2, 0xA1}, // ў Ў
    {0xB3, 0xB2}, // і І
    {0xB4, 0xA5}, // ґ Ґ
    {0xB8, 0xA8}, // ё Ё
    {0xBA, 0xAA}, // є Є
    {0xBC, 0xA3}, // ј Ј
    {0xBE, 0xBD}, // ѕ Ѕ
}};

constexpr std::array<unsigned char, 256> MakeUpperTable() {
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i) {
        t[i] = static_cast<unsigned char>(i);
    }
    for (int c = 'a'; c <= 'z'; ++c) {
        t[c] = static_cast<unsigned char>(c - 0x20);
    }
    for (int c = 0xE0; c <= 0xFF; ++c) {
        t[c] = static_cast<unsigned char>(c - 0x20);
    }
    for (auto [small, capital] : kCyrillicPairs) {
        t[small] = capital;
    }
    return t;
}

constexpr std::array<unsigned char, 256> kUpper = MakeUpperTable();

// Converts with iconv; on an unconvertible sequence writes `substitute` and skips one input
// unit (one code point for UTF-8 input if it is valid, else one byte).
std::string Convert(const char* to, const char* from, std::string_view input, std::string_view substitute,
                    bool fromUtf8) {
    std::string out;
    if (input.empty()) {
        return out;
    }
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return out;
    }
    out.reserve(input.size() * (fromUtf8 ? 1 : 2));
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    std::array<char, 4096> buffer;
    while (inLeft > 0) {
        char* outPtr = buffer.data();
        size_t outLeft = buffer.size();
        size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer.data(), buffer.size() - outLeft);
        if (rc != static_cast<size_t>(-1)) {
            continue;
        }
        if (errno == E2BIG) {
            continue;
        }
        // EILSEQ or EINVAL: substitute one unit and go on.
        size_t skip = 1;
        if (fromUtf8) {
            unsigned char lead = static_cast<unsigned char>(*in);
            size_t len = lead < 0x80           ? 1
                         : (lead >> 5) == 0x6  ? 2
                         : (lead >> 4) == 0xE  ? 3
                         : (lead >> 3) == 0x1E ? 4
                                               : 1;
            bool valid = len <= inLeft && len > 1;
            for (size_t k = 1; valid && k < len; ++k) {
                valid = (static_cast<unsigned char>(in[k]) & 0xC0) == 0x80;
            }
            skip = valid ? len : 1;
        }
        out.append(substitute);
        in += skip;
        inLeft -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return out;
}

} // namespace

unsigned char UpCase1251(unsigned char c) {
    return kUpper[c];
}

std::string UpperCase1251(std::string_view text) {
    std::string out(text);
    for (char& ch : out) {
        ch = static_cast<char>(kUpper[static_cast<unsigned char>(ch)]);
    }
    return out;
}

std::string Utf8ToCp1251(std::string_view utf8) {
    return Convert("CP1251", "UTF-8", utf8, std::string_view("\x98", 1), true);
}

std::string Cp1251ToUtf8(std::string_view cp1251) {
    // 0x98 is unassigned in the code page; iconv refuses it, and it decodes to U+FFFD.
    return Convert("UTF-8", "CP1251", cp1251, "\xEF\xBF\xBD", false);
}

bool IsValidUtf8(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        // The sequence's length, its smallest code point (shorter forms are overlong) and the
        // lead byte's bits of the code point.
        const size_t len = (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
        if (len == 0) {
            return false;
        }
        const uint32_t min = len == 2 ? 0x80 : len == 3 ? 0x800 : 0x10000;
        uint32_t cp = lead & (0x7Fu >> len);
        if (i + len > bytes.size()) {
            return false;
        }
        for (size_t k = 1; k < len; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            cp = (cp << 6) | (next & 0x3Fu);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        i += len;
    }
    return true;
}

std::string_view Trim1251(std::string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= 0x20) {
        ++begin;
    }
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 0x20) {
        --end;
    }
    return text.substr(begin, end - begin);
}

} // namespace qlor
