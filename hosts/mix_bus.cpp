#include "hosts/mix_bus.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr float kCeiling = 32000.0f;  // a little under full scale, for the rounding
// Per-frame recovery towards full gain: from half gain back to full in about 30 ms.
constexpr float kReleaseStep = 1.0f / 2600.0f;

}  // namespace

void MixBusReset(MixBus* bus) {
    *bus = MixBus{};
    for (int32_t i = 0; i < kMixBusLookAhead; ++i) bus->need[i] = bus->held[i] = 1.0f;
    bus->release = 1.0f;
}

// A frame goes out kMixBusLookAhead frames after it came in, at the average of the gains held
// over the frames that came in meanwhile; each held gain is no more than the least that any
// frame then in the look-ahead can take, the outgoing one included. So the gain has reached
// what a peak needs by the time the peak goes out, in a smooth ramp, and recovers slowly after.
void MixBusProcess(MixBus* bus, int16_t* samples, int32_t frames) {
    for (int32_t f = 0; f < frames; ++f) {
        int16_t* frame = samples + 2 * f;
        const int16_t in[2] = {frame[0], frame[1]};
        // Summed afresh each frame: a running sum would drift over hours of play.
        float heldSum = 0.0f;
        for (float h : bus->held) heldSum += h;
        const float gain = static_cast<float>(kSoundMakeup) * heldSum / kMixBusLookAhead;
        for (int c = 0; c < 2; ++c) {
            const float out = static_cast<float>(bus->delayed[bus->at][c]) * gain;
            frame[c] = static_cast<int16_t>(std::clamp(out, -32768.0f, 32767.0f));
        }

        const float peak = static_cast<float>(std::max(std::abs(in[0]), std::abs(in[1]))) *
                           static_cast<float>(kSoundMakeup);
        bus->delayed[bus->at][0] = in[0];
        bus->delayed[bus->at][1] = in[1];
        bus->need[bus->at] = peak > kCeiling ? kCeiling / peak : 1.0f;
        float least = 1.0f;
        for (float n : bus->need) least = std::min(least, n);
        bus->release = std::min(least, bus->release + kReleaseStep);
        bus->held[bus->at] = bus->release;
        bus->at = (bus->at + 1) % kMixBusLookAhead;
    }
}
