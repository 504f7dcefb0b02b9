#include "textgen/radiogram.h"

#include "base/codepage.h"
#include "textgen/chaos_random.h"

#include <algorithm>
#include <array>

namespace qlor {
namespace {

constexpr int kRestrictedLow = 1;
constexpr int kRestrictedHigh = 72;
constexpr int kDrawLimit = 1000;        // draws examined for one candidate
constexpr int kRedrawRoundLimit = 1000; // rounds of the no-three-in-a-row re-draw
constexpr int kNumberCodeType = 3;      // "NC": index 27 is written as "T"
constexpr int kZeroIndex = 27;
constexpr std::size_t kReserveLimit = 1 << 24; // [bytes] never pre-allocate more than this

char SymbolByte(int index) {
    if (index >= 1 && index <= 26) {
        return static_cast<char>(64 + index);
    }
    if (index >= 27 && index <= 36) {
        return static_cast<char>(21 + index);
    }
    switch (index) {
    case 37:
        return '.';
    case 38:
        return ',';
    case 39:
        return '?';
    case 40:
        return '/';
    case 41:
        return '=';
    default:
        break;
    }
    if (index >= 42 && index <= 67) {
        return static_cast<char>(150 + index); // А..Щ, 0xC0..0xD9
    }
    if (index >= 68 && index <= 72) {
        return static_cast<char>(151 + index); // Ы Ь Э Ю Я, 0xDB..0xDF (Ъ is skipped)
    }
    return ' ';
}

struct IndexRange {
    int low;
    int high;
};

IndexRange TypeRange(int textType) {
    switch (textType) {
    case 1:
        return {42, 72};
    case 2:
    case 3:
        return {27, 36};
    case 4:
        return {1, 36};
    case 5:
        return {1, 41};
    default:
        return {1, 26};
    }
}

} // namespace

std::string SymbolByIndex(int index) {
    return std::string(1, SymbolByte(index));
}

GenerateResult GenerateText(const GenerateParams& params) {
    GenerateResult result;
    if (params.groupCount <= 0) {
        return result;
    }
    const bool restricted = !params.selected.empty();
    const int groupLength = params.charInGroup == 0 ? 10 : params.charInGroup;
    const bool noThreeInARow = params.symbolMemoLength >= 2;

    // Bytes of the upper-cased list, so a drawn character is tested in constant time.
    std::array<bool, 256> allowed{};
    for (unsigned char c : UpperCase1251(params.selected)) {
        allowed[c] = true;
    }

    ChaosRandom rng;
    const IndexRange range = restricted ? IndexRange{kRestrictedLow, kRestrictedHigh} : TypeRange(params.textType);
    rng.SeedRandom(range.low, range.high, params.d1, params.d2, params.d3, params.d4);

    // One candidate: the first draw whose character is in the list, within the draw limit.
    auto draw = [&](int& candidate) {
        for (int i = 0; i < kDrawLimit; ++i) {
            candidate = rng.NextRandom();
            if (!restricted || allowed[static_cast<unsigned char>(SymbolByte(candidate))]) {
                return true;
            }
        }
        return false;
    };

    std::string& body = result.body;
    const auto perGroup = static_cast<std::size_t>(std::max(groupLength, 0)) + 1;
    body.reserve(std::min(kReserveLimit, perGroup * static_cast<std::size_t>(params.groupCount)));
    for (int g = 0; g < params.groupCount; ++g) {
        int prev = 0;
        int prevprev = 0;
        for (int k = 0; k < groupLength; ++k) {
            int c = 0;
            if (!draw(c)) {
                return {std::string(), true};
            }
            if (noThreeInARow && prev == prevprev && c == prev) {
                // Each re-draw has a fresh draw limit. The number of rounds is bounded as well,
                // so a list with one usable character cannot keep the loop alive: with two or
                // more usable characters a thousand equal rounds in a row do not happen.
                int rounds = 0;
                do {
                    if (!draw(c)) {
                        return {std::string(), true};
                    }
                } while (c == prev && ++rounds < kRedrawRoundLimit);
                if (c == prev) {
                    return {std::string(), true};
                }
            }
            prevprev = prev;
            prev = c;
            body += (params.textType == kNumberCodeType && c == kZeroIndex) ? 'T' : SymbolByte(c);
        }
        body += ' ';
    }
    return result;
}

std::string RadiogramHeader(const RadiogramControls& controls) {
    if (!controls.needHeader) {
        return {};
    }
    return (controls.headerStandard ? std::string(kStandardHeader) : controls.beginChar) + "\r\n";
}

std::string RadiogramEnding(const RadiogramControls& controls) {
    if (!controls.needEnded) {
        return {};
    }
    return controls.endedStandard ? std::string("\r\n*") : controls.endChar;
}

GenerateParams RadiogramGenerateParams(const RadiogramControls& controls) {
    const TransmissionSettings& s = controls.settings;
    GenerateParams params;
    params.groupCount = GroupsToSend(s);
    params.textType = s.textType;
    params.d1 = s.number[0];
    params.d2 = s.number[1];
    params.d3 = s.number[2];
    params.d4 = s.number[3];
    params.selected = controls.allSymbols ? std::string() : controls.selectedSymbols;
    params.charInGroup = s.charInGroup;
    params.symbolMemoLength = controls.selectedSymbols.size();
    return params;
}

ComposeResult ComposeRadiogram(const RadiogramControls& controls) {
    ComposeResult out;
    Radiogram& r = out.radiogram;
    if (controls.ownText) {
        // The memo is sent as it stands; an empty memo is first given "*".
        r.body = controls.memoText.empty() ? std::string("*") : controls.memoText;
        r.displayed = r.body;
        return out;
    }
    r.header = RadiogramHeader(controls);

    const GenerateParams params = RadiogramGenerateParams(controls);
    GenerateResult generated = GenerateText(params);
    if (generated.failed || (!params.selected.empty() && generated.body.empty())) {
        out.failed = true;
        r.header.clear();
        return out;
    }
    r.body = std::move(generated.body);
    r.ending = RadiogramEnding(controls);
    r.displayed = r.header + r.body + r.ending;
    if (r.displayed.empty()) {
        r.displayed.assign(1, '*');
    }
    return out;
}

} // namespace qlor
