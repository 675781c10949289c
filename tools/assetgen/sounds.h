#pragma once
// The fifteen sound effects under wave/: mono 16-bit PCM at 22050 Hz, each faded in and out
// so that it starts and stops without a click; erasing.wav repeats seamlessly.
#include <string>

namespace assetgen {

int WriteSounds(const std::string& outDir);

}  // namespace assetgen
