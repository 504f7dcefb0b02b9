#pragma once
// The small widgets of the settings panels: the black value cells (indicators), the caption-less
// step buttons beside them and the on-air lamps of the pages with Run and Stop.
#include <QColor>
#include <QLabel>
#include <QToolButton>

namespace qlor {

// Colours as the window uses them.
inline const QColor kIndicatorBlack{0, 0, 0};
inline const QColor kIndicatorRed{255, 0, 0}; // colour value 255: pure red
inline const QColor kLampIdle{192, 192, 192}; // colour value 12632256: silver
inline const QColor kLampOnAir{255, 0, 0};

// A value cell: fixed-size label, white 24-pixel text centred on a coloured (normally black)
// background. Digit cells are 21 x 33 pixels, the wider cells 45 x 33 pixels.
class Indicator : public QLabel {
    Q_OBJECT
public:
    static constexpr int kDigitWidth = 21; // [px]
    static constexpr int kWideWidth = 45;  // [px]
    static constexpr int kHeight = 33;     // [px]
    static constexpr int kFontPixels = 24; // [px]

    explicit Indicator(QWidget* parent = nullptr);

    void SetBackground(const QColor& colour);
    QColor Background() const;

    // What a screen reader announces, e.g. "Speed hundreds digit"; the value is appended as ": 5".
    void SetSubject(const QString& subject);
    // Shows a value and keeps the accessible name in step with it.
    void ShowValue(const QString& text);

private:
    void UpdateAccessibleName();
    QString subject_;
};

// One caption-less step button (9 x 17 pixels); the upper button of a pair steps up, the lower
// one down. It shows a small arrow so that sighted users can tell the two apart.
class StepButton : public QToolButton {
    Q_OBJECT
    Q_PROPERTY(bool stepsUp READ StepsUp WRITE setStepsUp)
public:
    static constexpr int kWidth = 9;   // [px]
    static constexpr int kHeight = 17; // [px]

    explicit StepButton(QWidget* parent = nullptr);
    bool StepsUp() const { return up_; }
    // Named as uic expects the setter of the "stepsUp" property of the forms.
    void setStepsUp(bool up);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool up_ = true;
};

// The on-air lamp: a 16 x 6 pixel strip, silver while idle and red while the controls are locked.
class Lamp : public QLabel {
    Q_OBJECT
public:
    static constexpr int kWidth = 16; // [px]
    static constexpr int kHeight = 6; // [px]

    explicit Lamp(QWidget* parent = nullptr);
    void SetOnAir(bool onAir);
    // What screen readers call the lamp while idle and while on air (the interface language's).
    void SetAccessibleNames(const QString& idle, const QString& onAir);
    bool OnAir() const { return onAir_; }
    QColor Colour() const;

private:
    bool onAir_ = false;
    QString idleName_; // English until the window sets the names of its language
    QString onAirName_;
};

} // namespace qlor
