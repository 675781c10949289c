#pragma once
// How image plug-in libraries are called: two exported C functions.
//
//   int32_t IsSupported(const char* path, const uint8_t* head);
//     head holds the file's bytes, at least kPluginHeadBytes of them (zero-padded);
//     nonzero when the plug-in decodes this file.
//   int32_t GetPicture(const uint8_t* buffer, int32_t length, uint32_t flag,
//                      void** info, void** bits, void* progress, int32_t data);
//     flag 1: buffer holds the whole file (length bytes). 0 on success, with info and bits
//     pointing at memory blocks that the plug-in made with malloc and the frame frees with
//     free(): each begins with a PluginBlockHeader, then its bytes (info: a bitmap header
//     with its colour table; bits: the pixel bits).
#include <cstdint>

constexpr uint32_t kPluginHeadBytes = 2048;
constexpr uint32_t kPluginFromMemory = 1;

struct PluginBlockHeader {
    uint32_t size;  // bytes that follow the header
    uint32_t reserved;
};

extern "C" {
using PluginIsSupportedFn = int32_t (*)(const char* path, const uint8_t* head);
using PluginGetPictureFn = int32_t (*)(const uint8_t* buffer, int32_t length, uint32_t flag,
                                       void** info, void** bits, void* progress, int32_t data);
}

// Loads filePath into a slot through the image plug-in library at pluginPath; 0, with its
// debug line, when the library or the picture is refused.
int32_t LoadPluginImage(uint16_t slot, const char* pluginPath, const char* filePath,
                        int32_t useColorKey);
