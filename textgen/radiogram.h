#pragma once
// Practice texts: groups of random characters, framed as a radiogram with header and ending.
#include "synthesis/transmission_settings.h"

#include <string>
#include <string_view>

namespace qlor {

// Index 1..72 -> one cp1251 character (73 and above: a space).
std::string SymbolByIndex(int index);

struct GenerateParams {
    int groupCount = 0;
    int textType = 0;
    int d1 = 0, d2 = 0, d3 = 0, d4 = 0; // d4 may carry an offset
    std::string selected;               // cp1251; empty = all symbols of the type
    int charInGroup = 5;                // "Char In Groupe"; 0 means 10
    // Length in bytes of the symbol memo's text exactly as the box holds it (CR LF counts 2);
    // the no-three-in-a-row rule applies only while it is at least 2.
    std::size_t symbolMemoLength = 0;
};

struct GenerateResult {
    std::string body;    // groups, each followed by one space
    bool failed = false; // the selected symbols could not fill a position within 1000 draws
};
GenerateResult GenerateText(const GenerateParams& params);

// The standard header line before a body: sent by Run, typed into the copy by automatic
// reception, and the line before each body of a competition protocol.
inline constexpr std::string_view kStandardHeader = "vvv=";

// The states of the controls that composing a radiogram reads (all texts cp1251, memos
// exactly as their boxes hold them, CR LF between lines).
struct RadiogramControls {
    TransmissionSettings settings;
    bool ownText = false; // "Text Type" (CheckBoxTextType)
    std::string memoText; // MemoText
    bool needHeader = true;
    bool headerStandard = true; // HeaderStandart checked (else the user header BeginChar)
    std::string beginChar = "VVV=";
    bool needEnded = true;
    bool endedStandard = true; // EndedStandart checked (else the user ending EndChar)
    std::string endChar = "AR";
    bool allSymbols = true;      // AllSymbols checked
    std::string selectedSymbols; // MemoSelectedSymbols text
};

struct Radiogram {
    std::string header;
    std::string body;
    std::string ending;
    std::string displayed; // what MemoText receives
};

struct ComposeResult {
    Radiogram radiogram;
    bool failed = false; // generation failed: the Run must stop (caller shows the message)
};
ComposeResult ComposeRadiogram(const RadiogramControls& controls);

// Header and ending of ComposeRadiogram (steps 3 and 6), shared with the batch export.
std::string RadiogramHeader(const RadiogramControls& controls); // "" / "vvv=\r\n" / BeginChar + "\r\n"
std::string RadiogramEnding(const RadiogramControls& controls); // "" / "\r\n*" / EndChar
// The generator's parameters for the controls' groups, type, text number (d4 without an offset)
// and symbol list, shared with the batch export.
GenerateParams RadiogramGenerateParams(const RadiogramControls& controls);

} // namespace qlor
