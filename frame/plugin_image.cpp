#include "frame/plugin_image.h"

#include "frame/bitmap_slots.h"
#include "frame/diagnostics.h"
#include "frame/slot_loader.h"
#include "platform/platform_window.h"

#include <cstdlib>
#include <cstring>

namespace {

// A block handed over by a plug-in: its bytes and their count, or false when it is missing.
bool BlockBytes(void* block, const uint8_t** bytes, size_t* size) {
    if (!block) return false;
    PluginBlockHeader header;
    std::memcpy(&header, block, sizeof header);
    *bytes = static_cast<const uint8_t*>(block) + sizeof header;
    *size = header.size;
    return true;
}

int32_t Fail(void* library, const char* message) {
    DebugLine("%s", message);
    PlatformCloseLibrary(library);
    return 0;
}

}  // namespace

int32_t LoadPluginImage(uint16_t slot, const char* pluginPath, const char* filePath,
                        int32_t useColorKey) {
    if (slot >= kBitmapSlots || !pluginPath || !filePath) return 0;
    DebugLine("SPI[%s]を使用\n", pluginPath);
    void* library = PlatformOpenLibrary(pluginPath);
    if (!library) {
        DebugLine("SPIがロードできません\n");
        return 0;
    }
    auto isSupported =
        reinterpret_cast<PluginIsSupportedFn>(PlatformLibrarySymbol(library, "IsSupported"));
    auto getPicture =
        reinterpret_cast<PluginGetPictureFn>(PlatformLibrarySymbol(library, "GetPicture"));
    if (!isSupported || !getPicture) return Fail(library, "SPI内の関数が取得できません\n");

    DebugLine("IMG[%s]を処理\n", filePath);
    ReleaseSlotSurface(slot);
    SetSlotSource(slot, filePath, pluginPath);
    std::vector<uint8_t> contents;
    const FileReadResult read = ReadWholeFile(filePath, kMaxPictureFileBytes, &contents);
    if (read == FileReadNoFile) return Fail(library, "オープンに失敗しました\n");
    if (read != FileReadOk) return Fail(library, "リードエラー\n");
    const int32_t length = static_cast<int32_t>(contents.size());
    // The plug-in may look at the first bytes of any file, however short.
    if (contents.size() < kPluginHeadBytes) contents.resize(kPluginHeadBytes, 0);
    if (isSupported(filePath, contents.data()) == 0) return Fail(library, "未対応の形式です\n");

    void* info = nullptr;
    void* bits = nullptr;
    const int32_t failed =
        getPicture(contents.data(), length, kPluginFromMemory, &info, &bits, nullptr, 0);
    const uint8_t *infoBytes = nullptr, *bitsBytes = nullptr;
    size_t infoSize = 0, bitsSize = 0;
    DecodedPicture picture;
    const bool decoded = failed == 0 && BlockBytes(info, &infoBytes, &infoSize) &&
                         BlockBytes(bits, &bitsBytes, &bitsSize) &&
                         DecodeDib(infoBytes, infoSize, bitsBytes, bitsSize, &picture);
    std::free(info);
    std::free(bits);
    if (!decoded) return Fail(library, "デコードに失敗しました\n");
    PlatformCloseLibrary(library);

    if (!SurfaceFromPicture(slot, picture)) return 0;
    TakeColourKey(slot);
    BitmapSlots[slot].useColourKey = useColorKey;
    return 1;
}
