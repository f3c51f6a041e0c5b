// The instruments of the soundtrack and the hall they play in. Each instrument renders one
// note into a mono buffer; the mixer places it in the stereo field and sends part of it to a
// feedback-delay-network reverb. Everything runs on our own elementary functions, so the
// samples are the same on every machine.
#pragma once

#include <cstdint>
#include <vector>

namespace datagen::synth {

inline constexpr int kRate = 44100;

double MidiFrequency(double midi);

// Each returns the note's samples, release included.
// A warm pad: three detuned saws through a low-pass whose cutoff follows `brightness`
// (0 dull .. 1 open), slow attack and release.
std::vector<float> Pad(double frequency, double seconds, double brightness, double attack,
                       double release = 2.8);
// A choir "ah": two voices per note, a saw source with vibrato through vowel formants.
std::vector<float> Choir(double frequency, double seconds, std::uint64_t seed, double attack,
                         double release = 2.2);
// A bell: a sum of decaying partials at the ratios of a tuned church bell.
std::vector<float> Bell(double frequency, double decay);
// A plucked string (Karplus and Strong), excited by filtered noise.
std::vector<float> Pluck(double frequency, std::uint64_t seed, double brightness);
// A low drone: sine and octave with a slow breathing swell.
std::vector<float> Drone(double frequency, double seconds);

// A stereo mix with a reverb send.
class Mixer {
 public:
  explicit Mixer(std::size_t frames);
  // Adds `note` from `startSeconds` on with a gain, a position (-1 left .. 1 right) and a
  // share sent to the reverb. Samples beyond the end are dropped.
  void Add(const std::vector<float>& note, double startSeconds, double gain, double pan, double send);
  // Runs the hall reverb over the send bus and adds it to the dry mix.
  void ApplyReverb(double decaySeconds, double wet);
  // Multiplies the mix by a gain curve sampled per frame.
  template <class Curve>
  void Shape(Curve curve) {
    for (std::size_t i = 0; i < left_.size(); ++i) {
      const double g = curve(static_cast<double>(i) / kRate);
      left_[i] = static_cast<float>(left_[i] * g);
      right_[i] = static_cast<float>(right_[i] * g);
    }
  }
  // Scales to the peak, then rounds the loudest moments off softly; the result stays below
  // `ceiling`.
  void Master(double ceiling);

  std::vector<float>& left() { return left_; }
  std::vector<float>& right() { return right_; }

 private:
  std::vector<float> left_, right_, send_;
};

}  // namespace datagen::synth
