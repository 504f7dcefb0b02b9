#include "shell/error_rate_chart.h"

#include <QPainter>

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

    // One x position per check. More checks than pixel columns are drawn as the mean of each
    // column, so the lines stay cheap to draw and readable whatever the number of checks.
    const std::size_t n = points_.size();
    const auto columns = static_cast<std::size_t>(std::max(1, plot.width()));
    const std::size_t shown = std::min(n, columns);
    QPolygonF errors;
    QPolygonF speeds;
    errors.reserve(static_cast<qsizetype>(shown));
    speeds.reserve(static_cast<qsizetype>(shown));
    for (std::size_t k = 0; k < shown; ++k) {
        const std::size_t begin = k * n / shown;
        const std::size_t end = std::max(begin + 1, (k + 1) * n / shown);
        double rate = 0;
        double speed = 0;
        for (std::size_t i = begin; i < end; ++i) {
            rate += points_[i].errorRate;
            speed += points_[i].speedCpm;
        }
        rate /= static_cast<double>(end - begin);
        speed /= static_cast<double>(end - begin);
        const double x =
            shown == 1 ? plot.center().x() : plot.left() + plot.width() * (static_cast<double>(k) / (shown - 1));
        errors << QPointF(x, plot.bottom() - plot.height() * std::min(rate / errorTop, 1.0));
        speeds << QPointF(x, plot.bottom() - plot.height() * (speed / speedTop));
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kSpeedColour, 1, Qt::DashLine));
    p.drawPolyline(speeds);
    p.setPen(QPen(kErrorColour, 2));
    p.drawPolyline(errors);
    if (shown <= 100) {
        p.setPen(Qt::NoPen);
        p.setBrush(kSpeedColour);
        for (const QPointF& point : speeds)
            p.drawEllipse(point, 1.5, 1.5);
        p.setBrush(kErrorColour);
        for (const QPointF& point : errors)
            p.drawEllipse(point, 2.5, 2.5);
    }
}

} // namespace qlor
