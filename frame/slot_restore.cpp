#include "frame/slot_restore.h"

#include <cstring>

#include "frame/bitmap_slots.h"
#include "frame/diagnostics.h"
#include "frame/display.h"
#include "frame/kbm_reader.h"
#include "frame/plugin_image.h"

namespace {

constexpr uint32_t kBlack = 0x000000;

}  // namespace

void RestoreSlot(uint16_t slot) {
    if (slot >= kBitmapSlots) return;
    BitmapSlot& s = BitmapSlots[slot];
    if (!s.surface || !SurfaceIsLost(s.surface)) return;
    DebugLine("BUFFER LOST:");
    RestoreSurface(s.surface);
    const int32_t useVideoMemory = UsingVideoMemory();
    SetUseVideoMemory(s.videoMemory);
    if (s.fileName[0] == '\0') {
        DebugLine("BMP[%d]の内容を修復して下さい。\n", slot);
        CreateSlotSurface(slot, s.width, s.height, s.useColourKey, kBlack);
    } else {
        DebugLine("IMG[%s]をリロードします。\n", s.fileName);
        // The loaders rewrite the record's names, so they get copies.
        char fileName[sizeof s.fileName];
        char pluginName[sizeof s.pluginName];
        std::memcpy(fileName, s.fileName, sizeof fileName);
        std::memcpy(pluginName, s.pluginName, sizeof pluginName);
        if (pluginName[0] != '\0')
            LoadPluginImage(slot, pluginName, fileName, s.useColourKey);
        else if (std::strstr(fileName, ".kbm"))
            LoadKbmFile(slot, fileName, s.useColourKey);
        else
            LoadBitmapFile(slot, fileName, s.useColourKey);
    }
    SetUseVideoMemory(useVideoMemory);
}
