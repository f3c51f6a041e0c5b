#include "platform/d3dx/xfile/transform.h"

#include <cmath>
#include <limits>

namespace xfile {

D3DMATRIX IdentityMatrix() {
  D3DMATRIX m;
  for (int i = 0; i < 4; ++i) m.m[i][i] = 1.0f;
  return m;
}

D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b) {
  D3DMATRIX out;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      out.m[r][c] = a.m[r][0] * b.m[0][c] + a.m[r][1] * b.m[1][c] + a.m[r][2] * b.m[2][c] +
                    a.m[r][3] * b.m[3][c];
  return out;
}

D3DVECTOR TransformPoint(const D3DVECTOR& p, const D3DMATRIX& m) {
  return {p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0],
          p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1],
          p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2]};
}

D3DVECTOR Normalized(const D3DVECTOR& v) {
  const float squared = v.x * v.x + v.y * v.y + v.z * v.z;
  if (squared >= std::numeric_limits<float>::min() && squared <= std::numeric_limits<float>::max()) {
    const float length = std::sqrt(squared);
    return {v.x / length, v.y / length, v.z / length};
  }
  // Tiny or huge vectors: scaling by the largest component first keeps the squares in range.
  const float largest = std::fmax(std::fabs(v.x), std::fmax(std::fabs(v.y), std::fabs(v.z)));
  if (!(largest > 0.0f) || !std::isfinite(largest)) return {};
  const D3DVECTOR s{v.x / largest, v.y / largest, v.z / largest};
  const float length = std::sqrt(s.x * s.x + s.y * s.y + s.z * s.z);
  return {s.x / length, s.y / length, s.z / length};
}

NormalTransform::NormalTransform(const D3DMATRIX& m) {
  const auto& a = m.m;
  // Row vectors: n' = n * inverse(A)^T, and inverse(A)^T = cofactor(A) / det(A).
  c_[0][0] = a[1][1] * a[2][2] - a[1][2] * a[2][1];
  c_[0][1] = a[1][2] * a[2][0] - a[1][0] * a[2][2];
  c_[0][2] = a[1][0] * a[2][1] - a[1][1] * a[2][0];
  c_[1][0] = a[0][2] * a[2][1] - a[0][1] * a[2][2];
  c_[1][1] = a[0][0] * a[2][2] - a[0][2] * a[2][0];
  c_[1][2] = a[0][1] * a[2][0] - a[0][0] * a[2][1];
  c_[2][0] = a[0][1] * a[1][2] - a[0][2] * a[1][1];
  c_[2][1] = a[0][2] * a[1][0] - a[0][0] * a[1][2];
  c_[2][2] = a[0][0] * a[1][1] - a[0][1] * a[1][0];
  const float det = a[0][0] * c_[0][0] + a[0][1] * c_[0][1] + a[0][2] * c_[0][2];
  if (det < 0.0f)
    for (auto& row : c_)
      for (float& value : row) value = -value;
}

D3DVECTOR NormalTransform::Apply(const D3DVECTOR& n) const {
  return Normalized({n.x * c_[0][0] + n.y * c_[1][0] + n.z * c_[2][0],
                     n.x * c_[0][1] + n.y * c_[1][1] + n.z * c_[2][1],
                     n.x * c_[0][2] + n.y * c_[1][2] + n.z * c_[2][2]});
}

}  // namespace xfile
