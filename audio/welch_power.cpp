#include "audio/welch_power.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace qlor {

void Fft(std::vector<std::complex<double>>& data, bool inverse) {
    const size_t n = data.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; (j & bit) != 0; bit >>= 1) {
            j ^= bit;
        }
        j ^= bit;
        if (i < j) {
            std::swap(data[i], data[j]);
        }
    }
    for (size_t length = 2; length <= n; length <<= 1) {
        const double angle = (inverse ? 2.0 : -2.0) * std::numbers::pi / static_cast<double>(length);
        const std::complex<double> step(std::cos(angle), std::sin(angle));
        for (size_t start = 0; start < n; start += length) {
            std::complex<double> w(1.0, 0.0);
            for (size_t k = 0; k < length / 2; ++k) {
                const std::complex<double> even = data[start + k];
                const std::complex<double> odd = data[start + k + length / 2] * w;
                data[start + k] = even + odd;
                data[start + k + length / 2] = even - odd;
                w *= step;
            }
        }
    }
}

WelchAccumulator::WelchAccumulator(size_t size) : size_(size), window_(size), frame_(size), sum_(size / 2 + 1, 0.0) {
    for (size_t i = 0; i < size; ++i) {
        window_[i] = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(size));
        windowPower_ += window_[i] * window_[i];
    }
    pending_.reserve(2 * size);
}

void WelchAccumulator::Window(const float* first) {
    for (size_t i = 0; i < size_; ++i) {
        frame_[i] = first[i] * window_[i];
    }
    Fft(frame_);
    for (size_t k = 0; k <= size_ / 2; ++k) {
        const double p = std::norm(frame_[k]) / (windowPower_ * static_cast<double>(size_));
        sum_[k] += (k == 0 || k == size_ / 2) ? p : 2.0 * p; // both halves of the spectrum
    }
    ++frames_;
}

void WelchAccumulator::Add(const float* samples, size_t count, size_t stride) {
    for (size_t i = 0; i < count; ++i) {
        pending_.push_back(samples[i * stride]);
        if (pending_.size() == size_) {
            Window(pending_.data());
            pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(size_ / 2));
        }
    }
}

std::vector<double> WelchAccumulator::Spectrum() const {
    if (frames_ == 0) {
        WelchAccumulator padded = *this;
        padded.pending_.resize(size_, 0.0f);
        padded.Window(padded.pending_.data());
        return padded.Spectrum();
    }
    std::vector<double> spectrum = sum_;
    for (double& p : spectrum) {
        p /= static_cast<double>(frames_);
    }
    return spectrum;
}

std::vector<double> WelchSpectrum(const float* samples, size_t count, size_t stride, size_t size) {
    WelchAccumulator welch(size);
    welch.Add(samples, count, stride);
    return welch.Spectrum();
}

double BandPower(const std::vector<double>& spectrum, int rate, double lowHz, double highHz) {
    const double binHz = rate / (2.0 * static_cast<double>(spectrum.size() - 1));
    double power = 0;
    for (size_t k = 0; k < spectrum.size(); ++k) {
        const double hz = static_cast<double>(k) * binHz;
        if (hz >= lowHz && hz <= highHz) {
            power += spectrum[k];
        }
    }
    return power;
}

} // namespace qlor
