#pragma once
// Decoding of device-independent bitmaps, standing in for the system's: BMP files, and a
// bitmap header with its pixel bits given apart (.kbm pictures, image plug-ins). Every size
// in the bytes is checked against what is really there; a bad picture is refused whole.
#include <cstddef>
#include <cstdint>
#include <vector>

// A decoded picture, top row first, each pixel 0x00RRGGBB.
struct DecodedPicture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
};

// The largest picture accepted, as the display could hold it.
constexpr int32_t kMaxPictureSide = 16384;
constexpr int64_t kMaxPicturePixels = int64_t{1} << 24;

// A whole BMP file: file header, bitmap header, colour table, bits.
bool DecodeBmpFile(const uint8_t* data, size_t size, DecodedPicture* picture);
// A bitmap header with its colour table (info), and the pixel bits: ParseDibHeader, then
// DecodeDibBits.
bool DecodeDib(const uint8_t* info, size_t infoSize, const uint8_t* bits, size_t bitsSize,
               DecodedPicture* picture);

// One colour channel of a 16- or 32-bit pixel: where its mask lies and how wide it is.
struct DibChannel {
    uint32_t mask;
    int shift;
    int bits;
};

// What a bitmap header says about the bits that follow it.
struct DibHeader {
    int32_t width, height;
    bool topDown;
    uint32_t bitCount;
    uint32_t compression;
    uint32_t imageSize;  // bytes of run-length bits; 0: all that follow
    DibChannel red, green, blue;
    uint32_t palette[256];
    uint32_t paletteSize;
};

// The first step: the header and its colour table or masks, each checked against infoSize.
bool ParseDibHeader(const uint8_t* info, size_t infoSize, DibHeader* header);
// The second step: pixel bits as a parsed header describes them, checked against bitsSize.
bool DecodeDibBits(const DibHeader& header, const uint8_t* bits, size_t bitsSize,
                   DecodedPicture* picture);

enum FileReadResult : int32_t { FileReadOk = 0, FileReadNoFile, FileReadFailed };
// Reads a whole file of at most limit bytes.
FileReadResult ReadWholeFile(const char* path, size_t limit, std::vector<uint8_t>* contents);

// Little-endian fields of outside bytes; the caller has checked that they are there.
inline uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline int32_t ReadI32(const uint8_t* p) { return static_cast<int32_t>(ReadU32(p)); }
