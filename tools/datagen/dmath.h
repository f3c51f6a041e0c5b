// Elementary functions built from +, -, *, / and sqrt only, so that the data pack comes out
// bit for bit the same on every x86-64 machine. The C library's sin, exp or pow may pick a
// different code path per processor (FMA or not) and differ in the last bit, which would
// change the bytes of the files. Accurate to a few units in the last place of a double.
#pragma once

#include <cmath>
#include <cstdint>

namespace datagen::dm {

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kTwoPi = 2 * kPi;
inline constexpr double kHalfPi = kPi / 2;

// floor, sqrt, fabs and ldexp are exact in IEEE arithmetic and safe to use directly.
inline double Floor(double x) { return std::floor(x); }
inline double Sqrt(double x) { return std::sqrt(x); }
inline double Abs(double x) { return std::fabs(x); }

inline double Max(double a, double b) { return a > b ? a : b; }
inline double Min(double a, double b) { return a < b ? a : b; }
inline double Clamp(double x, double lo, double hi) { return x < lo ? lo : (x > hi ? hi : x); }
inline double Lerp(double a, double b, double t) { return a + (b - a) * t; }
inline double Smoothstep(double e0, double e1, double x) {
  const double t = Clamp((x - e0) / (e1 - e0), 0.0, 1.0);
  return t * t * (3 - 2 * t);
}
inline double Fract(double x) { return x - std::floor(x); }

namespace detail {
// sin and cos on [-pi/4, pi/4] by their Taylor series (enough terms for double precision).
inline double SinKernel(double x) {
  const double x2 = x * x;
  return x * (1 + x2 * (-1.0 / 6 + x2 * (1.0 / 120 + x2 * (-1.0 / 5040 + x2 * (1.0 / 362880 +
         x2 * (-1.0 / 39916800 + x2 * (1.0 / 6227020800.0 + x2 * (-1.0 / 1307674368000.0))))))));
}
inline double CosKernel(double x) {
  const double x2 = x * x;
  return 1 + x2 * (-0.5 + x2 * (1.0 / 24 + x2 * (-1.0 / 720 + x2 * (1.0 / 40320 +
         x2 * (-1.0 / 3628800 + x2 * (1.0 / 479001600.0 + x2 * (-1.0 / 87178291200.0)))))));
}
}  // namespace detail

// Both at once, for an argument of any size met in practice (|x| < 1e9).
inline void SinCos(double x, double& s, double& c) {
  // x = k * pi/2 + r, the multiple of pi/2 subtracted in three parts (Cody and Waite).
  const double k = std::floor(x * (2 / kPi) + 0.5);
  const double r = ((x - k * 1.5707963267341256) - k * 6.077100506303966e-11) -
                   k * 2.0222662487959506e-21;
  const double sr = detail::SinKernel(r), cr = detail::CosKernel(r);
  const auto quadrant = static_cast<std::int64_t>(k) & 3;
  switch (quadrant) {
    case 0: s = sr; c = cr; break;
    case 1: s = cr; c = -sr; break;
    case 2: s = -sr; c = -cr; break;
    default: s = -cr; c = sr; break;
  }
}
inline double Sin(double x) {
  double s, c;
  SinCos(x, s, c);
  return s;
}
inline double Cos(double x) {
  double s, c;
  SinCos(x, s, c);
  return c;
}

inline double Exp(double x) {
  if (x < -745) return 0;
  if (x > 709) return HUGE_VAL;
  // x = k ln2 + r with |r| <= ln2 / 2; e^r by its series, then scaled by 2^k exactly.
  const double k = std::floor(x * 1.4426950408889634 + 0.5);
  const double r = (x - k * 0.6931471803691238) - k * 1.9082149292705877e-10;
  double term = 1, sum = 1;
  for (int n = 1; n <= 17; ++n) {
    term *= r / n;
    sum += term;
  }
  return std::ldexp(sum, static_cast<int>(k));
}

inline double Log(double x) {
  if (!(x > 0)) return x == 0 ? -HUGE_VAL : NAN;
  int e = 0;
  double m = std::frexp(x, &e);  // x = m 2^e, m in [0.5, 1)
  if (m < 0.70710678118654752) {
    m *= 2;
    --e;
  }
  // log m = 2 atanh(t), t = (m - 1) / (m + 1), |t| < 0.172.
  const double t = (m - 1) / (m + 1);
  const double t2 = t * t;
  double term = t, sum = t;
  for (int n = 3; n <= 41; n += 2) {
    term *= t2;
    sum += term / n;
  }
  return 2 * sum + e * 0.6931471805599453;
}

inline double Pow(double base, double exponent) {
  if (base == 0) return exponent > 0 ? 0 : HUGE_VAL;
  return Exp(exponent * Log(base));
}

inline double Atan(double x) {
  const bool negative = x < 0;
  if (negative) x = -x;
  bool inverted = false;
  if (x > 1) {
    x = 1 / x;
    inverted = true;
  }
  double offset = 0;
  if (x > 0.41421356237309503) {  // atan x = pi/4 + atan((x - 1) / (x + 1))
    x = (x - 1) / (x + 1);
    offset = kPi / 4;
  }
  const double x2 = x * x;
  double term = x, sum = x;
  for (int n = 3; n <= 45; n += 2) {
    term *= -x2;
    sum += term / n;
  }
  double result = offset + sum;
  if (inverted) result = kHalfPi - result;
  return negative ? -result : result;
}

inline double Atan2(double y, double x) {
  if (x == 0 && y == 0) return 0;
  if (Abs(x) >= Abs(y)) {
    const double a = Atan(y / x);
    if (x > 0) return a;
    return y >= 0 ? a + kPi : a - kPi;
  }
  const double a = -Atan(x / y);
  return y > 0 ? a + kHalfPi : a - kHalfPi;
}

inline double Tanh(double x) {
  if (x > 20) return 1;
  if (x < -20) return -1;
  const double e = Exp(2 * x);
  return (e - 1) / (e + 1);
}

}  // namespace datagen::dm
