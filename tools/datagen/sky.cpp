// The two sky domes: the evening sky over the orchard and the bright sky of the finale.
// Each is a sphere (or the upper part of one) seen from inside, with the texture laid out by
// direction: u the azimuth from +x counter-clockwise, v the angle down from the zenith.
//
// The sky is lit like everything else by the scene's point light. Its normals are chosen so
// that every vertex gets exactly full light from the sky material at full light level, so the
// texture appears as painted and fades with the rest of the scene.
#include "tools/datagen/assets.h"
#include "tools/datagen/canvas.h"
#include "tools/datagen/jpeg_encoder.h"
#include "tools/datagen/mesh_builder.h"
#include "tools/datagen/noise.h"

namespace datagen {
namespace {

constexpr double kDeg = dm::kPi / 180;
const Vec3 kLight{50, 300, 300};  // the exterior and finale light

// A normal whose cosine with the direction to the light makes diffuse x light + ambient x
// light come out at 1 for the sky material (0.95 diffuse, 0.75 ambient, light 0.95 / 0.75).
Vec3 FullLightNormal(Vec3 position) {
  const Vec3 toLight = Normalize(kLight - position);
  const double cosine = (1.0 - 0.75 * 0.75) / (0.95 * 0.95);
  const Vec3 side = Normalize(Cross(toLight, Vec3{1, 0, 0}));
  return toLight * cosine + side * dm::Sqrt(1 - cosine * cosine);
}

// The dome: rings from the zenith down to `lowest` elevation.
xfile::Mesh Dome(Vec3 center, double radius, double lowest, const std::string& texture) {
  MeshBuilder mesh;
  mesh.AddMaterial(texture);
  const int segments = 64, rings = 28;
  mesh.Grid(segments, rings, [&](double s, double t) {
    const double elevation = (90 - t * (90 - lowest)) * kDeg;
    double se, ce, sa, ca;
    dm::SinCos(elevation, se, ce);
    dm::SinCos(s * dm::kTwoPi, sa, ca);
    return center + Vec3{radius * ce * ca, radius * ce * sa, radius * se};
  }, {0, 0, 1, 1});
  xfile::Mesh built = mesh.Build();
  for (auto& v : built.vertices) {
    const Vec3 n = FullLightNormal({v.position.x, v.position.y, v.position.z});
    v.normal = {static_cast<float>(n.x), static_cast<float>(n.y), static_cast<float>(n.z)};
  }
  return built;
}

// Direction helpers for painting: azimuth and elevation (radians) of a texel.
struct Direction {
  double azimuth, elevation;
};

double AngleBetween(Direction a, Direction b) {
  double sa, ca, sb, cb, sd, cd;
  dm::SinCos(a.elevation, sa, ca);
  dm::SinCos(b.elevation, sb, cb);
  dm::SinCos(a.azimuth - b.azimuth, sd, cd);
  const double cosine = dm::Clamp(sa * sb + ca * cb * cd, -1, 1);
  return dm::Atan2(dm::Sqrt(1 - cosine * cosine), cosine);
}

Color EveningSky(Direction d, double u) {
  const Direction sun{80 * kDeg, 5.5 * kDeg};
  const double e = d.elevation / kDeg;
  const double toSun = AngleBetween(d, sun);
  double sd, cd;
  dm::SinCos(d.azimuth - sun.azimuth, sd, cd);
  const double sunSide = 0.5 + 0.5 * cd;  // 1 towards the sun, 0 opposite

  // Vertical gradient, warm on the sun side, cool opposite.
  const Color zenith = Hex(0x2A1F4E);
  const Color upperWarm = Hex(0x6A4A7E), lowerWarm = Hex(0xE08A6A), horizonWarm = Hex(0xFFC878);
  const Color upperCool = Hex(0x3E3A6E), lowerCool = Hex(0x6A5C8E), horizonCool = Hex(0x8A7AA0);
  const double h = dm::Clamp(e / 90, 0, 1);
  auto band = [&](Color upper, Color lower, Color horizon) {
    const Color top = Mix(upper, zenith, dm::Smoothstep(0.25, 1.0, h));
    const Color mid = Mix(lower, top, dm::Smoothstep(0.04, 0.35, h));
    return Mix(horizon, mid, dm::Smoothstep(0.0, 0.12, h));
  };
  Color c = Mix(band(upperCool, lowerCool, horizonCool), band(upperWarm, lowerWarm, horizonWarm),
                dm::Smoothstep(0.0, 1.0, sunSide));
  // The rose band above the horizon opposite the sun.
  const double belt = (1 - sunSide) * dm::Smoothstep(2, 8, e) * (1 - dm::Smoothstep(10, 22, e));
  c = Mix(c, Hex(0xC08AA8), belt * 0.45);
  // Thin cloud streaks on a layer high above, lit gold and rose towards the sun and
  // grey-violet away from it. Seen in perspective, they crowd together towards the horizon.
  if (e > 1.5) {
    double se, ce, sa, ca;
    dm::SinCos(d.elevation, se, ce);
    dm::SinCos(d.azimuth, sa, ca);
    const double distance = 1000 * ce / se;
    const double px = distance * ca, py = distance * sa;
    const double streak = Fbm2(px / 2600 + py / 9000, py / 520 - px / 4000, 41, 5);
    const double layer = dm::Smoothstep(1.5, 5, e) * (1 - dm::Smoothstep(25, 50, e));
    const double cover = dm::Smoothstep(0.5, 0.72, streak) * layer;
    const Color lit = Mix(Hex(0xF09070), Hex(0xFFD8A0), dm::Exp(-toSun * toSun / 0.25));
    const Color shade = Hex(0x54466E);
    const Color cloud = Mix(shade, lit, dm::Clamp(sunSide * 1.3 - 0.15, 0, 1));
    c = Mix(c, cloud, cover * 0.85);
  }
  // Glow around the sun and the disc itself.
  const double glow = dm::Exp(-toSun * toSun / (2 * 0.30 * 0.30));
  const double halo = dm::Exp(-toSun * toSun / (2 * 0.07 * 0.07));
  c = c + Color{1.0, 0.75, 0.45} * (glow * 0.35) + Color{1.0, 0.9, 0.7} * (halo * 0.5);
  const double disc = 1 - dm::Smoothstep(1.6 * kDeg, 2.0 * kDeg, toSun);
  c = Mix(c, Color{1.2, 1.12, 0.95}, disc);
  // A few faint stars high up on the dark side.
  if (e > 40) {
    const double density = dm::Smoothstep(40, 75, e) * (1 - sunSide);
    const double cellU = dm::Floor(u * 900), cellV = dm::Floor(e * 5);
    const double pick = Hash3(static_cast<std::int64_t>(cellU), static_cast<std::int64_t>(cellV), 0, 43);
    if (pick < 0.004 * density) c = Mix(c, Hex(0xD8D0F0), 0.35 + pick * 50);
  }
  // Below the horizon: the haze of the far hills, darker downwards.
  if (e < 0) c = Mix(Mix(Hex(0x8A7E9A), Hex(0xB89A8A), sunSide * 0.6), Hex(0x4A4660), dm::Smoothstep(0, -15, e));
  return c;
}

Color HeavenSky(Direction d, double) {
  const Direction glowCenter{270 * kDeg, 4 * kDeg};  // ahead of the camera, along -y
  const double e = d.elevation / kDeg;
  const double toGlow = AngleBetween(d, glowCenter);
  const double h = dm::Clamp(e / 90, -1, 1);
  Color c = Mix(Hex(0xFFF4DC), Hex(0x9EC4EE), dm::Smoothstep(0.0, 0.75, h));
  c = Mix(c, Hex(0x86B2E6), dm::Smoothstep(0.6, 1.0, h));
  double se, ce, sa, ca;
  dm::SinCos(d.elevation, se, ce);
  dm::SinCos(d.azimuth, sa, ca);
  // Cloud banks on a layer above: soft white billows with pale blue between, lit from the
  // light ahead, denser towards the horizon.
  if (e > 2) {
    const double distance = 500 * ce / se;
    const double px = distance * ca, py = distance * sa;
    const double billow = Fbm2(px / 420, py / 420, 51, 5);
    const double lit = Fbm2(px / 420 + 0.05, (py - 25) / 420, 51, 5);
    const double cover = dm::Smoothstep(0.48, 0.66, billow) * dm::Smoothstep(2, 8, e) *
                         (1 - dm::Smoothstep(55, 85, e) * 0.7);
    const Color cloud = Mix(Hex(0xE6E2EE), Hex(0xFFFDF6), dm::Smoothstep(-0.04, 0.05, billow - lit));
    c = Mix(c, cloud, cover * 0.92);
  }
  // The sea of clouds below, a floor of billows seen in perspective, vanishing into the
  // bright haze at the horizon.
  if (e < 1) {
    const double down = dm::Max(-se, 1e-3);
    const double distance = 300 * ce / down;
    const double px = distance * ca, py = distance * sa;
    const double puffs = Fbm2(px / 160, py / 160, 52, 5);
    const double shade = Fbm2(px / 160 - 0.04, (py + 18) / 160, 52, 5);
    Color sea = Mix(Hex(0xD8DCEA), Hex(0xFFFBF2), dm::Smoothstep(0.35, 0.7, puffs));
    sea = Mix(sea, Hex(0xFFF0D0), dm::Clamp((puffs - shade) * 6, 0, 1) * 0.6);
    sea = Mix(sea, Hex(0xFFF6E4), 1 - dm::Smoothstep(-1, -12, e));  // haze near the horizon
    c = Mix(c, sea, dm::Smoothstep(1, -1, e));
  }
  // The light ahead: a warm white radiance on the horizon, with soft rays.
  const double glow = dm::Exp(-toGlow * toGlow / (2 * 0.35 * 0.35));
  const double core = dm::Exp(-toGlow * toGlow / (2 * 0.08 * 0.08));
  const double rays = 0.5 + 0.5 * dm::Sin(d.azimuth * 48 + d.elevation * 9);
  c = c + Color{0.35, 0.28, 0.12} * (glow * (0.7 + 0.3 * rays)) + Color{1, 0.95, 0.8} * core;
  return c;
}

Canvas PaintDome(int width, int height, double lowest, Color (*sky)(Direction, double)) {
  Canvas canvas(width, height);
  canvas.Shade([&](int x, int y, Color) {
    const double u = (x + 0.5) / width, v = (y + 0.5) / height;
    const Direction d{u * dm::kTwoPi, (90 - v * (90 - lowest)) * kDeg};
    return sky(d, u);
  });
  return canvas;
}

}  // namespace

Files MakeSkies() {
  constexpr double kEveningLowest = -20, kHeavenLowest = -90;
  return {
      {"skydome.x", MeshFileBytes(Dome({0, 0, 0}, 1500, kEveningLowest, "sky.jpg"))},
      {"sky.jpg", EncodeJpeg(PaintDome(2048, 1024, kEveningLowest, EveningSky), {.quality = 90})},
      {"skydome2.x", MeshFileBytes(Dome({0, -75, 0}, 2200, kHeavenLowest, "heaven.jpg"))},
      {"heaven.jpg", EncodeJpeg(PaintDome(2048, 1024, kHeavenLowest, HeavenSky), {.quality = 90})},
  };
}

}  // namespace datagen
