#include "frame/kbm_reader.h"

#include "frame/bitmap_slots.h"
#include "frame/diagnostics.h"
#include "frame/slot_loader.h"

namespace {

constexpr size_t kKbmHeaderSize = 24;
constexpr uint32_t kKbmMagic = 0x004D424B;  // "KBM" and a zero byte
constexpr int kPlanes = 3;
constexpr size_t kBytesPerPixel = 3;

// Each byte is a value (its top five bits) and a repeat count (its low three bits, plus
// one); plane p fills byte p of every 3-byte pixel. A plane that would run past the pixel
// memory refuses the picture.
bool DecodePlane(const uint8_t* plane, size_t length, int plane_index,
                 std::vector<uint8_t>* memory) {
    size_t at = static_cast<size_t>(plane_index);
    for (size_t i = 0; i < length; ++i) {
        const uint8_t value = plane[i] & 0xF8;
        const int repeats = (plane[i] & 7) + 1;
        for (int k = 0; k < repeats; ++k) {
            if (at >= memory->size()) return false;
            (*memory)[at] = value;
            at += kBytesPerPixel;
        }
    }
    return true;
}

// The planes as a 24-bit bottom-up bitmap: rows padded to four bytes, so the pixel stream
// lines up with the rows exactly when the width is a multiple of four.
bool DecodeKbm(const uint8_t* file, size_t size, DecodedPicture* picture) {
    const int32_t width = ReadI32(file + 4);
    const int32_t height = ReadI32(file + 8);
    if (width < 1 || height < 1 || width > kMaxPictureSide || height > kMaxPictureSide)
        return false;
    if (static_cast<int64_t>(width) * height > kMaxPicturePixels) return false;
    uint64_t lengths[kPlanes];
    uint64_t total = 0;
    for (int p = 0; p < kPlanes; ++p) {
        lengths[p] = ReadU32(file + 12 + 4 * p);
        total += lengths[p];
    }
    if (total > size - kKbmHeaderSize) return false;

    const size_t paddedWidth = static_cast<size_t>((width + 3) & ~3);
    std::vector<uint8_t> memory(paddedWidth * static_cast<size_t>(height) * kBytesPerPixel, 0);
    size_t at = kKbmHeaderSize;
    for (int p = 0; p < kPlanes; ++p) {
        if (!DecodePlane(file + at, static_cast<size_t>(lengths[p]), p, &memory)) return false;
        at += static_cast<size_t>(lengths[p]);
    }

    uint8_t info[40] = {};
    const uint32_t fields[] = {40, static_cast<uint32_t>(width), static_cast<uint32_t>(height)};
    for (int i = 0; i < 3; ++i)
        for (int b = 0; b < 4; ++b) info[4 * i + b] = static_cast<uint8_t>(fields[i] >> (8 * b));
    info[12] = 1;   // one plane
    info[14] = 24;  // bits per pixel
    return DecodeDib(info, sizeof info, memory.data(), memory.size(), picture);
}

}  // namespace

int32_t DecodeKbmFile(const uint8_t* data, size_t size, DecodedPicture* picture) {
    if (!data || size < kKbmHeaderSize || ReadU32(data) != kKbmMagic) return KbmNotKbm;
    return DecodeKbm(data, size, picture) ? KbmDecoded : KbmBroken;
}

int32_t LoadKbmFile(uint16_t slot, const char* path, int32_t useColorKey) {
    if (slot >= kGameSlots) return 0;
    ReleaseSlotSurface(slot);
    SetSlotSource(slot, path, "");
    if (!path) path = "";
    std::vector<uint8_t> file;
    const FileReadResult read = ReadWholeFile(path, kMaxPictureFileBytes, &file);
    if (read == FileReadNoFile) {
        DebugLine("KBM[%s]のオープンに失敗しました。\n", path);
        return 0;
    }
    DecodedPicture picture;
    const int32_t decoded =
        read == FileReadOk ? DecodeKbmFile(file.data(), file.size(), &picture) : KbmNotKbm;
    if (decoded == KbmNotKbm) {
        DebugLine("KBM[%s]はKBM形式ではありません。\n", path);
        return 0;
    }
    if (decoded != KbmDecoded) {
        DebugLine("KBM[%s]の展開に失敗しました。\n", path);
        return 0;
    }
    if (!SurfaceFromPicture(slot, picture)) return 0;
    TakeColourKey(slot);
    BitmapSlots[slot].useColourKey = useColorKey;
    return 1;
}
