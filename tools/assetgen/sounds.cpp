#include "sounds.h"

#include <cmath>

#include "hosts/mix_bus.h"
#include "synth_math.h"
#include "wav_writer.h"

namespace assetgen {
namespace {

using Buffer = std::vector<double>;

struct Partial {
    double ratio;
    double gain;
};

// A soft bell: the fundamental with a little of the octave and the twelfth.
const Partial kBell[] = {{1.0, 1.0}, {2.0, 0.32}, {3.0, 0.12}, {4.2, 0.05}};
// A hollow, square-like tone from odd harmonics.
const Partial kHollow[] = {{1.0, 1.0}, {3.0, 0.30}, {5.0, 0.14}, {7.0, 0.06}};
const Partial kPure[] = {{1.0, 1.0}};
const Partial kGlass[] = {{1.0, 1.0}, {2.76, 0.28}, {5.40, 0.10}};

struct Tone {
    double start;     // seconds
    double duration;  // seconds
    double fromHz;
    double toHz;  // glided to linearly over the tone
    const Partial* partials;
    int partialCount;
    double gain;
    double attack;  // seconds to full level
    double decay;   // time constant of the exponential decay, 0 for none
    double vibratoHz = 0.0;
    double vibratoDepth = 0.0;  // share of the frequency
};

template <int N>
Tone MakeTone(double start, double duration, double fromHz, double toHz,
              const Partial (&partials)[N], double gain, double attack, double decay) {
    return Tone{start, duration, fromHz, toHz, partials, N, gain, attack, decay};
}

int ToSample(double seconds) { return static_cast<int>(std::floor(seconds * kSampleRate + 0.5)); }

void Grow(Buffer& out, int length) {
    if (static_cast<int>(out.size()) < length) out.resize(length, 0.0);
}

// Level of a tone at `t` seconds into it: rise, decay, and a short release at its end.
double Envelope(const Tone& tone, double t) {
    double level = tone.attack > 0.0 ? Clamp01(t / tone.attack) : 1.0;
    if (tone.decay > 0.0) level *= Exp(-t / tone.decay);
    const double release = 0.012;
    const double left = tone.duration - t;
    if (left < release) level *= 0.5 - 0.5 * Cosine(0.5 * Clamp01(left / release));
    return level;
}

void AddTone(Buffer& out, const Tone& tone) {
    const int first = ToSample(tone.start);
    const int length = ToSample(tone.duration);
    Grow(out, first + length);
    double phases[8] = {};
    for (int n = 0; n < length; ++n) {
        const double t = static_cast<double>(n) / kSampleRate;
        double hz = Mix(tone.fromHz, tone.toHz, t / tone.duration);
        if (tone.vibratoDepth > 0.0) hz *= 1.0 + tone.vibratoDepth * Sine(tone.vibratoHz * t);
        double sample = 0.0;
        for (int k = 0; k < tone.partialCount && k < 8; ++k) {
            sample += tone.partials[k].gain * Sine(phases[k]);
            phases[k] += hz * tone.partials[k].ratio / kSampleRate;
            phases[k] -= std::floor(phases[k]);
        }
        out[first + n] += tone.gain * Envelope(tone, t) * sample;
    }
}

// Noise through a one-pole low pass (`smoothing` near 0 is dark, 1 is bright), shaped
// like a tone; `brightTo` moves the filter over the burst.
void AddNoise(Buffer& out, double start, double duration, double gain, double attack, double decay,
              double smoothing, double brightTo, uint32_t seed) {
    const int first = ToSample(start);
    const int length = ToSample(duration);
    Grow(out, first + length);
    NoiseSource noise{seed};
    Tone shape{start, duration, 0, 0, kPure, 1, gain, attack, decay};
    double low = 0.0;
    for (int n = 0; n < length; ++n) {
        const double t = static_cast<double>(n) / kSampleRate;
        low += Mix(smoothing, brightTo, t / duration) * (NextNoise(noise) - low);
        out[first + n] += gain * Envelope(shape, t) * low;
    }
}

// Brings the loudest sample to `peak` of what a sound may use, and fades both ends to silence.
// The sounds keep their balance and shape; all of them leave the same headroom, so that three
// played together fit in 16 bits, and the platform's mix gives the level back.
Buffer Finish(Buffer out, double peak) {
    double loudest = 0.0;
    for (double s : out) loudest = std::fabs(s) > loudest ? std::fabs(s) : loudest;
    if (loudest > 0.0) {
        for (double& s : out) s *= peak * kSoundHeadroom / loudest;
    }
    const int fadeIn = 48;
    const int fadeOut = 220;
    const int size = static_cast<int>(out.size());
    for (int n = 0; n < fadeIn && n < size; ++n) out[n] *= 0.5 - 0.5 * Cosine(0.5 * n / fadeIn);
    for (int n = 0; n < fadeOut && n < size; ++n)
        out[size - 1 - n] *= 0.5 - 0.5 * Cosine(0.5 * n / fadeOut);
    return out;
}

// Slot 0, looped while lines flash: a shimmering arpeggio over a soft buzz. Every frequency
// is a multiple of 21 Hz and every note lasts 1050 samples, so each holds whole cycles and
// the loop closes on itself.
Buffer Erasing() {
    constexpr int kStep = 1050;
    constexpr int kSteps = 8;
    constexpr double kBase = 21.0;
    const int notes[kSteps] = {50, 63, 75, 100, 75, 63, 50, 63};  // C E G C' G E C E
    Buffer out(kStep * kSteps, 0.0);
    for (int n = 0; n < kStep * kSteps; ++n) {
        const double t = static_cast<double>(n) / kSampleRate;
        double bed = 0.0;
        for (int k = 1; k <= 6; ++k) bed += Sine(kBase * 10.0 * k * t) / k;
        const double tremolo = 0.75 + 0.25 * Sine(2.0 * n / (kStep * kSteps));
        out[n] += 0.16 * bed * tremolo;
    }
    for (int step = 0; step < kSteps; ++step) {
        const double hz = kBase * notes[step];
        for (int i = 0; i < kStep; ++i) {
            const double t = static_cast<double>(i) / kSampleRate;
            const double rise = Clamp01(i / 90.0);
            const double fall = Clamp01((kStep - i) / 260.0);
            const double gate = (0.5 - 0.5 * Cosine(0.5 * rise)) * (0.5 - 0.5 * Cosine(0.5 * fall));
            const double tone =
                Sine(hz * t) + 0.35 * Sine(2.0 * hz * t) + 0.12 * Sine(3.0 * hz * t);
            out[step * kStep + i] += 0.55 * gate * Exp(-t / 0.05) * tone + 0.12 * gate * tone;
        }
    }
    double loudest = 0.0;
    for (double s : out) loudest = std::fabs(s) > loudest ? std::fabs(s) : loudest;
    for (double& s : out) s *= 0.55 * kSoundHeadroom / loudest;
    return out;
}

// Slot 1: the piece touches down, and the stack settles after an erase: a soft thump.
Buffer LineFall() {
    Buffer out;
    AddTone(out, MakeTone(0.0, 0.16, 190.0, 62.0, kPure, 1.0, 0.002, 0.05));
    AddNoise(out, 0.0, 0.05, 0.5, 0.001, 0.012, 0.25, 0.05, 11);
    return Finish(out, 0.75);
}

// Slot 2: a piece locks without closing anything: a short click-clack.
Buffer LineSet() {
    Buffer out;
    AddNoise(out, 0.0, 0.03, 0.8, 0.0005, 0.006, 0.9, 0.6, 23);
    AddTone(out, MakeTone(0.0, 0.09, 820.0, 700.0, kGlass, 0.55, 0.001, 0.02));
    AddNoise(out, 0.045, 0.03, 0.5, 0.0005, 0.006, 0.8, 0.5, 29);
    AddTone(out, MakeTone(0.045, 0.08, 1250.0, 1150.0, kGlass, 0.35, 0.001, 0.018));
    return Finish(out, 0.6);
}

// Slots 3..7: the next piece is shown; each group of kinds has its own note of a
// pentatonic scale and its own colour of tone.
Buffer NextPieceNote(double hz, const Partial* partials, int count) {
    Buffer out;
    AddTone(out, Tone{0.0, 0.22, hz, hz, partials, count, 1.0, 0.003, 0.07});
    AddTone(out, Tone{0.0, 0.22, hz * 2.0, hz * 2.0, kPure, 1, 0.25, 0.002, 0.03});
    return Finish(out, 0.5);
}
Buffer NewLine1() { return NextPieceNote(523.25, kBell, 4); }
Buffer NewLine26() { return NextPieceNote(587.33, kGlass, 3); }
Buffer NewLine3() { return NextPieceNote(659.26, kBell, 4); }
Buffer NewLine47() { return NextPieceNote(783.99, kGlass, 3); }
Buffer NewLine5() { return NextPieceNote(880.00, kHollow, 4); }

// Slot 8: the entering piece was turned in advance: a quick rising whip.
Buffer PreRotate() {
    Buffer out;
    AddTone(out, MakeTone(0.0, 0.11, 420.0, 1500.0, kBell, 0.8, 0.004, 0.05));
    AddNoise(out, 0.0, 0.09, 0.35, 0.01, 0.04, 0.15, 0.8, 37);
    return Finish(out, 0.55);
}

// Slot 9: the stack tops out: a long falling wail over a rumble.
Buffer Chissoku() {
    Buffer out;
    Tone wail = MakeTone(0.0, 1.3, 520.0, 90.0, kHollow, 0.8, 0.01, 0.55);
    wail.vibratoHz = 7.0;
    wail.vibratoDepth = 0.025;
    AddTone(out, wail);
    AddTone(out, MakeTone(0.0, 1.3, 260.0, 45.0, kPure, 0.5, 0.01, 0.6));
    AddNoise(out, 0.0, 1.2, 0.6, 0.02, 0.5, 0.04, 0.01, 41);
    return Finish(out, 0.8);
}

// Slot 10: a new level: a rising major arpeggio into a bright chord.
Buffer LevelChange() {
    Buffer out;
    const double notes[] = {523.25, 659.26, 783.99, 1046.50};
    for (int i = 0; i < 4; ++i)
        AddTone(out, MakeTone(i * 0.075, 0.3, notes[i], notes[i], kBell, 0.6, 0.003, 0.12));
    for (double hz : {523.25, 659.26, 783.99, 1046.50}) {
        AddTone(out, MakeTone(0.30, 0.55, hz, hz, kBell, 0.35, 0.01, 0.25));
    }
    AddTone(out, MakeTone(0.30, 0.55, 2093.0, 2093.0, kGlass, 0.15, 0.01, 0.15));
    return Finish(out, 0.75);
}

// Slot 11: the cursor moves: a small tick.
Buffer Choice() {
    Buffer out;
    AddTone(out, MakeTone(0.0, 0.05, 1320.0, 1320.0, kBell, 1.0, 0.001, 0.014));
    return Finish(out, 0.45);
}

// Slot 12: a choice is made: two rising notes.
Buffer Select() {
    Buffer out;
    AddTone(out, MakeTone(0.0, 0.07, 880.0, 880.0, kBell, 0.9, 0.002, 0.04));
    AddTone(out, MakeTone(0.055, 0.14, 1318.5, 1318.5, kBell, 1.0, 0.002, 0.06));
    return Finish(out, 0.55);
}

// Slot 13: the stack is near the top: a low two-tone warning, short enough to repeat
// twice a second.
Buffer Pinch() {
    Buffer out;
    AddTone(out, MakeTone(0.0, 0.11, 330.0, 330.0, kHollow, 1.0, 0.004, 0.09));
    AddTone(out, MakeTone(0.12, 0.13, 247.0, 247.0, kHollow, 1.0, 0.004, 0.09));
    return Finish(out, 0.6);
}

// Slot 14: a medal: a cascade of glassy chimes with a shimmer on top.
Buffer Medal() {
    Buffer out;
    const double notes[] = {1318.5, 1661.2, 1975.5, 2637.0};
    for (int i = 0; i < 4; ++i)
        AddTone(out,
                MakeTone(i * 0.06, 0.9 - i * 0.06, notes[i], notes[i], kGlass, 0.55, 0.002, 0.25));
    AddTone(out, MakeTone(0.0, 0.9, 659.25, 659.25, kBell, 0.35, 0.004, 0.3));
    AddNoise(out, 0.0, 0.5, 0.08, 0.05, 0.15, 0.95, 0.9, 53);
    return Finish(out, 0.7);
}

struct SoundFile {
    const char* name;  // file name under wave/
    Buffer (*make)();
};

// In WaveSlot order 0..14.
const SoundFile kSounds[] = {
    {"erasing.wav", Erasing},
    {"linefall.wav", LineFall},
    {"lineset.wav", LineSet},
    {"newline1.wav", NewLine1},
    {"newline26.wav", NewLine26},
    {"newline3.wav", NewLine3},
    {"newline47.wav", NewLine47},
    {"newline5.wav", NewLine5},
    {"prerotate.wav", PreRotate},
    {"chissoku.wav", Chissoku},
    {"levelchange.wav", LevelChange},
    {"choice.wav", Choice},
    {"select.wav", Select},
    {"pinch.wav", Pinch},
    {"medal.wav", Medal},
};

}  // namespace

int WriteSounds(const std::string& outDir) {
    int ok = 1;
    for (const SoundFile& sound : kSounds)
        ok &= WriteWave(outDir + "/wave/" + sound.name, sound.make());
    return ok;
}

}  // namespace assetgen
