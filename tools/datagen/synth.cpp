#include "tools/datagen/synth.h"

#include <algorithm>
#include <array>

#include "tools/datagen/dmath.h"
#include "tools/datagen/noise.h"

namespace datagen::synth {
namespace {

constexpr double kDt = 1.0 / kRate;

// A sine table with linear interpolation, cheaper than a series per sample.
class SineTable {
 public:
  SineTable() {
    for (int i = 0; i <= kSize; ++i) table_[i] = static_cast<float>(dm::Sin(dm::kTwoPi * i / kSize));
  }
  // phase in turns
  double operator()(double phase) const {
    const double x = (phase - dm::Floor(phase)) * kSize;
    const int i = static_cast<int>(x);
    const double f = x - i;
    return table_[i] + (table_[i + 1] - table_[i]) * f;
  }

 private:
  static constexpr int kSize = 4096;
  std::array<float, kSize + 1> table_;
};

const SineTable& Sine() {
  static const SineTable table;
  return table;
}

// Band-limited sawtooth (polyBLEP).
class Saw {
 public:
  explicit Saw(double phase = 0) : phase_(phase) {}
  double Next(double increment) {
    double value = 2 * phase_ - 1;
    if (phase_ < increment) {
      const double t = phase_ / increment;
      value -= t + t - t * t - 1;
    } else if (phase_ > 1 - increment) {
      const double t = (phase_ - 1) / increment;
      value -= t * t + t + t + 1;
    }
    phase_ += increment;
    if (phase_ >= 1) phase_ -= 1;
    return value;
  }

 private:
  double phase_;
};

// Biquad from the usual cookbook formulas.
class Biquad {
 public:
  static Biquad LowPass(double frequency, double q) {
    double s, c;
    dm::SinCos(dm::kTwoPi * frequency * kDt, s, c);
    const double alpha = s / (2 * q);
    const double a0 = 1 + alpha;
    return Biquad((1 - c) / 2 / a0, (1 - c) / a0, (1 - c) / 2 / a0, -2 * c / a0, (1 - alpha) / a0);
  }
  static Biquad BandPass(double frequency, double q) {  // peak gain 1
    double s, c;
    dm::SinCos(dm::kTwoPi * frequency * kDt, s, c);
    const double alpha = s / (2 * q);
    const double a0 = 1 + alpha;
    return Biquad(alpha / a0, 0, -alpha / a0, -2 * c / a0, (1 - alpha) / a0);
  }
  double Process(double x) {
    const double y = b0_ * x + z1_;
    z1_ = b1_ * x - a1_ * y + z2_;
    z2_ = b2_ * x - a2_ * y;
    return y;
  }

 private:
  Biquad(double b0, double b1, double b2, double a1, double a2) : b0_(b0), b1_(b1), b2_(b2), a1_(a1), a2_(a2) {}
  double b0_, b1_, b2_, a1_, a2_;
  double z1_ = 0, z2_ = 0;
};

// Attack, sustain until `hold`, then an exponential-looking release (a raised cosine).
double Envelope(double t, double attack, double hold, double release) {
  if (t < attack) return 0.5 - 0.5 * dm::Cos(dm::kPi * t / attack);
  if (t < hold) return 1;
  const double r = (t - hold) / release;
  if (r >= 1) return 0;
  return 0.5 + 0.5 * dm::Cos(dm::kPi * r);
}

double Cents(double cents) { return dm::Pow(2, cents / 1200); }

}  // namespace

double MidiFrequency(double midi) { return 440 * dm::Pow(2, (midi - 69) / 12); }

std::vector<float> Pad(double frequency, double seconds, double brightness, double attack,
                       double release) {
  const auto n = static_cast<std::size_t>((seconds + release) * kRate);
  std::vector<float> out(n);
  Saw saws[3] = {Saw(0.0), Saw(0.33), Saw(0.71)};
  const double detune[3] = {Cents(-7), 1, Cents(6.5)};
  const double cutoff = dm::Min(frequency * (2.5 + 6 * brightness), 9000);
  Biquad low1 = Biquad::LowPass(cutoff, 0.6), low2 = Biquad::LowPass(cutoff * 1.3, 0.55);
  // Envelope and the slow drift of the filter are computed every 32 samples.
  double env = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) * kDt;
    if (i % 32 == 0) env = Envelope(t, attack, seconds, release);
    double x = 0;
    for (int k = 0; k < 3; ++k) x += saws[k].Next(frequency * detune[k] * kDt);
    out[i] = static_cast<float>(low2.Process(low1.Process(x)) * env * 0.22);
  }
  return out;
}

std::vector<float> Choir(double frequency, double seconds, std::uint64_t seed, double attack,
                         double release) {
  const auto n = static_cast<std::size_t>((seconds + release) * kRate);
  std::vector<float> out(n);
  Random random(seed);
  // The vowel "ah", a little brighter for higher voices.
  const double lift = dm::Clamp(frequency / 440, 0.8, 1.25);
  const double formants[3] = {760 * lift, 1180 * lift, 2700};
  const double widths[3] = {90, 110, 160};
  const double gains[3] = {1.0, 0.55, 0.18};
  for (int voice = 0; voice < 2; ++voice) {
    Saw source(random.Uniform());
    Biquad filters[3] = {Biquad::BandPass(formants[0], formants[0] / widths[0]),
                         Biquad::BandPass(formants[1], formants[1] / widths[1]),
                         Biquad::BandPass(formants[2], formants[2] / widths[2])};
    const double detune = Cents(voice == 0 ? -4 : 4);
    const double vibratoRate = 4.6 + random.Uniform() * 0.8, vibratoPhase = random.Uniform();
    double env = 0, pitch = 1;
    Random breath(seed * 31 + voice);
    for (std::size_t i = 0; i < n; ++i) {
      const double t = static_cast<double>(i) * kDt;
      if (i % 32 == 0) {
        env = Envelope(t, attack, seconds, release);
        // Vibrato grows in after the onset, as singers do.
        const double depth = 0.0045 * dm::Smoothstep(0.3, 1.5, t);
        pitch = 1 + depth * Sine()(vibratoRate * t + vibratoPhase);
      }
      const double x = source.Next(frequency * detune * pitch * kDt) + (breath.Uniform() - 0.5) * 0.08;
      double y = 0;
      for (int f = 0; f < 3; ++f) y += filters[f].Process(x) * gains[f];
      out[i] += static_cast<float>(y * env * 0.32);
    }
  }
  return out;
}

std::vector<float> Bell(double frequency, double decay) {
  static const double kRatios[] = {0.5, 1.0, 1.183, 1.506, 2.0, 2.514, 2.662, 3.011};
  static const double kLevels[] = {0.3, 0.55, 0.38, 0.22, 0.45, 0.16, 0.12, 0.08};
  static const double kDecays[] = {1.4, 1.0, 0.8, 0.6, 0.55, 0.4, 0.3, 0.25};
  const auto n = static_cast<std::size_t>(decay * 1.6 * kRate);
  std::vector<float> out(n);
  for (int p = 0; p < 8; ++p) {
    const double f = frequency * kRatios[p];
    if (f > 12000) continue;
    // A decaying sinusoid by recurrence: y[n] = 2 r cos(w) y[n-1] - r^2 y[n-2].
    const double w = dm::kTwoPi * f * kDt;
    const double r = dm::Exp(-kDt / (decay * kDecays[p] / 6.9));  // -60 dB at the partial's decay
    const double c = 2 * r * dm::Cos(w);
    double y1 = 0, y2 = -kLevels[p] * r * dm::Sin(w);  // so that y[0] = 0 and the sine rises
    for (std::size_t i = 0; i < n; ++i) {
      const double y = c * y1 - r * r * y2;
      y2 = y1;
      y1 = y;
      out[i] += static_cast<float>(y);
    }
  }
  // A soft strike: a few milliseconds of attack.
  for (std::size_t i = 0; i < n && i < 200; ++i) out[i] = static_cast<float>(out[i] * (i / 200.0));
  for (auto& s : out) s = static_cast<float>(s * 0.5);
  return out;
}

std::vector<float> Pluck(double frequency, std::uint64_t seed, double brightness) {
  const double seconds = 3.2;
  const auto n = static_cast<std::size_t>(seconds * kRate);
  std::vector<float> out(n);
  const double period = kRate / frequency;
  const auto length = static_cast<std::size_t>(period) + 2;
  std::vector<double> line(length);
  // Excitation: a burst of noise, low-passed for a softer string.
  Random random(seed);
  double smooth = 0, smoother = 0;
  const double soft = 0.45 + 0.45 * (1 - brightness);
  for (std::size_t i = 0; i < length; ++i) {
    smooth += (random.Uniform() * 2 - 1 - smooth) * (1 - soft);
    smoother += (smooth - smoother) * (1 - soft);
    line[i] = smoother * 1.6;
  }
  // The body of the instrument takes the edge off the string.
  Biquad body = Biquad::LowPass(dm::Min(frequency * 7, 5200), 0.6);
  // The loop: a fractional delay (linear) and an averaging filter that loses a little per
  // pass, so the note dies in about three seconds.
  const double loss = dm::Pow(0.001, 1 / (seconds * frequency));
  double write = 0;
  std::size_t position = 0;
  double previous = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const double read = static_cast<double>(position) - period + length * 2;
    const auto r0 = static_cast<std::size_t>(read) % length;
    const double frac = read - dm::Floor(read);
    const double delayed = line[r0] + (line[(r0 + 1) % length] - line[r0]) * frac;
    const double y = loss * (0.5 * delayed + 0.5 * previous);
    previous = delayed;
    write = i < length ? line[position] : y;
    line[position] = write;
    out[i] = static_cast<float>(body.Process(write) * 0.5);
    position = (position + 1) % length;
  }
  // Fade the last few milliseconds to avoid a click.
  for (std::size_t i = 0; i < 2000 && i < n; ++i) out[n - 1 - i] = static_cast<float>(out[n - 1 - i] * (i / 2000.0));
  return out;
}

std::vector<float> Drone(double frequency, double seconds) {
  const double release = 3.0;
  const auto n = static_cast<std::size_t>((seconds + release) * kRate);
  std::vector<float> out(n);
  Saw saw(0.2);
  Biquad low = Biquad::LowPass(frequency * 3, 0.7);
  double env = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) * kDt;
    if (i % 32 == 0) env = Envelope(t, 3.0, seconds, release) * (0.85 + 0.15 * Sine()(t * 0.11));
    const double x = Sine()(frequency * t) + 0.35 * Sine()(2 * frequency * t + 0.1) + 0.25 * low.Process(saw.Next(frequency * kDt));
    out[i] = static_cast<float>(x * env * 0.3);
  }
  return out;
}

Mixer::Mixer(std::size_t frames) : left_(frames), right_(frames), send_(frames) {}

void Mixer::Add(const std::vector<float>& note, double startSeconds, double gain, double pan,
                double send) {
  const auto start = static_cast<std::ptrdiff_t>(dm::Floor(startSeconds * kRate + 0.5));
  double sp, cp;
  dm::SinCos((dm::Clamp(pan, -1, 1) + 1) * dm::kPi / 4, sp, cp);
  const double gl = gain * cp, gr = gain * sp, gs = gain * send;
  for (std::size_t i = 0; i < note.size(); ++i) {
    const std::ptrdiff_t at = start + static_cast<std::ptrdiff_t>(i);
    if (at < 0) continue;
    if (at >= static_cast<std::ptrdiff_t>(left_.size())) break;
    left_[at] += static_cast<float>(note[i] * gl);
    right_[at] += static_cast<float>(note[i] * gr);
    send_[at] += static_cast<float>(note[i] * gs);
  }
}

void Mixer::ApplyReverb(double decaySeconds, double wet) {
  // Eight delay lines mixed by a Hadamard matrix; a low-pass in each loop darkens the tail.
  static const int kLengths[8] = {1447, 1663, 1873, 2113, 2357, 2593, 2843, 3119};
  std::array<std::vector<double>, 8> lines;
  std::array<std::size_t, 8> index{};
  std::array<double, 8> gain{}, damp{};
  for (int k = 0; k < 8; ++k) {
    lines[k].assign(kLengths[k], 0.0);
    gain[k] = dm::Pow(10, -3.0 * kLengths[k] / (decaySeconds * kRate));
  }
  const std::size_t predelay = kRate / 40;
  for (std::size_t i = 0; i < left_.size(); ++i) {
    const double input = i >= predelay ? send_[i - predelay] : 0;
    std::array<double, 8> out;
    for (int k = 0; k < 8; ++k) out[k] = lines[k][index[k]];
    // Hadamard 8: three butterfly stages, then normalised.
    std::array<double, 8> h = out;
    for (int size = 1; size < 8; size *= 2)
      for (int i0 = 0; i0 < 8; i0 += 2 * size)
        for (int j = i0; j < i0 + size; ++j) {
          const double a = h[j], b = h[j + size];
          h[j] = a + b;
          h[j + size] = a - b;
        }
    for (int k = 0; k < 8; ++k) {
      const double fed = h[k] * 0.35355339059327373 * gain[k] + input * (k % 2 ? -0.5 : 0.5);
      damp[k] += (fed - damp[k]) * 0.55;
      lines[k][index[k]] = damp[k];
      index[k] = (index[k] + 1) % lines[k].size();
    }
    const double l = out[0] - out[2] + out[4] - out[6];
    const double r = out[1] - out[3] + out[5] - out[7];
    left_[i] = static_cast<float>(left_[i] + l * wet);
    right_[i] = static_cast<float>(right_[i] + r * wet);
  }
}

void Mixer::Master(double ceiling) {
  double peak = 0;
  for (std::size_t i = 0; i < left_.size(); ++i) peak = dm::Max(peak, dm::Max(dm::Abs(left_[i]), dm::Abs(right_[i])));
  if (peak <= 0) return;
  // Aim the loudest sample a little above the ceiling, then let the soft knee take it in.
  const double scale = ceiling * 1.1 / peak;
  const double knee = ceiling * 0.75;
  auto soft = [&](double x) {
    const double a = dm::Abs(x);
    if (a <= knee) return x;
    const double over = (a - knee) / (ceiling - knee);
    const double y = knee + (ceiling - knee) * dm::Tanh(over);
    return x < 0 ? -y : y;
  };
  for (std::size_t i = 0; i < left_.size(); ++i) {
    left_[i] = static_cast<float>(soft(left_[i] * scale));
    right_[i] = static_cast<float>(soft(right_[i] * scale));
  }
}

}  // namespace datagen::synth
