#pragma once
// What every host that plays the sound slots itself shares: which formats a buffer takes and
// the decibel scale of the pan and volume controls.
#include <cstdint>

#include "platform/platform_audio.h"

// 8- or 16-bit PCM whose sample frames hold every channel: the layouts the hosts convert.
bool HostTakesWaveFormat(const PlatformWaveFormat& format);

// Hundredths of a decibel (0 full, -10000 silent) as a factor of the amplitude.
double HostGain(int32_t hundredthsDb);
