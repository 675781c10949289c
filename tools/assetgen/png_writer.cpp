#include "png_writer.h"

#include <cstdint>
#include <vector>

#include "byte_writer.h"
#include "synth_math.h"

namespace assetgen {
namespace {

// PNG counts in network order, unlike the RIFF and BMP files.
void PutBig32(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v >> 24));
    out.push_back(static_cast<uint8_t>(v >> 16));
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

// CRC-32 of the chunks (polynomial 0xEDB88320, reflected), one bit at a time: a few
// hundred kilobytes at most go through it.
uint32_t Crc32(const uint8_t* bytes, size_t count) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xFFFFFFFFu;
}

// Adler-32 of the uncompressed stream, which closes the zlib wrapper.
uint32_t Adler32(const std::vector<uint8_t>& bytes) {
    constexpr uint32_t kModulus = 65521;
    uint32_t a = 1;
    uint32_t b = 0;
    for (const uint8_t byte : bytes) {
        a = (a + byte) % kModulus;
        b = (b + a) % kModulus;
    }
    return (b << 16) | a;
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    PutBig32(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    PutTag(out, type);
    out.insert(out.end(), data.begin(), data.end());
    PutBig32(out, Crc32(out.data() + start, out.size() - start));
}

// A zlib stream of stored blocks: no compression, so no window and no Huffman tables.
std::vector<uint8_t> StoredZlib(const std::vector<uint8_t>& raw) {
    constexpr size_t kBlockLimit = 65535;
    std::vector<uint8_t> out;
    out.push_back(0x78);  // deflate, 32 KiB window
    out.push_back(0x01);  // no dictionary; check bits make 0x7801 a multiple of 31
    size_t at = 0;
    do {
        const size_t length = raw.size() - at < kBlockLimit ? raw.size() - at : kBlockLimit;
        const bool last = at + length == raw.size();
        out.push_back(last ? 1 : 0);  // BFINAL, BTYPE 00 (stored)
        Put16(out, static_cast<uint32_t>(length));
        Put16(out, static_cast<uint32_t>(~length & 0xFFFF));
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                   raw.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
    } while (at < raw.size());
    PutBig32(out, Adler32(raw));
    return out;
}

uint8_t ToByte(double v) { return static_cast<uint8_t>(Clamp01(v) * 255.0 + 0.5); }

}  // namespace

int WritePng(const std::string& path, const Canvas& canvas) {
    // Each row starts with its filter type, 0: the bytes as they are.
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(canvas.height) * (1 + static_cast<size_t>(canvas.width) * 4));
    for (int y = 0; y < canvas.height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < canvas.width; ++x) {
            const size_t at = static_cast<size_t>(y) * canvas.width + x;
            const Rgb c = ToRgb(canvas.colour[at]);
            raw.push_back(c.r);
            raw.push_back(c.g);
            raw.push_back(c.b);
            raw.push_back(ToByte(canvas.alpha[at]));
        }
    }

    std::vector<uint8_t> header;
    PutBig32(header, static_cast<uint32_t>(canvas.width));
    PutBig32(header, static_cast<uint32_t>(canvas.height));
    header.push_back(8);  // bits per channel
    header.push_back(6);  // RGBA
    header.push_back(0);  // deflate
    header.push_back(0);  // adaptive filtering (every row uses filter 0)
    header.push_back(0);  // not interlaced

    static const uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> out(kSignature, kSignature + sizeof kSignature);
    PutChunk(out, "IHDR", header);
    PutChunk(out, "IDAT", StoredZlib(raw));
    PutChunk(out, "IEND", {});
    return WriteBytes(path, out);
}

}  // namespace assetgen
