#include "shell/memo_text.h"

#include "base/codepage.h"
#include "exercises/reception_check.h"

#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyle>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

namespace qlor {

QString FromCp1251(std::string_view cp1251) {
    const std::string utf8 = Cp1251ToUtf8(cp1251);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToCp1251(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return Utf8ToCp1251(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

QString MemoTextFromBytes(std::string_view cp1251) {
    // Line breaks first, on the bytes: CR LF, a lone CR and a lone LF are one break each.
    std::string lines;
    lines.reserve(cp1251.size());
    for (size_t i = 0; i < cp1251.size(); ++i) {
        const char c = cp1251[i];
        if (c == '\r') {
            lines.push_back('\n');
            if (i + 1 < cp1251.size() && cp1251[i + 1] == '\n')
                ++i;
        } else {
            lines.push_back(c);
        }
    }
    return FromCp1251(lines);
}

std::string BytesFromMemoText(const QString& rawText) {
    QString text = rawText;
    for (QChar& ch : text) {
        // Paragraph ends and the soft line break of Shift+Enter are both line breaks of the memo.
        if (ch == QChar::ParagraphSeparator || ch == QChar::LineSeparator || ch == QChar(u'\r'))
            ch = u'\n';
    }
    const std::string cp = ToCp1251(text);
    std::string out;
    out.reserve(cp.size() + cp.size() / 16);
    for (const char c : cp) {
        if (c == '\n')
            out += "\r\n";
        else
            out.push_back(c);
    }
    return out;
}

std::string MemoBytes(const QPlainTextEdit* memo) {
    return BytesFromMemoText(memo->document()->toRawText());
}

void SetMemoBytes(QPlainTextEdit* memo, std::string_view cp1251) {
    memo->setPlainText(MemoTextFromBytes(cp1251));
}

int MemoWrapCharsOf(const QPlainTextEdit* memo) {
    int width = memo->width() - 2 * memo->frameWidth(); // [px] of the text area
    if (memo->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn)
        width -= memo->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, memo->verticalScrollBar());
    width -= 2 * static_cast<int>(std::ceil(memo->document()->documentMargin()));
    const QFontMetrics metrics(memo->font());
    return WrapWidthChars(width, metrics.horizontalAdvance(QLatin1Char('M')));
}

void SelectLeadingChars(QPlainTextEdit* memo, int chars) {
    QTextCursor selection(memo->document());
    selection.setPosition(0);
    selection.setPosition(std::min(chars, memo->document()->characterCount() - 1), QTextCursor::KeepAnchor);
    memo->setTextCursor(selection);
}

void StartCopy(QPlainTextEdit* copy, const std::string& firstLine) {
    copy->clear();
    if (!firstLine.empty()) {
        SetMemoBytes(copy, firstLine);
        copy->moveCursor(QTextCursor::End);
    }
    copy->setFocus(Qt::OtherFocusReason);
}

} // namespace qlor
