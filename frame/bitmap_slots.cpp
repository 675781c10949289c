#include "frame/bitmap_slots.h"

#include "frame/diagnostics.h"
#include "frame/display.h"
#include "frame/slot_loader.h"

#include <cstdio>
#include <cstring>

BitmapSlot BitmapSlots[kBitmapSlots];

namespace {

int32_t g_useVideoMemory = 0;

uint16_t Pixel565(uint32_t rgb) {
    return static_cast<uint16_t>((((rgb >> 16) & 0xFF) >> 3) << 11 |
                                 (((rgb >> 8) & 0xFF) >> 2) << 5 | ((rgb & 0xFF) >> 3));
}

}  // namespace

void ReleaseSlotSurface(uint16_t slot) {
    if (slot >= kBitmapSlots || !BitmapSlots[slot].surface) return;
    ReleaseSurface(BitmapSlots[slot].surface);
    BitmapSlots[slot].surface = nullptr;
}

void SetSlotSource(uint16_t slot, const char* fileName, const char* pluginName) {
    BitmapSlot& s = BitmapSlots[slot];
    std::snprintf(s.fileName, sizeof s.fileName, "%s", fileName ? fileName : "");
    std::snprintf(s.pluginName, sizeof s.pluginName, "%s", pluginName ? pluginName : "");
}

int32_t SurfaceFromPicture(uint16_t slot, const DecodedPicture& picture) {
    BitmapSlot& s = BitmapSlots[slot];
    s.width = picture.width;
    s.height = picture.height;
    s.videoMemory = g_useVideoMemory;
    s.surface = CreateSurface(picture.width, picture.height, g_useVideoMemory ? 0 : 1);
    if (!s.surface) {
        DebugLine("サーフェイスの作成に失敗\n");
        return 0;
    }
    uint16_t* pixels = nullptr;
    int32_t pitch = 0;
    if (LockSurface(s.surface, &pixels, &pitch) != SurfaceOk) return 1;
    for (int32_t y = 0; y < picture.height; ++y) {
        uint16_t* row = reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(pixels) +
                                                    static_cast<int64_t>(y) * pitch);
        const uint32_t* from = picture.pixels.data() + static_cast<size_t>(y) * picture.width;
        for (int32_t x = 0; x < picture.width; ++x) row[x] = Pixel565(from[x]);
    }
    UnlockSurface(s.surface);
    return 1;
}

// Done for every picture; the use-colour-key flag only decides whether drawing applies it.
void TakeColourKey(uint16_t slot) {
    BitmapSlot& s = BitmapSlots[slot];
    uint16_t* pixels = nullptr;
    int32_t pitch = 0;
    if (LockSurface(s.surface, &pixels, &pitch) != SurfaceOk) return;
    s.colourKeyValue = pixels[0] & 0xFFFFu;
    UnlockSurface(s.surface);
    SetSurfaceColourKey(s.surface, s.colourKeyValue);
}

int32_t LoadBitmapFile(uint16_t slot, const char* path, int32_t useColorKey) {
    if (slot >= kGameSlots) return 0;
    ReleaseSlotSurface(slot);
    SetSlotSource(slot, path, "");
    // A name without a dot names a bitmap resource of the program; it carries none.
    DecodedPicture picture;
    std::vector<uint8_t> contents;
    const bool loaded = path && std::strchr(path, '.') &&
                        ReadWholeFile(path, kMaxPictureFileBytes, &contents) == FileReadOk &&
                        DecodeBmpFile(contents.data(), contents.size(), &picture);
    if (!loaded) {
        DebugLine("BMP[%s]のオープンに失敗しました。\n", path ? path : "");
        return 0;
    }
    if (!SurfaceFromPicture(slot, picture)) return 0;
    TakeColourKey(slot);
    BitmapSlots[slot].useColourKey = useColorKey;
    return 1;
}

int32_t CreateSlotSurface(uint16_t slot, int32_t width, int32_t height, int32_t useColorKey,
                          uint32_t fillColour) {
    if (slot >= kBitmapSlots) return 0;
    ReleaseSlotSurface(slot);
    if (width < 0 || height < 0) return 0;
    BitmapSlot& s = BitmapSlots[slot];
    s.width = width;
    s.height = height;
    if (width == 0 || height == 0) return 1;
    SetSlotSource(slot, "", "");
    s.videoMemory = g_useVideoMemory;
    s.surface = CreateSurface(width, height, g_useVideoMemory ? 0 : 1);
    if (!s.surface) {
        DebugLine("サーフェイスの作成に失敗\n");
        return 0;
    }
    FillSurface(s.surface, ColorMatch(s.surface, fillColour));
    TakeColourKey(slot);
    s.useColourKey = useColorKey;
    return 1;
}

void ReleaseAllSlots() {
    for (uint16_t slot = 0; slot < kBitmapSlots; ++slot) ReleaseSlotSurface(slot);
}

void SetUseVideoMemory(int32_t flag) { g_useVideoMemory = flag; }

int32_t UsingVideoMemory() { return g_useVideoMemory; }

void ResetBitmapSlots() {
    ReleaseAllSlots();
    for (auto& s : BitmapSlots) s = BitmapSlot{};
    g_useVideoMemory = 0;
}
