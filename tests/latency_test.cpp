// Input latency: a key that goes down before a frame moves the piece in that very frame, and
// the moved piece is in that frame's back buffer and in the picture presented after it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/application.h"
#include "frame/display.h"
#include "game/game_scene.h"
#include "hosts/headless/headless.h"
#include "hosts/headless/headless_window.h"
#include "platform/keys.h"
#include "rules/field.h"
#include "scenes/callbacks.h"
#include "shell/catalogue.h"
#include "shell/scene.h"
#include "support/asset_link.h"
#include "support/fresh.h"

namespace {

namespace fs = std::filesystem;

// The frame after which the key goes down, counted from the first frame of the game.
constexpr int kPressAfter = 5;

struct Session {
    bool press = false;
    int frames = 0;               // frames since the game started
    int32_t pieceX = 0;           // the piece's column before the frame of the press
    int32_t movedX = 0;           // and after it
    std::vector<uint16_t> back;   // the back buffer at the end of that frame
    std::vector<uint16_t> shown;  // the picture presented after it
};
Session g_run;

std::vector<uint16_t> BackBuffer() {
    const Surface* back = DisplayDevice.back;
    std::vector<uint16_t> pixels(static_cast<size_t>(back->width) * back->height);
    for (int32_t y = 0; y < back->height; ++y)
        std::memcpy(
            &pixels[static_cast<size_t>(y) * back->width],
            reinterpret_cast<const uint8_t*>(back->pixels) + static_cast<size_t>(y) * back->pitch,
            static_cast<size_t>(back->width) * 2);
    return pixels;
}

// Runs after each frame's drawing, before its presentation.
void OnFrame() {
    if (g_run.frames == 0) {
        // Straight from the first credits frame into a game, its first piece entering now.
        LoadGameBitmaps();
        Scene.startLevel = 0;
        StartGame(1);
        Game.readyTimer = 1;
    } else if (g_run.frames == kPressAfter) {
        g_run.pieceX = Game.piece.x;
        // Pressed between two frames, as the window delivers it.
        if (g_run.press) HeadlessPostMessage(PlatformMessage{MsgKeyDown, VkLeft, 0, 0});
    } else if (g_run.frames == kPressAfter + 1) {
        g_run.movedX = Game.piece.x;
        g_run.back = BackBuffer();
    } else if (g_run.frames == kPressAfter + 2) {
        const uint16_t* picture = HeadlessWindow().picture;
        g_run.shown.assign(picture, picture + kHeadlessPictureWidth * kHeadlessPictureHeight);
        PlatformPostQuit();
    }
    ++g_run.frames;
}

// Other builds on the machine run this suite too: a directory of its own for each run.
int64_t Stamp() {
    return static_cast<int64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

// The whole program on the generated pictures, in a scratch directory.
Session RunProgram(bool press) {
    FreshProcess();
    const fs::path old = fs::current_path();
    const fs::path dir =
        fs::path(testing::TempDir()) / ("plusrail_latency_" + std::to_string(Stamp()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    if (const char* binaryDir = std::getenv("PLUSRAIL_BINARY_DIR"))
        LinkAssetFolder(fs::path(binaryDir) / "game" / "bmp", dir / "bmp");
    fs::current_path(dir);
    g_run = Session{};
    g_run.press = press;
    SetFrameTrace(OnFrame);
    HeadlessSetIdleHook(nullptr);
    RunApplication(GameRoutines{StartupCallback, FrameCallback});
    SetFrameTrace(nullptr);
    fs::current_path(old);
    fs::remove_all(dir);
    return g_run;
}

TEST(LatencyTest, AKeyPressedBeforeAFrameMovesThePieceInThatFramesPicture) {
    const Session still = RunProgram(false);
    const Session moved = RunProgram(true);
    ASSERT_EQ(Game.phase, PhaseFalling);
    ASSERT_EQ(still.back.size(), size_t{640} * 480);
    ASSERT_EQ(moved.back.size(), size_t{640} * 480);

    // Without the key the piece stays; with it, it moves one column in the frame itself.
    EXPECT_EQ(still.movedX, still.pieceX);
    EXPECT_EQ(moved.movedX, moved.pieceX - 1);

    // The two pictures differ only on the field, where the piece was and now is: between the
    // left edge of its new column and the right edge of its old one, piece boxes being three
    // columns wide at the most.
    const int32_t fieldLeft = 202, pitch = 32;
    const int32_t left = fieldLeft + pitch * (moved.movedX - 1);
    const int32_t right = fieldLeft + pitch * (moved.pieceX + 3) + 10;
    int changed = 0, outside = 0;
    for (int32_t y = 0; y < 480; ++y)
        for (int32_t x = 0; x < 640; ++x) {
            const size_t i = static_cast<size_t>(y) * 640 + static_cast<size_t>(x);
            if (still.back[i] == moved.back[i]) continue;
            ++changed;
            if (x < left || x >= right) ++outside;
        }
    EXPECT_GT(changed, 100);
    EXPECT_EQ(outside, 0);

    // What the window showed after the frame is that frame's back buffer.
    EXPECT_EQ(moved.shown, moved.back);
}

}  // namespace
