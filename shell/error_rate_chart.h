#pragma once
// The progress window's chart: the aligned error rate of every check in the order they were
// made, with the sending speed of each drawn beside it on a second scale.
#include <QWidget>

#include <vector>

namespace qlor {

struct ChartPoint {
    double errorRate = 0; // aligned errors per sent character, 0..1 (more is drawn at the top)
    int speedCpm = 0;     // sending speed [cpm]
};

class ErrorRateChart : public QWidget {
    Q_OBJECT
public:
    explicit ErrorRateChart(QWidget* parent = nullptr);

    // The points, oldest first, and the texts drawn with them.
    void SetPoints(std::vector<ChartPoint> points);
    void SetTexts(const QString& empty, const QString& errorsAxis, const QString& speedAxis);
    const std::vector<ChartPoint>& Points() const { return points_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<ChartPoint> points_;
    QString empty_;
    QString errorsAxis_;
    QString speedAxis_;
};

} // namespace qlor
