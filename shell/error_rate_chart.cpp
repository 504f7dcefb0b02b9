#include "shell/error_rate_chart.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace qlor {
namespace {

const QColor kErrorColour{200, 30, 30};
const QColor kSpeedColour{30, 90, 200};

} // namespace

ErrorRateChart::ErrorRateChart(QWidget* parent) : QWidget(parent) {
    // Reached by Tab, so a screen reader reads the chart's summary with the other controls.
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ErrorRateChart::SetPoints(std::vector<ChartPoint> points) {
    points_ = std::move(points);
    update();
}

void ErrorRateChart::SetTexts(const QString& empty, const QString& errorsAxis, const QString& speedAxis) {
    empty_ = empty;
    errorsAxis_ = errorsAxis;
    speedAxis_ = speedAxis;
    update();
}

void ErrorRateChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const QFontMetrics metrics(font());
    const int margin = metrics.horizontalAdvance(QStringLiteral("100 %")) + 6; // [px]
    const QRect plot = rect().adjusted(margin, metrics.height() + 4, -margin, -6);
    p.setPen(Qt::gray);
    p.drawRect(plot);
    if (hasFocus()) {
        p.setPen(QPen(palette().highlight().color(), 1, Qt::DashLine));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    if (points_.empty() || plot.width() < 4 || plot.height() < 4) {
        p.setPen(Qt::black);
        p.drawText(plot, Qt::AlignCenter, empty_);
        return;
    }

    // The error scale reaches just above the worst check (at least 10 %), in steps of 10 %.
    double worst = 0;
    int fastest = 0;
    for (const ChartPoint& point : points_) {
        worst = std::max(worst, point.errorRate);
        fastest = std::max(fastest, point.speedCpm);
    }
    const double errorTop = std::clamp(std::ceil(worst * 10.0 + 1e-9) / 10.0, 0.1, 1.0);
    const int speedTop = std::max(50, (fastest + 49) / 50 * 50); // [cpm]

    p.setPen(kErrorColour);
    p.drawText(QRect(0, 0, width() / 2, metrics.height()), Qt::AlignLeft, errorsAxis_);
    p.drawText(QRect(0, plot.top() - metrics.height() / 2, margin - 3, metrics.height()), Qt::AlignRight,
               QString::number(std::lround(errorTop * 100)));
    p.drawText(QRect(0, plot.bottom() - metrics.height() / 2, margin - 3, metrics.height()), Qt::AlignRight,
               QStringLiteral("0"));
    p.setPen(kSpeedColour);
    p.drawText(QRect(width() / 2, 0, width() / 2, metrics.height()), Qt::AlignRight, speedAxis_);
    p.drawText(QRect(plot.right() + 3, plot.top() - metrics.height() / 2, margin, metrics.height()), Qt::AlignLeft,
               QString::number(speedTop));
    p.drawText(QRect(plot.right() + 3, plot.bottom() - metrics.height() / 2, margin, metrics.height()), Qt::AlignLeft,
               QStringLiteral("0"));

    // One x position per check; many checks share a pixel column, and the path stays one line.
    const auto n = static_cast<double>(points_.size());
    auto x = [&](std::size_t i) {
        return points_.size() == 1 ? plot.center().x()
                                   : plot.left() + plot.width() * (static_cast<double>(i) / (n - 1));
    };
    QPainterPath errors;
    QPainterPath speeds;
    for (std::size_t i = 0; i < points_.size(); ++i) {
        const double ye = plot.bottom() - plot.height() * std::min(points_[i].errorRate / errorTop, 1.0);
        const double ys = plot.bottom() - plot.height() * (static_cast<double>(points_[i].speedCpm) / speedTop);
        if (i == 0) {
            errors.moveTo(x(i), ye);
            speeds.moveTo(x(i), ys);
        } else {
            errors.lineTo(x(i), ye);
            speeds.lineTo(x(i), ys);
        }
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kSpeedColour, 1, Qt::DashLine));
    p.drawPath(speeds);
    p.setPen(QPen(kErrorColour, 2));
    p.drawPath(errors);
    if (points_.size() <= 100) {
        p.setBrush(kErrorColour);
        for (std::size_t i = 0; i < points_.size(); ++i) {
            const double ye = plot.bottom() - plot.height() * std::min(points_[i].errorRate / errorTop, 1.0);
            p.drawEllipse(QPointF(x(i), ye), 2.5, 2.5);
        }
    }
}

} // namespace qlor
