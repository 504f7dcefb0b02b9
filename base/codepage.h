#pragma once
// Windows-1251 text helpers. Inside the core every text is an 8-bit Windows-1251 string
// (std::string holding cp1251 bytes). Conversion to and from UTF-8 happens only at the edges
// (command line, window, language files shown in the window) through iconv.
#include <string>
#include <string_view>

namespace qlor {

// Byte used for a character that Windows-1251 cannot hold. 0x98 is unassigned in the code page,
// has no Morse entry and is not trimmed as white space, so such a character acts as a character
// without an entry (a word gap), never as a keyable "?".
inline constexpr unsigned char kUnmappableByte = 0x98;

// Upper-casing by the code page's rules for Latin and Cyrillic letters (a-z, а-я, ё and the
// other Cyrillic small letters of the code page). Every other byte is returned unchanged.
unsigned char UpCase1251(unsigned char c);
std::string UpperCase1251(std::string_view text);
inline bool SameIgnoringCase1251(unsigned char a, unsigned char b) {
    return UpCase1251(a) == UpCase1251(b);
}

// UTF-8 -> Windows-1251. Code points the code page cannot hold, and bytes that are not valid
// UTF-8, become kUnmappableByte (one byte per code point / per invalid byte).
std::string Utf8ToCp1251(std::string_view utf8);
// Windows-1251 -> UTF-8. kUnmappableByte decodes to U+FFFD, so a round trip keeps it.
std::string Cp1251ToUtf8(std::string_view cp1251);

// True when the bytes are well-formed UTF-8 (no overlong form, no surrogate, at most U+10FFFF).
// Windows-1251 text with letters beyond ASCII almost never is, so this tells the two apart.
bool IsValidUtf8(std::string_view bytes);

// A cp1251 string from a UTF-8 literal in the source (for the system's own Russian texts).
inline std::string Cp(std::string_view utf8) {
    return Utf8ToCp1251(utf8);
}

// Removes every byte of value 0x20 or less from both ends.
std::string_view Trim1251(std::string_view text);

} // namespace qlor
