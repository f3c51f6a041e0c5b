// Three-component vectors in double precision for building geometry; files store floats.
#pragma once

#include "tools/datagen/dmath.h"

namespace datagen {

struct Vec3 {
  double x = 0, y = 0, z = 0;

  friend Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
  friend Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
  friend Vec3 operator-(Vec3 a) { return {-a.x, -a.y, -a.z}; }
  friend Vec3 operator*(Vec3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
  friend Vec3 operator*(double s, Vec3 a) { return a * s; }
  friend Vec3 operator/(Vec3 a, double s) { return {a.x / s, a.y / s, a.z / s}; }
  Vec3& operator+=(Vec3 b) { return *this = *this + b; }
  Vec3& operator-=(Vec3 b) { return *this = *this - b; }
  Vec3& operator*=(double s) { return *this = *this * s; }
};

inline double Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 Cross(Vec3 a, Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double Length(Vec3 a) { return dm::Sqrt(Dot(a, a)); }
inline Vec3 Normalize(Vec3 a) {
  const double l = Length(a);
  return l > 0 ? a / l : Vec3{0, 0, 1};
}
inline Vec3 Lerp(Vec3 a, Vec3 b, double t) { return a + (b - a) * t; }
// Rotation about the vertical axis by `angle` radians (counter-clockwise seen from above).
inline Vec3 RotateZ(Vec3 v, double angle) {
  double s, c;
  dm::SinCos(angle, s, c);
  return {v.x * c - v.y * s, v.x * s + v.y * c, v.z};
}

}  // namespace datagen
