#pragma once
// The 640 x 480 picture in a desktop window: shown at a whole factor, so that every pixel of
// the picture is a square block of the screen's. The window opens at the largest factor that
// fits the work area of its monitor, keeps its factor in proportion when it moves to a monitor
// of another DPI, and snaps to a whole factor when the player resizes it. Portable: sizes in,
// sizes out; the hosts ask the system for the work area, the DPI and their window's frame.
#include <cstdint>

constexpr int32_t kWindowPictureWidth = 640;
constexpr int32_t kWindowPictureHeight = 480;
constexpr int32_t kWindowStandardDpi = 96;  // 100 % desktop scaling

// Where a window is placed: its monitor's work area (the desktop less task bars and panels),
// that monitor's DPI, and what the window's frame (borders and caption, at that DPI) adds to
// the client area's width and height.
struct WindowPlace {
    int32_t areaWidth, areaHeight;
    int32_t dpi;
    int32_t frameWidth, frameHeight;
};

// A window for the picture at a whole factor: its client area (the scaled picture) and the
// whole window with its frame.
struct WindowShape {
    int32_t scale;
    int32_t clientWidth, clientHeight;
    int32_t windowWidth, windowHeight;
};

// The largest whole factor whose window fits the work area; 1 when not even that fits.
int32_t WindowScaleToFit(const WindowPlace& place);

// The window of `scale` with the place's frame.
WindowShape WindowShapeAt(int32_t scale, const WindowPlace& place);

// The window a game opens in: the largest factor that fits the place.
WindowShape WindowOpening(const WindowPlace& place);

// The window after it moved from a monitor of `fromDpi` to the place: the factor in proportion
// to the DPIs, to the nearest whole (a half rounds up), at least 1 and no larger than fits.
WindowShape WindowAfterDpiChange(int32_t scale, int32_t fromDpi, const WindowPlace& place);

// A client size the player dragged the window of `scale` to, snapped to a whole factor: the
// side that moved further from the window's present size decides, to its nearest factor; at
// least 1 and no larger than fits the place.
WindowShape WindowAfterResize(int32_t scale, int32_t clientWidth, int32_t clientHeight,
                              const WindowPlace& place);

// The largest whole factor of the picture that a client area of any size holds (a maximised
// window, a size the system imposed): the picture is centred with black bars around it. 1 for
// a client area smaller than the picture, which then shows its top-left part.
int32_t PictureScaleInClient(int32_t clientWidth, int32_t clientHeight);

// Where that picture lies in the client area: its factor and its top-left corner (the black
// bars' width on the left and height above; 0 where the client area is smaller).
struct PictureInClient {
    int32_t scale;
    int32_t left, top;
};
PictureInClient PicturePlaceInClient(int32_t clientWidth, int32_t clientHeight);

// A point of the client area (the mouse) in the picture's own pixels, as the game draws them;
// points on the bars are taken to the picture's nearest edge.
void ClientToPicture(int32_t clientWidth, int32_t clientHeight, int32_t* x, int32_t* y);
