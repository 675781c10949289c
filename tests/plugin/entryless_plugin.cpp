// A library that offers IsSupported but no GetPicture: not an image plug-in.
#include <cstdint>

extern "C" int32_t IsSupported(const char*, const uint8_t*) { return 1; }
