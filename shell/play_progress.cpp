#include "shell/play_progress.h"

#include <QProgressBar>

#include <algorithm>
#include <cmath>

namespace qlor {

std::optional<int> ProgressPercent(std::int64_t positionMs, std::int64_t lengthMs) {
    if (lengthMs <= 0 || positionMs < 0)
        return std::nullopt;
    const double ratio = static_cast<double>(positionMs * 100) / static_cast<double>(lengthMs);
    const double rounded = std::nearbyint(ratio); // default rounding mode: ties to even
    return static_cast<int>(std::clamp(rounded, 0.0, 100.0));
}

void ShowPlayProgress(std::initializer_list<QProgressBar*> bars, std::int64_t positionMs, std::int64_t lengthMs) {
    if (const auto percent = ProgressPercent(positionMs, lengthMs)) {
        for (QProgressBar* bar : bars)
            bar->setValue(*percent);
    }
}

} // namespace qlor
