// The little matrix arithmetic that placing meshes in their frames needs (row vectors,
// translation in the fourth row, as Direct3D writes it).
#pragma once

#include "platform/d3d8/d3d8types.h"

namespace xfile {

D3DMATRIX IdentityMatrix();
D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b);  // a then b: p * a * b
D3DVECTOR TransformPoint(const D3DVECTOR& p, const D3DMATRIX& m);
D3DVECTOR Normalized(const D3DVECTOR& v);  // zero stays zero

// Normals go through the inverse transpose of the upper 3x3, so that non-uniform scale
// keeps them perpendicular, and are renormalised. A singular matrix still gives a finite
// result (the cofactors), never a division by zero.
class NormalTransform {
 public:
  explicit NormalTransform(const D3DMATRIX& m);
  D3DVECTOR Apply(const D3DVECTOR& n) const;

 private:
  float c_[3][3];  // cofactors of the upper 3x3, with the sign of its determinant
};

}  // namespace xfile
