#pragma once
// The main window's look: its fonts, the memos' font and colours, the parameters page's picture,
// and where a window shows itself.
#include <QFont>
#include <QPixmap>

#include <initializer_list>

class QPlainTextEdit;
class QWidget;

namespace qlor {

// The window's own text font: small, like the classic dialog font the layout was drawn for.
QFont WindowFont();
// A decorative picture for the parameters page: the program's name and its Morse code.
QPixmap DecorativePicture(QSize size);
// Memos show their text in a 20-pixel fixed-pitch "Courier" (or the desktop's monospace font),
// black on white, wrapped at the widget's width; Tab leaves them. The wrapping memos (the sent
// text and the copy, which wrap at the same width) always show their vertical scroll bar.
void StyleMemos(std::initializer_list<QPlainTextEdit*> wrappingMemos, std::initializer_list<QPlainTextEdit*> others);
// The main window's frame: the product's full title, the window font, and a fixed dialog frame
// of the client area's size with the system menu, close and context-help boxes and no minimise or
// maximise box.
void SetMainWindowFrame(QWidget* window);
// Moves a window to the middle of its screen's available area.
void CentreOnScreen(QWidget* window);
// Shows a window, out of its minimised state, in front of the others and active.
void BringForward(QWidget* window);

} // namespace qlor
