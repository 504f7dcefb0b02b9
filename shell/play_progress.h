#pragma once
// A transmission's progress on the window's bars (the panel's and the competition page's).
#include <cstdint>
#include <initializer_list>
#include <optional>

class QProgressBar;

namespace qlor {

// Progress in percent of a play at `positionMs` of `lengthMs`: position x 100 in integers, the
// division in floating point, rounded half to even; nothing when the length is unknown.
std::optional<int> ProgressPercent(std::int64_t positionMs, std::int64_t lengthMs);

// Shows that progress on every bar; an unknown progress leaves them as they are.
void ShowPlayProgress(std::initializer_list<QProgressBar*> bars, std::int64_t positionMs, std::int64_t lengthMs);

} // namespace qlor
