#pragma once
// Portable emulation of x87 extended precision (64-bit significand, round to nearest, ties to
// even) for the few operations the timing and the text generator need. The results are
// bit-identical to computing in an 80-bit long double on x86-64, without depending on it.
#include <cstdint>

namespace qlor {

class Ext80 {
public:
    Ext80() = default;
    static Ext80 FromInt(int64_t v);     // exact
    static Ext80 FromUint64(uint64_t v); // exact
    static Ext80 NaN();
    static Ext80 FromDouble(double v); // exact
    // The extended value nearest to a decimal constant given as a long double literal's text is
    // not needed at run time; the constant pi-ish K of the generator is built in.
    double ToDouble() const; // rounded to nearest, ties to even
    Ext80 Trunc() const;     // toward zero, exact
    // Integer nearest to the value, ties to even (x87 FISTP in its default mode).
    int64_t RoundToInt64() const;

    friend Ext80 operator+(Ext80 a, Ext80 b);
    friend Ext80 operator-(Ext80 a, Ext80 b);
    friend Ext80 operator*(Ext80 a, Ext80 b);
    friend Ext80 operator/(Ext80 a, Ext80 b); // division by zero: returns NaN
    bool IsNaN() const;
    bool IsZero() const;
    bool Negative() const { return negative_; }

    // Raw access for tests: value = (-1)^negative * significand * 2^(exponent - 63).
    uint64_t Significand() const { return significand_; }
    int32_t Exponent() const { return exponent_; }
    static Ext80 FromParts(bool negative, uint64_t significand, int32_t exponent);

private:
    bool negative_ = false;
    uint64_t significand_ = 0; // normalised: bit 63 set unless zero
    int32_t exponent_ = 0;     // unbiased
    bool nan_ = false;
};

} // namespace qlor
