// The soundtrack: one piece of 294 s in D major at 72 beats a minute, which follows the
// picture. The interior opens with pad and choir, the melody enters over the landscape at
// 12 s, each still picture (50, 115 and 178 s) is met by bells alone, the choir leads the
// second visit inside, the long build swells with the light between 230 and 250 s, and the
// ascent climbs in arpeggios to one long chord that has faded by the end.
#include <algorithm>
#include <initializer_list>

#include "tools/datagen/assets.h"
#include "tools/datagen/mp3_encoder.h"
#include "tools/datagen/noise.h"
#include "tools/datagen/synth.h"

namespace datagen {
namespace {

constexpr double kBeat = 60.0 / 72;
constexpr double kBar = 4 * kBeat;

// Chord voicings, MIDI notes from the bass up.
using Chord = std::vector<int>;
const Chord kD{50, 57, 62, 66}, kDadd9{50, 57, 64, 66}, kAoverCs{49, 57, 61, 64}, kBm{47, 54, 59, 62},
    kG{43, 50, 55, 59}, kEm{52, 55, 59, 64}, kA{45, 52, 57, 61}, kFsm{42, 49, 54, 57},
    kDoverFs{42, 50, 57, 62}, kAsus{45, 52, 57, 62}, kGmaj7{43, 50, 54, 59};

// A melody note: start and length in beats from the phrase start, MIDI pitch.
struct Note {
  double beat, beats;
  int midi;
};
using Phrase = std::vector<Note>;

// The main theme, four bars each, over D  A/C#  Bm  G  and over Em  G  D  A.
const Phrase kThemeA{{0, 1, 66}, {1, 1, 69}, {2, 2, 74}, {4, 1.5, 73}, {5.5, 0.5, 71}, {6, 2, 69},
                     {8, 1, 71}, {9, 1, 74}, {10, 1.5, 78}, {11.5, 0.5, 76}, {12, 1, 74}, {13, 1, 71},
                     {14, 1, 67}, {15, 1, 69}};
const Phrase kThemeB{{0, 1, 66}, {1, 1, 69}, {2, 1.5, 74}, {3.5, 0.5, 76}, {4, 2, 78}, {6, 1, 76},
                     {7, 1, 73}, {8, 1.5, 74}, {9.5, 0.5, 73}, {10, 1, 71}, {11, 1, 69}, {12, 1, 67},
                     {13, 1, 71}, {14, 2, 69}};
const Phrase kThemeC{{0, 1, 67}, {1, 1, 71}, {2, 2, 76}, {4, 1, 74}, {5, 1, 71}, {6, 2, 67},
                     {8, 1, 69}, {9, 1, 74}, {10, 1.5, 78}, {11.5, 0.5, 76}, {12, 2, 76}, {14, 1, 73},
                     {15, 1, 69}};
// The same in B minor, for the orchard.
const Phrase kMinor{{0, 1, 74}, {1, 1, 73}, {2, 2, 71}, {4, 1, 71}, {5, 1, 69}, {6, 1, 67}, {7, 1, 66},
                    {8, 1.5, 69}, {9.5, 0.5, 66}, {10, 1, 69}, {11, 1, 74}, {12, 3, 73}, {15, 1, 76},
                    {16, 2, 78}, {18, 1, 76}, {19, 1, 74}, {20, 2, 73}, {22, 2, 69}, {24, 1, 71},
                    {25, 1, 74}, {26, 1.5, 79}, {27.5, 0.5, 78}, {28, 4, 76}, {32, 1, 79}, {33, 1, 78},
                    {34, 1, 76}, {35, 1, 71}, {36, 2, 74}, {38, 2, 71}};

class Score {
 public:
  explicit Score(double seconds)
      : seconds_(seconds), mix_(static_cast<std::size_t>(seconds * synth::kRate)) {}

  bool Audible(double start) const { return start < seconds_; }

  void Pad(double start, double seconds, const Chord& chord, double gain, double brightness,
           double attack = 1.6, double release = 2.8) {
    if (!Audible(start)) return;
    for (std::size_t i = 0; i < chord.size(); ++i)
      mix_.Add(synth::Pad(synth::MidiFrequency(chord[i]), seconds, brightness, attack, release), start, gain,
               -0.5 + static_cast<double>(i) / (chord.size() - 1), 0.35);
  }
  // The upper voices of a chord sung, optionally an octave up.
  void Choir(double start, double seconds, const Chord& chord, double gain, int octave = 0,
             double attack = 1.0, double release = 2.2) {
    if (!Audible(start)) return;
    for (std::size_t i = 1; i < chord.size(); ++i)
      mix_.Add(synth::Choir(synth::MidiFrequency(chord[i] + 12 * octave), seconds, Seed(start, i), attack, release),
               start, gain, 0.6 - 0.4 * static_cast<double>(i), 0.55);
  }
  void Voice(double start, double seconds, int midi, double gain, double pan = 0.1) {
    if (!Audible(start)) return;
    mix_.Add(synth::Choir(synth::MidiFrequency(midi), seconds, Seed(start, midi), 0.25), start, gain, pan, 0.5);
  }
  void Bell(double start, int midi, double gain, double pan = 0, double decay = 6) {
    if (!Audible(start)) return;
    mix_.Add(synth::Bell(synth::MidiFrequency(midi), decay), start, gain, pan, 0.6);
  }
  void Pluck(double start, int midi, double gain, double pan = -0.15, double brightness = 0.5) {
    if (!Audible(start)) return;
    mix_.Add(synth::Pluck(synth::MidiFrequency(midi), Seed(start, midi), brightness), start, gain, pan, 0.35);
  }
  void Drone(double start, double seconds, int midi, double gain) {
    if (!Audible(start)) return;
    mix_.Add(synth::Drone(synth::MidiFrequency(midi), seconds), start, gain, 0, 0.2);
  }

  // A phrase on the plucked string (and, when given, doubled by a sung voice or bells).
  enum class Lead { kPluck, kVoice, kBell };
  void Melody(double start, const Phrase& phrase, Lead lead, double gain, double beat = kBeat,
              int transpose = 0) {
    for (const Note& n : phrase) {
      const double at = start + n.beat * beat;
      switch (lead) {
        case Lead::kPluck: Pluck(at, n.midi + transpose, gain); break;
        case Lead::kVoice: Voice(at, n.beats * beat * 0.95, n.midi + transpose, gain); break;
        case Lead::kBell: Bell(at, n.midi + transpose, gain, 0.2, 4.5); break;
      }
    }
  }

  // Broken chords on the plucked string: `perBeat` notes a beat, up the chord and down.
  void Arpeggio(double start, double bars, const Chord& chord, double gain, int perBeat, int octave = 1,
                bool rising = false) {
    const int steps = static_cast<int>(bars * 4 * perBeat + 0.5);
    const double step = kBeat / perBeat;
    std::vector<int> notes;
    for (int o = 0; o < (rising ? 3 : 1); ++o)
      for (std::size_t i = 1; i < chord.size(); ++i) notes.push_back(chord[i] + 12 * (octave + o));
    for (int s = 0; s < steps; ++s) {
      std::size_t k;
      if (rising) {
        k = static_cast<std::size_t>(s) % notes.size();
      } else {
        const std::size_t cycle = 2 * notes.size() - 2;
        const std::size_t p = static_cast<std::size_t>(s) % cycle;
        k = p < notes.size() ? p : cycle - p;
      }
      const double accent = s % perBeat == 0 ? 1.0 : 0.7;
      Pluck(start + s * step, notes[k], gain * accent, (k % 2 ? 0.35 : -0.35), 0.45);
    }
  }

  synth::Mixer& mix() { return mix_; }

 private:
  static std::uint64_t Seed(double start, std::size_t salt) {
    return static_cast<std::uint64_t>(start * 1000 + 0.5) * 131 + salt;
  }
  double seconds_;
  synth::Mixer mix_;
};

// Chords one per bar from `start`.
void PadBars(Score& s, double start, std::initializer_list<const Chord*> chords, double gain, double brightness,
             double overlap = 0.4) {
  double t = start;
  for (const Chord* chord : chords) {
    s.Pad(t, kBar + overlap, *chord, gain, brightness);
    t += kBar;
  }
}
void ChoirBars(Score& s, double start, std::initializer_list<const Chord*> chords, double gain, int octave = 0) {
  double t = start;
  for (const Chord* chord : chords) {
    s.Choir(t, kBar + 0.3, *chord, gain, octave);
    t += kBar;
  }
}

void Compose(Score& s) {
  using Lead = Score::Lead;
  // 0-12 s: inside, the light comes up: pad and choir, a low D.
  s.Drone(0, 46, 38, 0.38);
  s.Pad(0, kBar * 1.1, kD, 0.7, 0.25, 3.5);
  s.Pad(kBar, kBar * 1.1, kDadd9, 0.75, 0.3);
  s.Pad(2 * kBar, kBar + 0.4, kBm, 0.75, 0.3);
  s.Choir(1.5, kBar * 2 - 1.0, kD, 0.55, 0);
  s.Choir(2 * kBar, kBar + 0.5, kBm, 0.55, 0);
  s.Pad(3 * kBar, 12.0 - 3 * kBar + 0.6, kG, 0.75, 0.3);
  s.Choir(3 * kBar, 12.0 - 3 * kBar + 0.4, kG, 0.5, 0);

  // 12-50 s: over the landscape the theme enters on the plucked string.
  double t = 12.0;
  PadBars(s, t, {&kD, &kAoverCs, &kBm, &kG, &kD, &kAoverCs, &kBm, &kG, &kEm, &kG, &kD}, 0.65, 0.45);
  s.Pad(t + 11 * kBar, 50.0 - (t + 11 * kBar) - 2.6, kDadd9, 0.6, 0.4);
  s.Melody(t, kThemeA, Lead::kPluck, 0.9);
  s.Melody(t + 4 * kBar, kThemeB, Lead::kPluck, 0.9);
  s.Melody(t + 8 * kBar, kThemeC, Lead::kPluck, 0.9);
  s.Bell(t, 74, 0.35, 0.3);
  s.Bell(t + 4 * kBar, 81, 0.3, -0.3);
  for (int bar = 4; bar < 11; ++bar) {
    static const Chord* const kChords[] = {&kD, &kAoverCs, &kBm, &kG, &kD, &kAoverCs, &kBm, &kG, &kEm, &kG, &kD};
    s.Arpeggio(t + bar * kBar, 1, *kChords[bar], 0.3, 2, 0);
  }
  s.Choir(t + 8 * kBar, 2 * kBar, kEm, 0.3, 0);
  s.Choir(t + 10 * kBar, kBar, kD, 0.3, 0);
  s.Pluck(t + 11 * kBar, 74, 0.8);

  // 50 s: the first picture. Bells alone, a breath.
  s.Bell(50.0, 74, 0.7, -0.2, 7);
  s.Bell(50.0, 81, 0.4, 0.3, 7);
  s.Bell(51.7, 78, 0.45, 0.25);
  s.Bell(53.4, 69, 0.5, -0.3);
  s.Bell(55.1, 74, 0.35, 0.1);

  // 56.8-115 s: the orchard. Broken chords under the theme turned to B minor, then the long
  // spiral up with the choir.
  t = 56.8;
  s.Drone(t, 56, 35, 0.32);
  s.Pad(t, kBar, kDadd9, 0.55, 0.35, 2.0);
  const double orchard = t + kBar;
  PadBars(s, orchard, {&kBm, &kG, &kD, &kA, &kBm, &kFsm, &kG, &kA, &kEm, &kG}, 0.55, 0.4);
  {
    const Chord* chords[] = {&kBm, &kG, &kD, &kA, &kBm, &kFsm, &kG, &kA, &kEm, &kG};
    for (int bar = 0; bar < 10; ++bar) s.Arpeggio(orchard + bar * kBar, 1, *chords[bar], 0.38, 2, 0);
  }
  s.Melody(orchard, kMinor, Lead::kPluck, 0.85);
  const double spiral = orchard + 10 * kBar;  // about 93.5 s
  PadBars(s, spiral, {&kD, &kG, &kBm, &kA, &kDoverFs, &kG}, 0.6, 0.55);
  ChoirBars(s, spiral, {&kD, &kG, &kBm, &kA, &kDoverFs, &kG}, 0.45);
  s.Melody(spiral, kThemeA, Lead::kPluck, 0.8);
  s.Melody(spiral + 4 * kBar, {{0, 2, 71}, {2, 2, 74}, {4, 3, 69}}, Lead::kPluck, 0.75);
  for (int bar = 0; bar < 6; ++bar) s.Bell(spiral + bar * kBar, bar % 2 ? 81 : 74, 0.22, bar % 2 ? 0.4 : -0.4, 4);

  // 115 s: the second picture, bells alone.
  s.Bell(115.0, 69, 0.6, -0.2, 7);
  s.Bell(115.0, 76, 0.35, 0.2, 7);
  s.Bell(116.7, 78, 0.4, 0.3);
  s.Bell(118.4, 74, 0.45, -0.1);
  s.Bell(120.1, 71, 0.4, 0.2);

  // 122-178 s: inside again, the choir in front: chords, and one voice singing the theme
  // slowly above them.
  t = 122.0;
  s.Drone(t, 54, 38, 0.35);
  ChoirBars(s, t, {&kD, &kBm, &kG, &kA, &kD, &kFsm, &kBm, &kG, &kEm, &kA, &kD, &kG, &kBm, &kA, &kD, &kD}, 0.7);
  PadBars(s, t, {&kD, &kBm, &kG, &kA, &kD, &kFsm, &kBm, &kG, &kEm, &kA, &kD, &kG, &kBm, &kA, &kD, &kD}, 0.35, 0.2);
  s.Melody(t + kBar, kThemeA, Lead::kVoice, 0.55, kBeat * 1.5, 0);
  s.Melody(t + 7 * kBar, kThemeB, Lead::kVoice, 0.55, kBeat * 1.5, 0);
  s.Melody(t + 13 * kBar, {{0, 2, 74}, {2, 2, 73}, {4, 4, 74}}, Lead::kVoice, 0.5, kBeat * 1.5);

  // 178 s: the greetings, bells alone playing the theme, slowly.
  s.Melody(178.0, kThemeA, Lead::kBell, 0.4, 0.72);
  s.Bell(178.0, 62, 0.45, -0.3, 8);
  s.Bell(178.0 + 16 * 0.72, 62, 0.4, 0.3, 8);

  // 190-260 s: the longest build. Broken chords grow, the choir joins, and at 230-250 the
  // whole ensemble swells with the light.
  t = 190.0;
  s.Drone(t, 68, 38, 0.35);
  PadBars(s, t, {&kG, &kA, &kBm, &kG, &kD, &kA}, 0.5, 0.35);
  {
    const Chord* chords[] = {&kG, &kA, &kBm, &kG, &kD, &kA};
    for (int bar = 0; bar < 6; ++bar) s.Arpeggio(t + bar * kBar, 1, *chords[bar], 0.25 + 0.03 * bar, 2, 0);
  }
  const double rise = t + 6 * kBar;  // 210 s
  PadBars(s, rise, {&kEm, &kG, &kD, &kA, &kBm, &kG}, 0.55, 0.5);
  ChoirBars(s, rise, {&kEm, &kG, &kD, &kA, &kBm, &kG}, 0.4);
  {
    const Chord* chords[] = {&kEm, &kG, &kD, &kA, &kBm, &kG};
    for (int bar = 0; bar < 6; ++bar) s.Arpeggio(rise + bar * kBar, 1, *chords[bar], 0.32, 3, 0);
  }
  s.Melody(rise, kThemeB, Lead::kPluck, 0.8);
  s.Melody(rise + 4 * kBar, {{0, 2, 74}, {2, 2, 78}, {4, 4, 76}}, Lead::kPluck, 0.8);
  const double swell = 230.0;
  PadBars(s, swell, {&kD, &kAoverCs, &kBm, &kG, &kEm, &kAsus}, 0.7, 0.85);
  ChoirBars(s, swell, {&kD, &kAoverCs, &kBm, &kG, &kEm, &kAsus}, 0.55, 1);
  ChoirBars(s, swell, {&kD, &kAoverCs, &kBm, &kG, &kEm, &kAsus}, 0.45, 0);
  {
    const Chord* chords[] = {&kD, &kAoverCs, &kBm, &kG, &kEm, &kAsus};
    for (int bar = 0; bar < 6; ++bar) s.Arpeggio(swell + bar * kBar, 1, *chords[bar], 0.35, 4, 0);
  }
  s.Melody(swell, kThemeA, Lead::kPluck, 0.9, kBeat, 12);
  s.Melody(swell, kThemeA, Lead::kVoice, 0.45);
  for (int bar = 0; bar < 6; ++bar) s.Bell(swell + bar * kBar, 74 + (bar % 3) * 5, 0.3, bar % 2 ? 0.5 : -0.5, 5);
  const double ebb = swell + 6 * kBar;  // 250 s
  PadBars(s, ebb, {&kG, &kAsus, &kA}, 0.5, 0.5);
  s.Arpeggio(ebb, 3, kG, 0.3, 2, 0, true);

  // 260-294 s: the ascent. Rising arpeggios, brighter and higher, then one long chord that
  // has died away by the end.
  t = 260.0;
  s.Drone(t, 20, 38, 0.32);
  PadBars(s, t, {&kG, &kA, &kBm, &kGmaj7, &kA, &kAsus}, 0.6, 0.8);
  ChoirBars(s, t, {&kG, &kA, &kBm, &kGmaj7, &kA, &kAsus}, 0.4, 1);
  {
    const Chord* chords[] = {&kG, &kA, &kBm, &kGmaj7, &kA, &kAsus};
    for (int bar = 0; bar < 6; ++bar) s.Arpeggio(t + bar * kBar, 1, *chords[bar], 0.3, 4, bar / 3, true);
    for (int bar = 0; bar < 6; ++bar) s.Bell(t + bar * kBar, chords[bar]->back() + 12, 0.3, bar % 2 ? 0.4 : -0.4, 5);
  }
  const double last = 282.0;
  const Chord finalChord{38, 50, 57, 62, 64, 66, 69, 74};
  s.Pad(last, 2.5, finalChord, 0.55, 0.6, 0.8, 7.0);
  s.Choir(last, 2.0, {50, 62, 66, 69, 74}, 0.35, 0, 0.6, 6.5);
  s.Drone(last, 4.0, 38, 0.4);
  s.Bell(last, 74, 0.6, -0.2, 11);
  s.Bell(last, 62, 0.5, 0.2, 11);
  s.Bell(last + 0.42, 78, 0.35, 0.4, 9);
  s.Bell(last + 0.84, 81, 0.3, -0.4, 8);
}

// The level of each part of the piece, and the swell that follows the light.
double Dynamics(double t) {
  struct Point {
    double time, level;
  };
  static const Point kCurve[] = {
      {0, 0.0},   {4, 0.55},    {11, 0.6},  {12, 0.65},  {46, 0.7},   {49.5, 0.45}, {50, 0.9},
      {56, 0.8},  {56.8, 0.55}, {60, 0.7},  {92, 0.75},  {110, 0.8},  {114.5, 0.45}, {115, 0.9},
      {121, 0.8}, {122, 0.75},  {175, 0.85}, {177.6, 0.45}, {178, 0.9}, {189, 0.85},  {190, 0.45},
      {210, 0.6}, {229, 0.7},   {250, 0.75}, {258, 0.8}, {282, 0.95}, {294, 0.95}};
  double level = kCurve[0].level;
  for (std::size_t i = 1; i < std::size(kCurve); ++i) {
    if (t <= kCurve[i].time) {
      const Point a = kCurve[i - 1], b = kCurve[i];
      level = a.level + (b.level - a.level) * dm::Smoothstep(a.time, b.time, t);
      break;
    }
    level = kCurve[i].level;
  }
  if (t >= 230 && t < 250) level *= 0.8 + 0.5 * dm::Sin(dm::kPi * (t - 230) / 19.8);
  // Everything has died away by the end.
  level *= 1 - dm::Smoothstep(290.5, 293.8, t);
  return level;
}

}  // namespace

Files MakeMusic(double seconds) {
  Score score(seconds);
  Compose(score);
  synth::Mixer& mix = score.mix();
  mix.ApplyReverb(3.4, 0.32);
  mix.Shape(Dynamics);
  mix.Master(0.89);
  return {{"user@example.com3", EncodeMp3(mix.left(), mix.right(), 192)}};
}

}  // namespace datagen
