#include "platform/d3dx/math.h"

#include <cmath>

namespace {

D3DXVECTOR3 Subtract(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}

D3DXVECTOR3 Cross(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Dot(const D3DXVECTOR3& a, const D3DXVECTOR3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

D3DXVECTOR3 Normalize(const D3DXVECTOR3& v) {
  const float length = std::sqrt(Dot(v, v));
  if (length == 0.0f) return {0, 0, 0};
  return {v.x / length, v.y / length, v.z / length};
}

}  // namespace

D3DXMATRIX* D3DXMatrixPerspectiveFovRH(D3DXMATRIX* out, float fovy, float aspect, float zn,
                                       float zf) {
  const float yScale = 1.0f / std::tan(fovy / 2.0f);
  *out = D3DXMATRIX{};
  out->m[0][0] = yScale / aspect;
  out->m[1][1] = yScale;
  out->m[2][2] = zf / (zn - zf);
  out->m[2][3] = -1.0f;
  out->m[3][2] = zn * zf / (zn - zf);
  return out;
}

D3DXMATRIX* D3DXMatrixLookAtRH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                               const D3DXVECTOR3* up) {
  const D3DXVECTOR3 z = Normalize(Subtract(*eye, *at));
  const D3DXVECTOR3 x = Normalize(Cross(*up, z));
  const D3DXVECTOR3 y = Cross(z, x);
  *out = D3DXMATRIX{};
  out->m[0][0] = x.x;
  out->m[0][1] = y.x;
  out->m[0][2] = z.x;
  out->m[1][0] = x.y;
  out->m[1][1] = y.y;
  out->m[1][2] = z.y;
  out->m[2][0] = x.z;
  out->m[2][1] = y.z;
  out->m[2][2] = z.z;
  out->m[3][0] = -Dot(x, *eye);
  out->m[3][1] = -Dot(y, *eye);
  out->m[3][2] = -Dot(z, *eye);
  out->m[3][3] = 1.0f;
  return out;
}
