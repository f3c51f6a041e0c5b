// The D3DX matrix helpers the demo uses, in the row-vector convention of Direct3D.
#pragma once

#include "platform/d3d8/d3d8types.h"

struct D3DXVECTOR3 {
  float x = 0, y = 0, z = 0;
};

using D3DXMATRIX = D3DMATRIX;

// Right-handed perspective: _11 = cot(fovy/2)/aspect, _22 = cot(fovy/2), _33 = zf/(zn-zf),
// _34 = -1, _43 = zn*zf/(zn-zf), everything else 0.
D3DXMATRIX* D3DXMatrixPerspectiveFovRH(D3DXMATRIX* out, float fovy, float aspect, float zn,
                                       float zf);

// Right-handed look-at: z = normalize(eye - at), x = normalize(up x z), y = z x x; rows
// (x.x y.x z.x 0), (x.y y.y z.y 0), (x.z y.z z.z 0), (-x.eye -y.eye -z.eye 1).
D3DXMATRIX* D3DXMatrixLookAtRH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                               const D3DXVECTOR3* up);
