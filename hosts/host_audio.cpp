#include "hosts/host_audio.h"

#include <cmath>

bool HostTakesWaveFormat(const PlatformWaveFormat& format) {
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16) return false;
    return format.channels != 0 && format.blockAlign >= format.channels * format.bitsPerSample / 8;
}

double HostGain(int32_t hundredthsDb) { return std::pow(10.0, hundredthsDb / 2000.0); }
