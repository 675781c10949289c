#include "frame/surface.h"

#include <cstdlib>
#include <cstring>

namespace {

// Every surface the frame can hold at once: 257 slots, front and back, and some spare.
constexpr int kSurfacePool = 272;
// Wider or taller than any display memory would hold.
constexpr int32_t kMaxSurfaceSide = 16384;
constexpr int64_t kMaxSurfacePixels = int64_t{1} << 24;

Surface g_pool[kSurfacePool];
bool g_used[kSurfacePool];

bool Usable(const Surface* s) { return s != nullptr && s->pixels != nullptr; }

uint16_t* Row(Surface* s, int32_t y) {
    return reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(s->pixels) +
                                       static_cast<int64_t>(y) * s->pitch);
}

const uint16_t* Row(const Surface* s, int32_t y) {
    return reinterpret_cast<const uint16_t*>(reinterpret_cast<const uint8_t*>(s->pixels) +
                                             static_cast<int64_t>(y) * s->pitch);
}

// Pixels in blocks of eight: a fixed count the compiler turns into one vector operation.
constexpr int32_t kBlock = 8;

// The pixels of one row that differ from the key; the others keep what the target holds.
void CopyKeyedRow(uint16_t* to, const uint16_t* from, int32_t w, uint16_t key) {
    int32_t col = 0;
    for (; col + kBlock <= w; col += kBlock) {
        uint16_t s[kBlock], d[kBlock];
        std::memcpy(s, from + col, sizeof s);
        std::memcpy(d, to + col, sizeof d);
        for (int32_t i = 0; i < kBlock; ++i) d[i] = s[i] == key ? d[i] : s[i];
        std::memcpy(to + col, d, sizeof d);
    }
    for (; col < w; ++col)
        if (from[col] != key) to[col] = from[col];
}

void ClearPixels(Surface* s) {
    std::memset(s->pixels, 0, static_cast<size_t>(s->pitch) * static_cast<size_t>(s->height));
}

}  // namespace

Surface* CreateSurface(int32_t width, int32_t height, int32_t systemMemory) {
    if (width < 1 || height < 1 || width > kMaxSurfaceSide || height > kMaxSurfaceSide)
        return nullptr;
    if (static_cast<int64_t>(width) * height > kMaxSurfacePixels) return nullptr;
    int slot = 0;
    while (slot < kSurfacePool && g_used[slot]) ++slot;
    if (slot == kSurfacePool) return nullptr;
    // Rows start on 4-byte boundaries, as display memory lays them out.
    const int32_t pitch = (width * 2 + 3) & ~3;
    void* memory = std::calloc(static_cast<size_t>(pitch) * static_cast<size_t>(height), 1);
    if (!memory) return nullptr;
    g_used[slot] = true;
    Surface* s = &g_pool[slot];
    *s = Surface{};
    s->pixels = static_cast<uint16_t*>(memory);
    s->width = width;
    s->height = height;
    s->pitch = pitch;
    s->systemMemory = systemMemory ? 1 : 0;
    return s;
}

void ReleaseSurface(Surface* surface) {
    if (!surface) return;
    for (int i = 0; i < kSurfacePool; ++i) {
        if (&g_pool[i] != surface || !g_used[i]) continue;
        std::free(surface->pixels);
        *surface = Surface{};
        g_used[i] = false;
    }
}

int32_t LockSurface(Surface* surface, uint16_t** pixels, int32_t* pitch) {
    if (!Usable(surface)) return SurfaceFailed;
    if (surface->lost) return SurfaceLost;
    surface->locked = 1;
    *pixels = surface->pixels;
    *pitch = surface->pitch;
    return SurfaceOk;
}

void UnlockSurface(Surface* surface) {
    if (surface) surface->locked = 0;
}

int32_t FillSurface(Surface* surface, uint32_t pixel) {
    if (!Usable(surface)) return SurfaceFailed;
    if (surface->lost) return SurfaceLost;
    const uint16_t value = static_cast<uint16_t>(pixel);
    // One row by hand, the others copied from it.
    uint16_t* first = Row(surface, 0);
    for (int32_t x = 0; x < surface->width; ++x) first[x] = value;
    const size_t bytes = static_cast<size_t>(surface->width) * 2;
    for (int32_t y = 1; y < surface->height; ++y) std::memcpy(Row(surface, y), first, bytes);
    return SurfaceOk;
}

int32_t CopySurfaceRect(Surface* target, int32_t x, int32_t y, Surface* source, int32_t left,
                        int32_t top, int32_t right, int32_t bottom, int32_t useColourKey) {
    if (!Usable(target) || !Usable(source)) return SurfaceFailed;
    if (target->lost || source->lost) return SurfaceLost;
    if (left < 0 || top < 0 || right > source->width || bottom > source->height || right <= left ||
        bottom <= top)
        return SurfaceFailed;
    const int32_t w = right - left;
    const int32_t h = bottom - top;
    if (x < 0 || y < 0 || x > target->width - w || y > target->height - h) return SurfaceFailed;
    const uint16_t key = static_cast<uint16_t>(source->colourKey);
    for (int32_t row = 0; row < h; ++row) {
        const uint16_t* from = Row(source, top + row) + left;
        uint16_t* to = Row(target, y + row) + x;
        if (!useColourKey) {
            std::memmove(to, from, static_cast<size_t>(w) * 2);
        } else if (target != source) {
            CopyKeyedRow(to, from, w, key);
        } else {
            // Within one surface the copy goes pixel by pixel, each seeing the ones before.
            for (int32_t col = 0; col < w; ++col)
                if (from[col] != key) to[col] = from[col];
        }
    }
    return SurfaceOk;
}

void SetSurfaceColourKey(Surface* surface, uint32_t pixel) {
    if (surface) surface->colourKey = pixel;
}

int32_t SurfaceIsLost(const Surface* surface) { return Usable(surface) && surface->lost; }

int32_t RestoreSurface(Surface* surface) {
    if (!Usable(surface)) return SurfaceFailed;
    if (surface->lost) {
        // The memory comes back, but not what it held.
        ClearPixels(surface);
        surface->lost = 0;
    }
    return SurfaceOk;
}

// 16-bit pixels keep the top bits of each channel, as the display driver converts them.
uint16_t ColourToPixel(uint32_t colour) {
    const uint32_t r = colour & 0xFF;
    const uint32_t g = (colour >> 8) & 0xFF;
    const uint32_t b = (colour >> 16) & 0xFF;
    return static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

void SetSurfacePixel(Surface* surface, int32_t x, int32_t y, uint32_t colour) {
    if (!Usable(surface) || x < 0 || y < 0 || x >= surface->width || y >= surface->height) return;
    Row(surface, y)[x] = ColourToPixel(colour);
}

uint16_t GetSurfacePixel(const Surface* surface, int32_t x, int32_t y) {
    if (!Usable(surface) || x < 0 || y < 0 || x >= surface->width || y >= surface->height) return 0;
    return Row(surface, y)[x];
}

uint32_t ColorMatch(Surface* surface, uint32_t colour) {
    if (!Usable(surface)) return kNoColour;
    // A lost surface takes no pixel; the lock below then fails too.
    const bool writable = !surface->lost;
    uint16_t saved = 0;
    if (colour != kNoColour && writable) {
        saved = GetSurfacePixel(surface, 0, 0);
        SetSurfacePixel(surface, 0, 0, colour);
    }
    uint16_t* pixels = nullptr;
    int32_t pitch = 0;
    uint32_t value = kNoColour;
    if (LockSurface(surface, &pixels, &pitch) == SurfaceOk) {
        value = pixels[0] & 0xFFFFu;
        UnlockSurface(surface);
    }
    if (colour != kNoColour && writable) Row(surface, 0)[0] = saved;
    return value;
}

void LoseAllSurfaces() {
    for (int i = 0; i < kSurfacePool; ++i)
        if (g_used[i] && !g_pool[i].systemMemory) g_pool[i].lost = 1;
}

void ReleaseAllSurfaces() {
    for (int i = 0; i < kSurfacePool; ++i)
        if (g_used[i]) ReleaseSurface(&g_pool[i]);
}
