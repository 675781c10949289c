#pragma once
// The last stage of a platform's sound mix. The game's sounds are made with headroom, so that
// the loudest three played at once still fit in 16 bits; this stage gives the level back
// (kSoundMakeup) and turns the whole mix down smoothly where it would pass full scale, so that
// a sound alone is exactly as loud as it was made and several together never clip. Portable:
// any platform that mixes 16-bit stereo itself can run its output through it.
#include <cstdint>

// The share of full scale the game's sounds leave free: the three highest peaks add up to 0.98.
constexpr double kSoundHeadroom = 0.98 / (0.80 + 0.75 + 0.75);
constexpr double kSoundMakeup = 1.0 / kSoundHeadroom;

constexpr int32_t kMixBusLookAhead = 64;  // frames the output is held back (1.5 ms at 44.1 kHz)

struct MixBus {
    int16_t delayed[kMixBusLookAhead][2];  // input not yet sent out, oldest at `at`
    float need[kMixBusLookAhead];          // the gain each delayed frame can take
    float held[kMixBusLookAhead];          // the recent held-and-released gains, averaged
    int32_t at;
    float release;  // the gain recovering towards 1 after a peak has passed
};

void MixBusReset(MixBus* bus);
// Runs `frames` interleaved stereo frames through the bus in place.
void MixBusProcess(MixBus* bus, int16_t* samples, int32_t frames);
