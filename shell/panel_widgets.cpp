#include "shell/panel_widgets.h"

#include "shell/qt_program_text.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionButton>

namespace qlor {

Indicator::Indicator(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignCenter);
    setAutoFillBackground(true);
    setMargin(0);
    setIndent(0);
    QFont f;
    f.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                   QStringLiteral("DejaVu Sans")});
    f.setPixelSize(kFontPixels);
    setFont(f);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, Qt::white);
    p.setColor(QPalette::Disabled, QPalette::WindowText, Qt::white);
    setPalette(p);
    SetBackground(kIndicatorBlack);
    // A value cell is read by screen readers but takes no keyboard focus.
    setFocusPolicy(Qt::NoFocus);
}

void Indicator::SetBackground(const QColor& colour) {
    QPalette p = palette();
    p.setColor(QPalette::Window, colour);
    p.setColor(QPalette::Disabled, QPalette::Window, colour);
    setPalette(p);
}

QColor Indicator::Background() const {
    return palette().color(QPalette::Window);
}

void Indicator::SetSubject(const QString& subject) {
    subject_ = subject;
    UpdateAccessibleName();
}

void Indicator::ShowValue(const QString& text) {
    if (text == this->text())
        return;
    setText(text);
    UpdateAccessibleName();
}

void Indicator::UpdateAccessibleName() {
    if (subject_.isEmpty())
        return;
    setAccessibleName(subject_ + QStringLiteral(": ") + text());
}

StepButton::StepButton(QWidget* parent) : QToolButton(parent) {
    setFixedSize(kWidth, kHeight);
    setFocusPolicy(Qt::StrongFocus);
    setAutoRepeat(false);
}

void StepButton::setStepsUp(bool up) {
    up_ = up;
    update();
}

void StepButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QStyleOptionButton opt;
    opt.initFrom(this);
    opt.features = QStyleOptionButton::None;
    if (isDown())
        opt.state |= QStyle::State_Sunken;
    else
        opt.state |= QStyle::State_Raised;
    style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &opt, &p, this);

    // A small triangle pointing up or down in the middle of the button.
    const QColor ink =
        isEnabled() ? palette().color(QPalette::ButtonText) : palette().color(QPalette::Disabled, QPalette::ButtonText);
    const qreal cx = width() / 2.0;
    const qreal cy = height() / 2.0 + (isDown() ? 1.0 : 0.0);
    QPainterPath arrow;
    if (up_) {
        arrow.moveTo(cx - 2.5, cy + 1.5);
        arrow.lineTo(cx + 2.5, cy + 1.5);
        arrow.lineTo(cx, cy - 1.5);
    } else {
        arrow.moveTo(cx - 2.5, cy - 1.5);
        arrow.lineTo(cx + 2.5, cy - 1.5);
        arrow.lineTo(cx, cy + 1.5);
    }
    arrow.closeSubpath();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.fillPath(arrow, ink);
    p.setRenderHint(QPainter::Antialiasing, false);

    // The button is tiny, so keyboard focus is shown as a strong frame in the highlight colour.
    if (hasFocus()) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 1));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

Lamp::Lamp(QWidget* parent)
    : QLabel(parent), idleName_(QProgramText(Say::AccTransmissionLampIdle, TextLanguage::English)),
      onAirName_(QProgramText(Say::AccTransmissionLampOnAir, TextLanguage::English)) {
    setFixedSize(kWidth, kHeight);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);
    SetOnAir(false);
}

void Lamp::SetOnAir(bool onAir) {
    onAir_ = onAir;
    QPalette p = palette();
    const QColor c = onAir ? kLampOnAir : kLampIdle;
    p.setColor(QPalette::Window, c);
    p.setColor(QPalette::Disabled, QPalette::Window, c);
    setPalette(p);
    setAccessibleName(onAir ? onAirName_ : idleName_);
}

void Lamp::SetAccessibleNames(const QString& idle, const QString& onAir) {
    idleName_ = idle;
    onAirName_ = onAir;
    setAccessibleName(onAir_ ? onAirName_ : idleName_);
}

QColor Lamp::Colour() const {
    return palette().color(QPalette::Window);
}

} // namespace qlor
