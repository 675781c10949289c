// The window's whole factor: what a player sees of the window's size on monitors of several
// sizes and DPIs, when the window moves between them and when it is resized.
#include <gtest/gtest.h>

#include "hosts/window_scale.h"

namespace {

// Frames as the desktops draw them: none (no window manager), a Windows 10 window at 100 %
// and at 200 % (borders on both sides, the caption on top).
constexpr int32_t kNoFrame[2] = {0, 0};
constexpr int32_t kFrame100[2] = {16, 39};
constexpr int32_t kFrame200[2] = {32, 70};

WindowPlace Place(int32_t width, int32_t height, int32_t dpi, const int32_t (&frame)[2]) {
    return WindowPlace{width, height, dpi, frame[0], frame[1]};
}

struct OpeningCase {
    WindowPlace place;
    int32_t scale;
};

TEST(WindowScale, OpensAtTheLargestFactorThatFitsTheWorkArea) {
    const OpeningCase cases[] = {
        {Place(2560, 1440, 96, kNoFrame), 3},    // 1920 x 1440 fills the height exactly
        {Place(2560, 1440, 96, kFrame100), 2},   // the caption leaves no room for 3x
        {Place(2560, 1400, 96, kFrame100), 2},   // a task bar below
        {Place(1920, 1040, 96, kFrame100), 2},   // 960 + 39 fits 1040
        {Place(1920, 1040, 144, kFrame100), 2},  // the DPI alone changes nothing
        {Place(1366, 728, 96, kFrame100), 1},    // a small laptop
        {Place(1280, 1024, 96, kFrame100), 1},   // 2x needs 1296 wide
        {Place(1296, 999, 96, kFrame100), 2},    // exactly 2x with its frame
        {Place(1295, 999, 96, kFrame100), 1},    // a pixel short
        {Place(3840, 2100, 192, kFrame200), 4},  // 4K at 200 %: 1920 + 70 fits 2100
        {Place(5120, 2880, 96, kNoFrame), 6},    // the height decides
        {Place(7680, 1440, 96, kNoFrame), 3},    // a very wide desktop: still the height
        {Place(3840, 4320, 96, kNoFrame), 6},    // a tall one: the width decides
        {Place(800, 600, 96, kFrame100), 1},     // 1x even where it does not fit
        {Place(640, 480, 96, kFrame100), 1},
        {Place(0, 0, 96, kNoFrame), 1},  // no work area known
        {Place(-5, 100000, 96, kNoFrame), 1},
    };
    for (const OpeningCase& c : cases) {
        const WindowShape shape = WindowOpening(c.place);
        SCOPED_TRACE(testing::Message()
                     << c.place.areaWidth << " x " << c.place.areaHeight << " frame "
                     << c.place.frameWidth << " x " << c.place.frameHeight);
        EXPECT_EQ(WindowScaleToFit(c.place), c.scale);
        EXPECT_EQ(shape.scale, c.scale);
        EXPECT_EQ(shape.clientWidth, 640 * c.scale);
        EXPECT_EQ(shape.clientHeight, 480 * c.scale);
        EXPECT_EQ(shape.windowWidth, 640 * c.scale + c.place.frameWidth);
        EXPECT_EQ(shape.windowHeight, 480 * c.scale + c.place.frameHeight);
    }
}

// Over a sweep of work areas: the window fits, and one factor more would not.
TEST(WindowScale, OpeningWindowFitsAndTheNextFactorWouldNot) {
    for (int32_t width = 600; width <= 4000; width += 37)
        for (int32_t height = 450; height <= 2500; height += 29) {
            const WindowPlace place = Place(width, height, 96, kFrame100);
            const WindowShape shape = WindowOpening(place);
            const WindowShape bigger = WindowShapeAt(shape.scale + 1, place);
            SCOPED_TRACE(testing::Message() << width << " x " << height);
            if (shape.scale > 1) {
                EXPECT_LE(shape.windowWidth, width);
                EXPECT_LE(shape.windowHeight, height);
            }
            EXPECT_TRUE(bigger.windowWidth > width || bigger.windowHeight > height);
        }
}

struct DpiCase {
    int32_t scale, fromDpi;
    WindowPlace place;
    int32_t expected;
};

TEST(WindowScale, MovingToAnotherDpiKeepsTheSizeInProportion) {
    const DpiCase cases[] = {
        {2, 96, Place(3840, 2100, 192, kFrame200), 4},  // 100 % to 200 %: twice the pixels
        {4, 192, Place(1920, 1040, 96, kFrame100), 2},  // and back
        {3, 144, Place(1920, 1040, 96, kFrame100), 2},  // 150 % to 100 %
        {1, 96, Place(3840, 2100, 144, kFrame200), 2},  // 1.5 rounds up
        {2, 96, Place(3840, 2100, 120, kFrame200), 3},  // 2.5 rounds up
        {2, 120, Place(3840, 2100, 96, kFrame200), 2},  // 1.6 rounds to 2
        {1, 192, Place(1920, 1040, 96, kFrame100), 1},  // never below 1
        {3, 96, Place(2560, 1400, 96, kFrame100), 2},   // same DPI, a smaller monitor: what fits
        {2, 96, Place(1366, 728, 192, kFrame200), 1},   // 4 would not fit at all
        {2, 0, Place(3840, 2100, 192, kFrame200), 2},   // an unknown DPI keeps the factor
    };
    for (const DpiCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.scale << "x at " << c.fromDpi << " dpi to " << c.place.dpi << " dpi on "
                     << c.place.areaWidth << " x " << c.place.areaHeight);
        const WindowShape shape = WindowAfterDpiChange(c.scale, c.fromDpi, c.place);
        EXPECT_EQ(shape.scale, c.expected);
        EXPECT_EQ(shape.windowWidth, 640 * c.expected + c.place.frameWidth);
        EXPECT_EQ(shape.windowHeight, 480 * c.expected + c.place.frameHeight);
    }
}

struct ResizeCase {
    int32_t scale, clientWidth, clientHeight;
    int32_t expected;
};

TEST(WindowScale, ResizingSnapsToTheNearestWholeFactorOfTheSideMoved) {
    const WindowPlace place = Place(3840, 2100, 96, kNoFrame);  // 4x fits
    const ResizeCase cases[] = {
        {2, 1280, 960, 2},     // not moved
        {2, 1600, 960, 3},     // the right edge past half way to 3x
        {2, 1580, 960, 2},     // not quite
        {2, 1280, 1250, 3},    // the bottom edge
        {2, 1280, 700, 1},     // the bottom edge up
        {2, 700, 960, 1},      // the right edge in
        {2, 1500, 1500, 3},    // a corner: the height moved further (the width says 2)
        {2, 2500, 1000, 4},    // a corner: the width moved further
        {3, 1920, 1200, 3},    // the bottom edge up to 2.5x: a half rounds up
        {1, 100, 80, 1},       // never below 1
        {2, 20000, 20000, 4},  // never past the work area
    };
    for (const ResizeCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.scale << "x dragged to " << c.clientWidth << " x " << c.clientHeight);
        const WindowShape shape = WindowAfterResize(c.scale, c.clientWidth, c.clientHeight, place);
        EXPECT_EQ(shape.scale, c.expected);
        EXPECT_EQ(shape.clientWidth, 640 * c.expected);
        EXPECT_EQ(shape.clientHeight, 480 * c.expected);
    }
}

TEST(WindowScale, AnyClientAreaShowsTheLargestWholePictureWithBars) {
    struct {
        int32_t width, height, scale;
    } const cases[] = {
        {640, 480, 1},   {1280, 960, 2}, {1920, 1080, 2},  // a maximised window on 1080p
        {2560, 1440, 3}, {1279, 960, 1}, {1280, 959, 1},  {600, 400, 1}, {0, 0, 1}, {3840, 2160, 4},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PictureScaleInClient(c.width, c.height), c.scale) << c.width << " x " << c.height;
}

TEST(WindowScale, ThePictureSitsCentredBetweenItsBars) {
    struct {
        int32_t width, height, scale, left, top;
    } const cases[] = {
        {1280, 960, 2, 0, 0},      // snapped: no bars
        {1920, 1080, 2, 320, 60},  // a maximised window on 1080p
        {740, 540, 1, 50, 30},
        {600, 400, 1, 0, 0},  // smaller than the picture: its corner
    };
    for (const auto& c : cases) {
        const PictureInClient place = PicturePlaceInClient(c.width, c.height);
        EXPECT_EQ(place.scale, c.scale) << c.width << " x " << c.height;
        EXPECT_EQ(place.left, c.left) << c.width << " x " << c.height;
        EXPECT_EQ(place.top, c.top) << c.width << " x " << c.height;
    }
}

// The mouse reaches the game in the picture's pixels, whatever the window's size.
TEST(WindowScale, TheMouseIsInThePicturesPixels) {
    struct {
        int32_t width, height, x, y, pictureX, pictureY;
    } const cases[] = {
        {640, 480, 12, 34, 12, 34},         {1920, 1440, 0, 0, 0, 0},
        {1920, 1440, 5, 8, 1, 2},           {1920, 1440, 1919, 1439, 639, 479},
        {1920, 1080, 320, 60, 0, 0},        {1920, 1080, 1599, 1019, 639, 479},
        {1920, 1080, 10, 10, 0, 0},  // on the bar at the top left: the corner
        {1920, 1080, 1900, 1070, 639, 479},
    };
    for (const auto& c : cases) {
        int32_t x = c.x, y = c.y;
        ClientToPicture(c.width, c.height, &x, &y);
        EXPECT_EQ(x, c.pictureX) << c.x << ", " << c.y << " in " << c.width << " x " << c.height;
        EXPECT_EQ(y, c.pictureY) << c.x << ", " << c.y << " in " << c.width << " x " << c.height;
    }
}

}  // namespace
