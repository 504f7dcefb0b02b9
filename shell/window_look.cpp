#include "shell/window_look.h"

#include "shell/window_pages.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>

namespace qlor {
namespace {

// Memos show their text in a 20-pixel fixed-pitch "Courier", or the desktop's monospace font.
QFont MemoFont() {
    QFont f;
    f.setFamilies({QStringLiteral("Courier"), QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"),
                   QStringLiteral("DejaVu Sans Mono")});
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    f.setPixelSize(20);
    return f;
}

} // namespace

QFont WindowFont() {
    QFont f;
    f.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                   QStringLiteral("DejaVu Sans")});
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(11);
    return f;
}

QPixmap DecorativePicture(QSize size) {
    QPixmap pm(size);
    QPainter p(&pm);
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, QColor(16, 32, 64));
    g.setColorAt(1, QColor(4, 8, 20));
    p.fillRect(pm.rect(), g);
    p.setRenderHint(QPainter::Antialiasing);
    QFont f;
    f.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    f.setPixelSize(20);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(230, 230, 230));
    p.drawText(QRect(0, 10, size.width(), 30), Qt::AlignCenter, QStringLiteral("QLOR-2000"));
    // Q L O R in dots and dashes, one letter a row.
    const char* letters[] = {"--.-", ".-..", "---", ".-."};
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 200, 40));
    int y = 60;
    for (const char* code : letters) {
        int x = 20;
        for (const char* c = code; *c; ++c) {
            if (*c == '.') {
                p.drawEllipse(QRectF(x, y, 10, 10));
                x += 18;
            } else {
                p.drawRoundedRect(QRectF(x, y, 30, 10), 5, 5);
                x += 38;
            }
        }
        y += 28;
    }
    return pm;
}

void StyleMemos(std::initializer_list<QPlainTextEdit*> wrappingMemos, std::initializer_list<QPlainTextEdit*> others) {
    for (const auto& memos : {wrappingMemos, others}) {
        for (QPlainTextEdit* memo : memos) {
            memo->setFont(MemoFont());
            memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
            memo->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            memo->setTabChangesFocus(true);
            QPalette p = memo->palette();
            p.setColor(QPalette::Base, Qt::white);
            p.setColor(QPalette::Text, Qt::black);
            memo->setPalette(p);
        }
    }
    // The sent text and the copy wrap at the same width, so their scroll bars are always there.
    for (QPlainTextEdit* memo : wrappingMemos)
        memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void SetMainWindowFrame(QWidget* window) {
    window->setWindowTitle(QString::fromLatin1(kFullTitle));
    window->setFont(WindowFont());
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint);
    window->setFixedSize(kClientWidth, kClientHeight);
}

void CentreOnScreen(QWidget* window) {
    if (const QScreen* screen = window->screen()) {
        const QRect area = screen->availableGeometry();
        window->move(area.center() - QPoint(window->width() / 2, window->height() / 2));
    }
}

void BringForward(QWidget* window) {
    if (window->isMinimized())
        window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace qlor
