#include "frame/bmp_reader.h"

#include <bit>
#include <cstdio>

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kMaskedHeaderSize = 52;  // headers that carry their own masks
constexpr uint32_t kBitfieldsSize = 12;     // masks after a plain info header

constexpr uint32_t CompressionNone = 0;
constexpr uint32_t CompressionRle8 = 1;
constexpr uint32_t CompressionRle4 = 2;
constexpr uint32_t CompressionBitfields = 3;

using Channel = DibChannel;
using DibLayout = DibHeader;

Channel MakeChannel(uint32_t mask) {
    if (mask == 0) return {0, 0, 0};
    const int shift = std::countr_zero(mask);
    return {mask, shift, std::popcount(mask >> shift)};
}

// A channel of any width to eight bits: wider ones keep their top bits, narrower ones
// repeat their bits so that full stays full.
uint32_t Expand(const Channel& c, uint32_t pixel) {
    if (c.bits == 0) return 0;
    const uint32_t v = (pixel & c.mask) >> c.shift;
    if (c.bits >= 8) return (v >> (c.bits - 8)) & 0xFF;
    uint32_t out = v << (8 - c.bits);
    for (int filled = c.bits; filled < 8; filled += c.bits) out |= out >> c.bits;
    return out & 0xFF;
}

uint32_t FromMasks(const DibLayout& d, uint32_t pixel) {
    return (Expand(d.red, pixel) << 16) | (Expand(d.green, pixel) << 8) | Expand(d.blue, pixel);
}

uint32_t FromPalette(const DibLayout& d, uint32_t index) {
    return index < d.paletteSize ? d.palette[index] : 0;
}

bool ParseHeader(const uint8_t* info, size_t infoSize, DibLayout* d) {
    if (infoSize < 4) return false;
    const uint32_t headerSize = ReadU32(info);
    int64_t height = 0;
    uint32_t planes = 0;
    uint32_t colourCount = 0;
    size_t paletteAt = headerSize;
    size_t entrySize = 4;
    *d = DibLayout{};
    if (headerSize == kCoreHeaderSize) {
        if (infoSize < kCoreHeaderSize) return false;
        d->width = ReadU16(info + 4);
        height = ReadU16(info + 6);
        planes = ReadU16(info + 8);
        d->bitCount = ReadU16(info + 10);
        entrySize = 3;
    } else {
        if (headerSize < kInfoHeaderSize || headerSize > infoSize) return false;
        d->width = ReadI32(info + 4);
        height = ReadI32(info + 8);
        planes = ReadU16(info + 12);
        d->bitCount = ReadU16(info + 14);
        d->compression = ReadU32(info + 16);
        d->imageSize = ReadU32(info + 20);
        colourCount = ReadU32(info + 32);
    }
    if (planes != 1 || d->width < 1 || height == 0) return false;
    d->topDown = height < 0;
    if (d->topDown) height = -height;  // 64-bit: the most negative height negates safely
    if (d->width > kMaxPictureSide || height > kMaxPictureSide) return false;
    d->height = static_cast<int32_t>(height);
    if (static_cast<int64_t>(d->width) * d->height > kMaxPicturePixels) return false;

    switch (d->bitCount) {
        case 1:
        case 4:
        case 8:
        case 16:
        case 24:
        case 32: break;
        default: return false;
    }
    switch (d->compression) {
        case CompressionNone: break;
        case CompressionRle8:
            if (d->bitCount != 8 || d->topDown) return false;
            break;
        case CompressionRle4:
            if (d->bitCount != 4 || d->topDown) return false;
            break;
        case CompressionBitfields:
            if (d->bitCount != 16 && d->bitCount != 32) return false;
            if (headerSize == kInfoHeaderSize) {
                if (infoSize < kInfoHeaderSize + kBitfieldsSize) return false;
                paletteAt += kBitfieldsSize;
            } else if (headerSize < kMaskedHeaderSize) {
                return false;
            }
            d->red = MakeChannel(ReadU32(info + 40));
            d->green = MakeChannel(ReadU32(info + 44));
            d->blue = MakeChannel(ReadU32(info + 48));
            break;
        default: return false;
    }
    if (d->compression == CompressionNone && d->bitCount == 16) {
        d->red = MakeChannel(0x7C00);
        d->green = MakeChannel(0x03E0);
        d->blue = MakeChannel(0x001F);
    } else if (d->compression == CompressionNone && d->bitCount == 32) {
        d->red = MakeChannel(0xFF0000);
        d->green = MakeChannel(0x00FF00);
        d->blue = MakeChannel(0x0000FF);
    }

    if (d->bitCount <= 8) {
        const uint32_t full = 1u << d->bitCount;
        d->paletteSize = (colourCount == 0 || colourCount > full) ? full : colourCount;
        const size_t bytes = static_cast<size_t>(d->paletteSize) * entrySize;
        if (paletteAt > infoSize || bytes > infoSize - paletteAt) return false;
        for (uint32_t i = 0; i < d->paletteSize; ++i) {
            const uint8_t* e = info + paletteAt + i * entrySize;
            d->palette[i] =
                (static_cast<uint32_t>(e[2]) << 16) | (static_cast<uint32_t>(e[1]) << 8) | e[0];
        }
    }
    return true;
}

uint32_t PixelAt(const DibLayout& d, const uint8_t* row, int32_t x) {
    switch (d.bitCount) {
        case 1: return FromPalette(d, (row[x >> 3] >> (7 - (x & 7))) & 1);
        case 4: return FromPalette(d, (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4));
        case 8: return FromPalette(d, row[x]);
        case 16: return FromMasks(d, ReadU16(row + 2 * x));
        case 24: {
            const uint8_t* p = row + 3 * x;
            return (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[1]) << 8) | p[0];
        }
        default: return FromMasks(d, ReadU32(row + 4 * x));
    }
}

// Bytes in one row of plain bits, padded to four.
int64_t RowBytes(const DibLayout& d) {
    return (static_cast<int64_t>(d.width) * d.bitCount + 31) / 32 * 4;
}

bool DecodeRows(const DibLayout& d, const uint8_t* bits, size_t bitsSize, DecodedPicture* out) {
    const int64_t stride = RowBytes(d);
    if (stride * d.height > static_cast<int64_t>(bitsSize)) return false;
    for (int32_t r = 0; r < d.height; ++r) {
        const uint8_t* row = bits + r * stride;
        const int32_t y = d.topDown ? r : d.height - 1 - r;
        uint32_t* target = out->pixels.data() + static_cast<size_t>(y) * d.width;
        for (int32_t x = 0; x < d.width; ++x) target[x] = PixelAt(d, row, x);
    }
    return true;
}

// Run-length bits, bottom row first. Runs that leave the picture are cut; a command whose
// bytes are not all there refuses the picture.
bool DecodeRle(const DibLayout& d, const uint8_t* bits, size_t size, DecodedPicture* out) {
    const bool four = d.compression == CompressionRle4;
    int64_t x = 0, row = 0;
    auto put = [&](uint32_t index) {
        if (x < d.width && row < d.height)
            out->pixels[static_cast<size_t>((d.height - 1 - row) * d.width + x)] =
                FromPalette(d, index);
        ++x;
    };
    size_t pos = 0;
    while (pos < size) {
        if (size - pos < 2) return false;
        const uint32_t count = bits[pos], value = bits[pos + 1];
        pos += 2;
        if (count > 0) {
            for (uint32_t k = 0; k < count; ++k)
                put(four ? ((k & 1) ? (value & 0x0F) : (value >> 4)) : value);
            continue;
        }
        if (value == 0) {  // end of line
            x = 0;
            ++row;
        } else if (value == 1) {  // end of bitmap
            return true;
        } else if (value == 2) {  // move right and up
            if (size - pos < 2) return false;
            x += bits[pos];
            row += bits[pos + 1];
            pos += 2;
        } else {  // literal pixels, padded to a word
            size_t bytes = four ? (value + 1) / 2 : value;
            bytes += bytes & 1;
            if (size - pos < bytes) return false;
            for (uint32_t k = 0; k < value; ++k) {
                const uint8_t b = bits[pos + (four ? k / 2 : k)];
                put(four ? ((k & 1) ? (b & 0x0F) : (b >> 4)) : b);
            }
            pos += bytes;
        }
    }
    return true;
}

}  // namespace

bool ParseDibHeader(const uint8_t* info, size_t infoSize, DibHeader* header) {
    if (!info || !header) return false;
    return ParseHeader(info, infoSize, header);
}

bool DecodeDibBits(const DibHeader& d, const uint8_t* bits, size_t bitsSize,
                   DecodedPicture* picture) {
    if (!picture || (!bits && bitsSize > 0)) return false;
    const bool rle = d.compression == CompressionRle8 || d.compression == CompressionRle4;
    // Plain rows are all there or the picture is refused, before any pixel memory is taken.
    if (!rle && RowBytes(d) * d.height > static_cast<int64_t>(bitsSize)) return false;
    DecodedPicture out;
    out.width = d.width;
    out.height = d.height;
    // Pixels a run-length picture skips keep colour 0.
    out.pixels.assign(static_cast<size_t>(d.width) * static_cast<size_t>(d.height),
                      rle ? FromPalette(d, 0) : 0);
    if (rle) {
        if (d.imageSize > bitsSize) return false;
        if (!DecodeRle(d, bits, d.imageSize ? d.imageSize : bitsSize, &out)) return false;
    } else if (!DecodeRows(d, bits, bitsSize, &out)) {
        return false;
    }
    *picture = std::move(out);
    return true;
}

bool DecodeDib(const uint8_t* info, size_t infoSize, const uint8_t* bits, size_t bitsSize,
               DecodedPicture* picture) {
    DibHeader header;
    return ParseDibHeader(info, infoSize, &header) &&
           DecodeDibBits(header, bits, bitsSize, picture);
}

bool DecodeBmpFile(const uint8_t* data, size_t size, DecodedPicture* picture) {
    if (!data || size < kFileHeaderSize || data[0] != 'B' || data[1] != 'M') return false;
    const uint32_t bitsAt = ReadU32(data + 10);
    if (bitsAt < kFileHeaderSize || bitsAt > size) return false;
    return DecodeDib(data + kFileHeaderSize, size - kFileHeaderSize, data + bitsAt, size - bitsAt,
                     picture);
}

FileReadResult ReadWholeFile(const char* path, size_t limit, std::vector<uint8_t>* contents) {
    if (!path) return FileReadNoFile;
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return FileReadNoFile;
    FileReadResult result = FileReadFailed;
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
    if (size >= 0 && static_cast<unsigned long>(size) <= limit &&
        std::fseek(file, 0, SEEK_SET) == 0) {
        contents->assign(static_cast<size_t>(size), 0);
        if (std::fread(contents->data(), 1, contents->size(), file) == contents->size())
            result = FileReadOk;
    }
    std::fclose(file);
    return result;
}
