// Builds xfile::Mesh objects out of panels, boxes and surfaces of revolution, one subset per
// material, for the .X writer.
//
// Lighting in the demo is per vertex, so large flat surfaces are cut into cells no larger
// than a given size. Texture atlases are addressed by UvRect cells; a surface larger than one
// repeat of its cell is split at every repeat, with its own vertices per piece, because an
// atlas cell cannot wrap.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/d3dx/xfile.h"
#include "tools/datagen/vec.h"

namespace datagen {

// A rectangle of texture space: u from u0 to u1, v from v0 (top) to v1.
struct UvRect {
  double u0 = 0, v0 = 0, u1 = 1, v1 = 1;
  double U(double s) const { return u0 + (u1 - u0) * s; }
  double V(double t) const { return v0 + (v1 - v0) * t; }
};

// A cell of an atlas of cols x rows cells, inset by `inset` of a cell on every side so that
// bilinear filtering does not pick up the neighbours.
UvRect AtlasCell(int col, int row, int cols, int rows, double inset = 0.01);

struct Rgb {
  double r = 1, g = 1, b = 1;
};

class MeshBuilder {
 public:
  // Adds a material and returns its number; the subsets of the mesh follow this order.
  int AddMaterial(const std::string& textureName, Rgb diffuse = {});
  void UseMaterial(int material) { material_ = material; }

  // Vertex colours (baked light). Once used, every vertex of the mesh carries one; vertices
  // made before get white.
  void SetVertexColor(Rgb color);
  void ClearVertexColor() { hasColor_ = false; }
  // Bakes a colour per vertex from the position and normal, replacing the current colour.
  void SetVertexShader(std::function<Rgb(Vec3 position, Vec3 normal)> shader);

  std::uint32_t Vertex(Vec3 position, Vec3 normal, double u, double v);
  void Triangle(std::uint32_t a, std::uint32_t b, std::uint32_t c);
  void Quad(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
    Triangle(a, b, c);
    Triangle(a, c, d);
  }

  // The parallelogram origin + s*edgeU + t*edgeV (s, t in [0, 1]) facing `normal`. The cell
  // repeats every repeatU along edgeU and repeatV along edgeV (world units; 0: once over the
  // whole panel); the panel is also cut so that no piece is longer than maxCell. Texture v
  // grows along edgeV, so pass edgeV pointing down for an upright wall.
  void Panel(Vec3 origin, Vec3 edgeU, Vec3 edgeV, Vec3 normal, UvRect cell, double repeatU,
             double repeatV, double maxCell);

  // A flat convex polygon in the plane through `origin` spanned by the unit vectors axisU
  // and axisV; the outline is given in that plane's coordinates (world units along axisU
  // and axisV). The cell repeats every repeatU / repeatV units counted from the origin, so
  // polygons sharing an origin line up; with a repeat of 0 the cell is stretched once over
  // the outline's bounding box. Pieces are no larger than maxCell.
  struct PlanePoint {
    double s, t;
  };
  void Polygon(Vec3 origin, Vec3 axisU, Vec3 axisV, Vec3 normal,
               const std::vector<PlanePoint>& outline, UvRect cell, double repeatU,
               double repeatV, double maxCell);

  // A beam of rectangular section from `from` to `to`; `up` orients its height. The cell
  // repeats every `repeat` units along it. Ends closed.
  void Beam(Vec3 from, Vec3 to, Vec3 up, double width, double height, UvRect cell,
            double repeat, double maxCell);

  // An axis-aligned box; `faces` selects sides (bits: 1 -x, 2 +x, 4 -y, 8 +y, 16 -z, 32 +z).
  // Normals point outwards, or inwards with `inward` (a room seen from inside).
  void Box(Vec3 min, Vec3 max, UvRect cell, double repeat, double maxCell, int faces = 63,
           bool inward = false);

  // A surface of revolution about the vertical axis through `center`: profile points are
  // (radius, height), bottom to top; `segments` around. u runs once around (times uRepeat
  // turns of the cell), v along the profile by arc length. Smooth normals. The start angle
  // and sweep allow partial surfaces.
  struct ProfilePoint {
    double radius, height;
  };
  void Lathe(Vec3 center, const std::vector<ProfilePoint>& profile, int segments, UvRect cell,
             double startAngle = 0, double sweep = dm::kTwoPi, int uRepeat = 1);

  // A general grid of vertices position(s, t), normals from the grid, u = s, v = t over the
  // cell. (rows+1) x (cols+1) vertices.
  void Grid(int cols, int rows, const std::function<Vec3(double s, double t)>& position,
            UvRect cell, bool flipNormals = false);

  std::size_t VertexCount() const { return vertices_.size(); }
  std::size_t TriangleCount() const { return triangles_.size(); }

  // Appends everything another builder holds (materials matched by index).
  void Append(const MeshBuilder& other);

  // Triangles grouped by material in material order, one subset per material.
  xfile::Mesh Build() const;

 private:
  struct Tri {
    std::uint32_t a, b, c;
    int material;
  };
  std::vector<xfile::Vertex> vertices_;
  std::vector<Tri> triangles_;
  std::vector<xfile::Material> materials_;
  int material_ = 0;
  bool hasColor_ = false;
  bool anyColor_ = false;
  Rgb color_;
  std::function<Rgb(Vec3, Vec3)> shader_;
};

D3DCOLOR PackColor(Rgb color, double alpha = 1);

}  // namespace datagen
