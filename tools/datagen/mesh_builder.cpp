#include "tools/datagen/mesh_builder.h"

#include <algorithm>

namespace datagen {
namespace {

float F(double v) { return static_cast<float>(v); }

// Split points of [0, length]: at every multiple of `repeat` and so that no piece is longer
// than maxCell. Returns the positions, first 0 and last `length`.
std::vector<double> SplitPoints(double length, double repeat, double maxCell) {
  std::vector<double> tileEdges{0};
  if (repeat > 0) {
    for (double x = repeat; x < length - 1e-6; x += repeat) tileEdges.push_back(x);
  }
  tileEdges.push_back(length);
  std::vector<double> points{0};
  for (std::size_t i = 1; i < tileEdges.size(); ++i) {
    const double a = tileEdges[i - 1], b = tileEdges[i];
    const int pieces = maxCell > 0 ? std::max(1, static_cast<int>(dm::Floor((b - a) / maxCell - 1e-9)) + 1) : 1;
    for (int k = 1; k <= pieces; ++k) points.push_back(a + (b - a) * k / pieces);
  }
  return points;
}

}  // namespace

UvRect AtlasCell(int col, int row, int cols, int rows, double inset) {
  const double w = 1.0 / cols, h = 1.0 / rows;
  return {(col + inset) * w, (row + inset) * h, (col + 1 - inset) * w, (row + 1 - inset) * h};
}

D3DCOLOR PackColor(Rgb color, double alpha) {
  auto byte = [](double v) {
    return static_cast<D3DCOLOR>(dm::Floor(dm::Clamp(v, 0, 1) * 255 + 0.5));
  };
  return (byte(alpha) << 24) | (byte(color.r) << 16) | (byte(color.g) << 8) | byte(color.b);
}

int MeshBuilder::AddMaterial(const std::string& textureName, Rgb diffuse) {
  xfile::Material m;
  m.material.Diffuse = {F(diffuse.r), F(diffuse.g), F(diffuse.b), 1};
  m.material.Ambient = {F(diffuse.r), F(diffuse.g), F(diffuse.b), 1};
  m.textureFileName = textureName;
  materials_.push_back(m);
  return static_cast<int>(materials_.size()) - 1;
}

void MeshBuilder::SetVertexColor(Rgb color) {
  color_ = color;
  hasColor_ = true;
  anyColor_ = true;
  shader_ = nullptr;
}

void MeshBuilder::SetVertexShader(std::function<Rgb(Vec3, Vec3)> shader) {
  shader_ = std::move(shader);
  hasColor_ = shader_ != nullptr;
  anyColor_ = anyColor_ || hasColor_;
}

std::uint32_t MeshBuilder::Vertex(Vec3 p, Vec3 n, double u, double v) {
  xfile::Vertex vertex;
  vertex.position = {F(p.x), F(p.y), F(p.z)};
  n = Normalize(n);
  vertex.normal = {F(n.x), F(n.y), F(n.z)};
  vertex.u = F(u);
  vertex.v = F(v);
  if (shader_) {
    vertex.diffuse = PackColor(shader_(p, n));
  } else if (hasColor_) {
    vertex.diffuse = PackColor(color_);
  }
  vertices_.push_back(vertex);
  return static_cast<std::uint32_t>(vertices_.size() - 1);
}

void MeshBuilder::Triangle(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
  triangles_.push_back({a, b, c, material_});
}

void MeshBuilder::Panel(Vec3 origin, Vec3 edgeU, Vec3 edgeV, Vec3 normal, UvRect cell,
                        double repeatU, double repeatV, double maxCell) {
  const double lenU = Length(edgeU), lenV = Length(edgeV);
  if (lenU <= 0 || lenV <= 0) return;
  const Vec3 du = edgeU / lenU, dv = edgeV / lenV;
  const auto su = SplitPoints(lenU, repeatU, maxCell);
  const auto sv = SplitPoints(lenV, repeatV, maxCell);
  auto local = [](double a, double b, double repeat, double total, double x) {
    // Position of x within the repeat that holds the piece [a, b].
    if (repeat <= 0) return x / total;
    const double tile = dm::Floor((a + b) / 2 / repeat);
    return (x - tile * repeat) / repeat;
  };
  for (std::size_t j = 0; j + 1 < sv.size(); ++j) {
    for (std::size_t i = 0; i + 1 < su.size(); ++i) {
      const double a0 = su[i], a1 = su[i + 1], b0 = sv[j], b1 = sv[j + 1];
      std::uint32_t corner[4];
      const double us[4] = {a0, a1, a1, a0}, vs[4] = {b0, b0, b1, b1};
      for (int k = 0; k < 4; ++k) {
        const Vec3 p = origin + du * us[k] + dv * vs[k];
        corner[k] = Vertex(p, normal, cell.U(local(a0, a1, repeatU, lenU, us[k])),
                           cell.V(local(b0, b1, repeatV, lenV, vs[k])));
      }
      // Counter-clockwise seen from the side the normal points to.
      if (Dot(Cross(du, dv), normal) >= 0)
        Quad(corner[0], corner[1], corner[2], corner[3]);
      else
        Quad(corner[0], corner[3], corner[2], corner[1]);
    }
  }
}

void MeshBuilder::Polygon(Vec3 origin, Vec3 axisU, Vec3 axisV, Vec3 normal,
                          const std::vector<PlanePoint>& outline, UvRect cell, double repeatU,
                          double repeatV, double maxCell) {
  if (outline.size() < 3) return;
  double sMin = outline[0].s, sMax = sMin, tMin = outline[0].t, tMax = tMin;
  double area = 0;
  for (std::size_t i = 0; i < outline.size(); ++i) {
    const PlanePoint a = outline[i], b = outline[(i + 1) % outline.size()];
    sMin = std::min(sMin, a.s), sMax = std::max(sMax, a.s);
    tMin = std::min(tMin, a.t), tMax = std::max(tMax, a.t);
    area += a.s * b.t - b.s * a.t;
  }
  const double orientation = area >= 0 ? 1 : -1;
  // Grid step: a whole fraction of the repeat no larger than maxCell.
  auto step = [&](double repeat, double extent) {
    const double span = repeat > 0 ? repeat : extent;
    const int parts = maxCell > 0 ? std::max(1, static_cast<int>(dm::Floor(span / maxCell - 1e-9)) + 1) : 1;
    return span / parts;
  };
  const double ds = step(repeatU, sMax - sMin), dt = step(repeatV, tMax - tMin);
  const double s0 = repeatU > 0 ? dm::Floor(sMin / ds + 1e-9) * ds : sMin;
  const double t0 = repeatV > 0 ? dm::Floor(tMin / dt + 1e-9) * dt : tMin;
  // Position within the cell: across the bounding box, or within the repeat holding `mid`.
  auto uvOf = [&](double x, double lo, double hi, double repeat, double mid) {
    if (repeat <= 0) return hi > lo ? (x - lo) / (hi - lo) : 0.0;
    const double tile = dm::Floor(mid / repeat);
    return x / repeat - tile;
  };
  const bool flip = Dot(Cross(axisU, axisV), normal) < 0;
  for (double ta = t0; ta < tMax - 1e-9; ta += dt) {
    for (double sa = s0; sa < sMax - 1e-9; sa += ds) {
      // The grid square clipped to the polygon (Sutherland and Hodgman).
      std::vector<PlanePoint> piece{{sa, ta}, {sa + ds, ta}, {sa + ds, ta + dt}, {sa, ta + dt}};
      for (std::size_t e = 0; e < outline.size() && !piece.empty(); ++e) {
        const PlanePoint a = outline[e], b = outline[(e + 1) % outline.size()];
        auto inside = [&](PlanePoint p) {
          return orientation * ((b.s - a.s) * (p.t - a.t) - (b.t - a.t) * (p.s - a.s)) >= -1e-12;
        };
        std::vector<PlanePoint> kept;
        for (std::size_t k = 0; k < piece.size(); ++k) {
          const PlanePoint p = piece[k], q = piece[(k + 1) % piece.size()];
          const bool pin = inside(p), qin = inside(q);
          if (pin) kept.push_back(p);
          if (pin != qin) {
            const double dp = (b.s - a.s) * (p.t - a.t) - (b.t - a.t) * (p.s - a.s);
            const double dq = (b.s - a.s) * (q.t - a.t) - (b.t - a.t) * (q.s - a.s);
            const double f = dp / (dp - dq);
            kept.push_back({p.s + (q.s - p.s) * f, p.t + (q.t - p.t) * f});
          }
        }
        piece.swap(kept);
      }
      if (piece.size() < 3) continue;
      double pieceArea = 0;
      for (std::size_t k = 0; k < piece.size(); ++k) {
        const PlanePoint p = piece[k], q = piece[(k + 1) % piece.size()];
        pieceArea += p.s * q.t - q.s * p.t;
      }
      if (dm::Abs(pieceArea) < 1e-9) continue;
      const double midS = sa + ds / 2, midT = ta + dt / 2;
      std::vector<std::uint32_t> ids;
      for (const PlanePoint& p : piece)
        ids.push_back(Vertex(origin + axisU * p.s + axisV * p.t, normal,
                             cell.U(uvOf(p.s, sMin, sMax, repeatU, midS)),
                             cell.V(uvOf(p.t, tMin, tMax, repeatV, midT))));
      const bool reverse = (pieceArea < 0) != flip;
      for (std::size_t k = 1; k + 1 < ids.size(); ++k) {
        if (reverse)
          Triangle(ids[0], ids[k + 1], ids[k]);
        else
          Triangle(ids[0], ids[k], ids[k + 1]);
      }
    }
  }
}

void MeshBuilder::Beam(Vec3 from, Vec3 to, Vec3 up, double width, double height, UvRect cell,
                       double repeat, double maxCell) {
  const Vec3 along = to - from;
  const double length = Length(along);
  if (length <= 0) return;
  const Vec3 d = along / length;
  Vec3 side = Cross(d, up);
  if (Length(side) < 1e-9) side = Cross(d, Vec3{1, 0, 0});
  side = Normalize(side);
  const Vec3 top = Cross(side, d);
  const Vec3 hs = side * (width / 2), ht = top * (height / 2);
  // Four long faces, then the two ends.
  Panel(from + ht - hs, along, hs * 2, top, cell, repeat, 0, maxCell);
  Panel(from - ht + hs, along, hs * -2, -top, cell, repeat, 0, maxCell);
  Panel(from + hs + ht, along, ht * -2, side, cell, repeat, 0, maxCell);
  Panel(from - hs - ht, along, ht * 2, -side, cell, repeat, 0, maxCell);
  Panel(from - hs + ht, hs * 2, ht * -2, -d, cell, 0, 0, 0);
  Panel(to + hs + ht, hs * -2, ht * -2, d, cell, 0, 0, 0);
}

void MeshBuilder::Box(Vec3 mn, Vec3 mx, UvRect cell, double repeat, double maxCell, int faces,
                      bool inward) {
  const double sx = mx.x - mn.x, sy = mx.y - mn.y, sz = mx.z - mn.z;
  const double s = inward ? -1 : 1;
  // Side faces: u along the wall, v down from the top edge.
  if (faces & 1)
    Panel({mn.x, mx.y, mx.z}, {0, -sy, 0}, {0, 0, -sz}, {-s, 0, 0}, cell, repeat, repeat, maxCell);
  if (faces & 2)
    Panel({mx.x, mn.y, mx.z}, {0, sy, 0}, {0, 0, -sz}, {s, 0, 0}, cell, repeat, repeat, maxCell);
  if (faces & 4)
    Panel({mn.x, mn.y, mx.z}, {sx, 0, 0}, {0, 0, -sz}, {0, -s, 0}, cell, repeat, repeat, maxCell);
  if (faces & 8)
    Panel({mx.x, mx.y, mx.z}, {-sx, 0, 0}, {0, 0, -sz}, {0, s, 0}, cell, repeat, repeat, maxCell);
  if (faces & 16)
    Panel({mn.x, mn.y, mn.z}, {sx, 0, 0}, {0, sy, 0}, {0, 0, -s}, cell, repeat, repeat, maxCell);
  if (faces & 32)
    Panel({mn.x, mx.y, mx.z}, {sx, 0, 0}, {0, -sy, 0}, {0, 0, s}, cell, repeat, repeat, maxCell);
}

void MeshBuilder::Lathe(Vec3 center, const std::vector<ProfilePoint>& profile, int segments,
                        UvRect cell, double startAngle, double sweep, int uRepeat) {
  const std::size_t n = profile.size();
  if (n < 2 || segments < 1) return;
  if (uRepeat > 1) {  // one strip per repeat of the cell, each with its own seam vertices
    const int perRepeat = std::max(1, segments / uRepeat);
    for (int r = 0; r < uRepeat; ++r)
      Lathe(center, profile, perRepeat, cell, startAngle + sweep * r / uRepeat, sweep / uRepeat, 1);
    return;
  }
  std::vector<double> arc(n, 0);
  for (std::size_t i = 1; i < n; ++i) {
    const double dr = profile[i].radius - profile[i - 1].radius;
    const double dz = profile[i].height - profile[i - 1].height;
    arc[i] = arc[i - 1] + dm::Sqrt(dr * dr + dz * dz);
  }
  const double total = arc[n - 1] > 0 ? arc[n - 1] : 1;
  // Profile normals in the (radial, up) plane, averaged over the two neighbouring pieces.
  std::vector<std::pair<double, double>> normal(n);
  for (std::size_t i = 0; i < n; ++i) {
    double nr = 0, nz = 0;
    for (int side = -1; side <= 1; side += 2) {
      const std::size_t a = side < 0 ? (i > 0 ? i - 1 : i) : i;
      const std::size_t b = side < 0 ? i : (i + 1 < n ? i + 1 : i);
      const double dr = profile[b].radius - profile[a].radius;
      const double dz = profile[b].height - profile[a].height;
      const double len = dm::Sqrt(dr * dr + dz * dz);
      if (len > 0) {
        nr += dz / len;
        nz += -dr / len;
      }
    }
    const double len = dm::Sqrt(nr * nr + nz * nz);
    normal[i] = len > 0 ? std::pair{nr / len, nz / len} : std::pair{1.0, 0.0};
  }
  const std::uint32_t base = static_cast<std::uint32_t>(vertices_.size());
  for (int k = 0; k <= segments; ++k) {
    double sa, ca;
    dm::SinCos(startAngle + sweep * k / segments, sa, ca);
    const double u = static_cast<double>(k) / segments;
    for (std::size_t i = 0; i < n; ++i) {
      const Vec3 p = center + Vec3{profile[i].radius * ca, profile[i].radius * sa, profile[i].height};
      const Vec3 nn{normal[i].first * ca, normal[i].first * sa, normal[i].second};
      Vertex(p, nn, cell.U(u), cell.V(1 - arc[i] / total));
    }
  }
  for (int k = 0; k < segments; ++k) {
    for (std::size_t i = 0; i + 1 < n; ++i) {
      const std::uint32_t a = base + static_cast<std::uint32_t>(k * n + i);
      const std::uint32_t b = base + static_cast<std::uint32_t>((k + 1) * n + i);
      Quad(a, b, b + 1, a + 1);
    }
  }
}

void MeshBuilder::Grid(int cols, int rows, const std::function<Vec3(double, double)>& position,
                       UvRect cell, bool flipNormals) {
  std::vector<Vec3> p((cols + 1) * (rows + 1));
  for (int j = 0; j <= rows; ++j)
    for (int i = 0; i <= cols; ++i)
      p[j * (cols + 1) + i] = position(static_cast<double>(i) / cols, static_cast<double>(j) / rows);
  auto at = [&](int i, int j) {
    return p[std::clamp(j, 0, rows) * (cols + 1) + std::clamp(i, 0, cols)];
  };
  const std::uint32_t base = static_cast<std::uint32_t>(vertices_.size());
  for (int j = 0; j <= rows; ++j) {
    for (int i = 0; i <= cols; ++i) {
      Vec3 n = Cross(at(i + 1, j) - at(i - 1, j), at(i, j + 1) - at(i, j - 1));
      if (flipNormals) n = -n;
      Vertex(at(i, j), n, cell.U(static_cast<double>(i) / cols), cell.V(static_cast<double>(j) / rows));
    }
  }
  for (int j = 0; j < rows; ++j) {
    for (int i = 0; i < cols; ++i) {
      const std::uint32_t a = base + j * (cols + 1) + i;
      const std::uint32_t b = a + 1, c = a + (cols + 1) + 1, d = a + (cols + 1);
      if (flipNormals)
        Quad(a, d, c, b);
      else
        Quad(a, b, c, d);
    }
  }
}

void MeshBuilder::Append(const MeshBuilder& other) {
  const auto offset = static_cast<std::uint32_t>(vertices_.size());
  vertices_.insert(vertices_.end(), other.vertices_.begin(), other.vertices_.end());
  for (const Tri& t : other.triangles_)
    triangles_.push_back({t.a + offset, t.b + offset, t.c + offset, t.material});
  anyColor_ = anyColor_ || other.anyColor_;
  if (materials_.size() < other.materials_.size())
    materials_.insert(materials_.end(), other.materials_.begin() + materials_.size(),
                      other.materials_.end());
}

xfile::Mesh MeshBuilder::Build() const {
  xfile::Mesh mesh;
  mesh.vertices = vertices_;
  mesh.materials = materials_;
  if (mesh.materials.empty()) {
    xfile::Material white;
    white.material.Diffuse = {1, 1, 1, 1};
    mesh.materials.push_back(white);
  }
  mesh.subsets.resize(mesh.materials.size());
  for (std::size_t m = 0; m < mesh.materials.size(); ++m) {
    mesh.subsets[m].firstIndex = static_cast<std::uint32_t>(mesh.indices.size());
    for (const Tri& t : triangles_) {
      if (static_cast<std::size_t>(std::clamp(t.material, 0, static_cast<int>(mesh.materials.size()) - 1)) != m)
        continue;
      mesh.indices.insert(mesh.indices.end(), {t.a, t.b, t.c});
    }
    mesh.subsets[m].indexCount =
        static_cast<std::uint32_t>(mesh.indices.size()) - mesh.subsets[m].firstIndex;
  }
  mesh.faceCount = static_cast<std::uint32_t>(mesh.indices.size() / 3);
  mesh.hasNormals = true;
  mesh.hasTextureCoords = true;
  mesh.hasVertexColors = anyColor_;
  return mesh;
}

}  // namespace datagen
