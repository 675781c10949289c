// plusrail-assetgen OUTDIR [ICONDIR]: writes every picture and sound of the game under OUTDIR
// (bmp/font_1, bmp/font_2, bmp/game, bmp/back, wave) and, given ICONDIR, the desktop icons
// there. The output depends on nothing but this program and the fonts it reads, so every
// build gets the same bytes.
// plusrail-assetgen --icon FILE.ico: writes only the Windows build's application icon.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "backgrounds.h"
#include "fonts.h"
#include "frame_picture.h"
#include "icon.h"
#include "line_sheets.h"
#include "medals.h"
#include "sounds.h"
#include "windows_icon.h"

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--icon") {
        if (assetgen::WriteWindowsIcon(argv[2])) return 0;
        std::fprintf(stderr, "plusrail-assetgen: writing the icon %s failed\n", argv[2]);
        return 1;
    }
    if (argc != 2 && argc != 3) {
        std::fprintf(
            stderr,
            "usage: plusrail-assetgen OUTDIR [ICONDIR] | plusrail-assetgen --icon FILE.ico\n");
        return 2;
    }
    const std::string outDir = argv[1];
    for (const char* folder : {"bmp/font_1", "bmp/font_2", "bmp/game", "bmp/back", "wave"}) {
        std::error_code error;
        std::filesystem::create_directories(outDir + "/" + folder, error);
        if (error) {
            std::fprintf(stderr, "plusrail-assetgen: cannot create %s/%s\n", outDir.c_str(),
                         folder);
            return 1;
        }
    }
    const std::string fontDir = PLUSRAIL_FONT_DIR;
    struct Step {
        const char* what;
        int ok;
    };
    const Step steps[] = {
        {"fonts", assetgen::WriteFonts(outDir, fontDir)},
        {"line sheets", assetgen::WriteLineSheets(outDir)},
        {"medals", assetgen::WriteMedals(outDir)},
        {"field frame", assetgen::WriteFramePicture(outDir, fontDir)},
        {"backgrounds", assetgen::WriteBackgrounds(outDir)},
        {"sounds", assetgen::WriteSounds(outDir)},
    };
    int failures = 0;
    // The icons belong to the desktop, not to the game's folder, so they go apart.
    if (argc == 3 && !assetgen::WriteIcons(argv[2])) {
        std::fprintf(stderr, "plusrail-assetgen: writing the icons failed\n");
        ++failures;
    }
    for (const Step& step : steps) {
        if (!step.ok) {
            std::fprintf(stderr, "plusrail-assetgen: writing the %s failed\n", step.what);
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
