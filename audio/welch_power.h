#pragma once
// Power spectra of sound for levels in a band: a radix-2 FFT and Welch's averaged periodogram
// (Hann windows, half overlapping), scaled so that the bins of a spectrum add up to the mean
// power of the signal (a sine of amplitude A gives A^2 / 2).
#include <complex>
#include <cstddef>
#include <vector>

namespace qlor {

// In place; the size must be a power of two. The inverse is not divided by the size.
void Fft(std::vector<std::complex<double>>& data, bool inverse = false);

// Mean power per bin of a stream of samples, fed in pieces. Bins 0..size/2 are rate / size apart
// [Hz]; `size` is a power of two. Fewer samples than `size` are padded with silence.
class WelchAccumulator {
public:
    explicit WelchAccumulator(size_t size);
    // `count` samples taken every `stride` floats (a stride of 2 reads the left channel of
    // interleaved stereo).
    void Add(const float* samples, size_t count, size_t stride = 1);
    std::vector<double> Spectrum() const;

private:
    void Window(const float* first);
    size_t size_;
    std::vector<double> window_;
    double windowPower_ = 0;
    std::vector<float> pending_;
    std::vector<std::complex<double>> frame_;
    std::vector<double> sum_;
    size_t frames_ = 0;
};

std::vector<double> WelchSpectrum(const float* samples, size_t count, size_t stride, size_t size);

// Power of the bins whose centres lie in [lowHz, highHz].
double BandPower(const std::vector<double>& spectrum, int rate, double lowHz, double highHz);

} // namespace qlor
