#pragma once
// A memo's text as the system reads and writes it: Windows-1251 bytes with CR LF between lines,
// exactly as the box holds it. Characters the code page cannot hold read as kUnmappableByte, so
// they act as characters without a Morse entry and never as a keyable "?".
#include <QString>

#include <string>
#include <string_view>

class QPlainTextEdit;

namespace qlor {

// Text of a memo: lines separated by CR LF, no line break added after the last line.
std::string MemoBytes(const QPlainTextEdit* memo);
// Puts Windows-1251 bytes into a memo; every CR LF, lone CR and lone LF becomes one line break.
void SetMemoBytes(QPlainTextEdit* memo, std::string_view cp1251);

// The two conversions behind them, usable without a widget.
// cp1251 bytes -> text for a memo, lines separated by '\n'.
QString MemoTextFromBytes(std::string_view cp1251);
// Raw text of a memo (QTextDocument::toRawText: paragraph and line separators, no-break spaces
// kept) -> cp1251 bytes with CR LF between lines.
std::string BytesFromMemoText(const QString& rawText);

// Characters per line of a memo at the width of its text area (the box without its frame, an
// always-shown vertical scroll bar and the document's margins), in widths of "M". Worked out from
// the geometry, so it is the same whether or not the window has been laid out on screen.
int MemoWrapCharsOf(const QPlainTextEdit* memo);

// Selects the first `chars` characters of a memo (all of a shorter text).
void SelectLeadingChars(QPlainTextEdit* memo, int chars);

// The copy box made ready for an operator's copy: emptied, given `firstLine` (cp1251; none when
// empty) with the cursor after it, so that the operator goes on below it, and focused.
void StartCopy(QPlainTextEdit* copy, const std::string& firstLine);

// Windows-1251 <-> QString for single-line texts (captions, edits).
QString FromCp1251(std::string_view cp1251);
std::string ToCp1251(const QString& text);

} // namespace qlor
