#include "hosts/window_scale.h"

namespace {

// Nothing sensible is bigger: a factor past this would overflow the sizes it makes.
constexpr int32_t kMostScale = 64;

int32_t Clamp(int32_t scale, int32_t most) {
    if (scale > most) scale = most;
    return scale < 1 ? 1 : scale;
}

// Whole factors of one side's length, rounded to the nearest (a half rounds up).
int32_t NearestScale(int32_t length, int32_t picture) {
    if (length <= 0) return 1;
    return (length + picture / 2) / picture;
}

int64_t Distance(int32_t a, int32_t b) {
    const int64_t difference = int64_t{a} - int64_t{b};
    return difference < 0 ? -difference : difference;
}

}  // namespace

int32_t WindowScaleToFit(const WindowPlace& place) {
    const int32_t freeWidth = place.areaWidth - place.frameWidth;
    const int32_t freeHeight = place.areaHeight - place.frameHeight;
    if (freeWidth < kWindowPictureWidth || freeHeight < kWindowPictureHeight) return 1;
    const int32_t byWidth = freeWidth / kWindowPictureWidth;
    const int32_t byHeight = freeHeight / kWindowPictureHeight;
    return Clamp(byWidth < byHeight ? byWidth : byHeight, kMostScale);
}

WindowShape WindowShapeAt(int32_t scale, const WindowPlace& place) {
    scale = Clamp(scale, kMostScale);
    WindowShape shape{};
    shape.scale = scale;
    shape.clientWidth = kWindowPictureWidth * scale;
    shape.clientHeight = kWindowPictureHeight * scale;
    shape.windowWidth = shape.clientWidth + place.frameWidth;
    shape.windowHeight = shape.clientHeight + place.frameHeight;
    return shape;
}

WindowShape WindowOpening(const WindowPlace& place) {
    return WindowShapeAt(WindowScaleToFit(place), place);
}

WindowShape WindowAfterDpiChange(int32_t scale, int32_t fromDpi, const WindowPlace& place) {
    int32_t proportional = scale;
    if (fromDpi > 0 && place.dpi > 0) {
        // In 64 bits: a factor times a DPI passes 32 bits only for absurd values, but cheaply.
        const int64_t twice = static_cast<int64_t>(scale) * place.dpi * 2;
        const int64_t between = static_cast<int64_t>(fromDpi) * 2;
        const int64_t rounded = (twice + fromDpi) / between;
        proportional = rounded > kMostScale ? kMostScale : static_cast<int32_t>(rounded);
    }
    return WindowShapeAt(Clamp(proportional, WindowScaleToFit(place)), place);
}

WindowShape WindowAfterResize(int32_t scale, int32_t clientWidth, int32_t clientHeight,
                              const WindowPlace& place) {
    // Measured in picture heights, so that a side's move counts the same on both sides.
    const int64_t movedWidth =
        Distance(clientWidth, kWindowPictureWidth * scale) * kWindowPictureHeight;
    const int64_t movedHeight =
        Distance(clientHeight, kWindowPictureHeight * scale) * kWindowPictureWidth;
    const int32_t chosen = movedWidth >= movedHeight
                               ? NearestScale(clientWidth, kWindowPictureWidth)
                               : NearestScale(clientHeight, kWindowPictureHeight);
    return WindowShapeAt(Clamp(chosen, WindowScaleToFit(place)), place);
}

int32_t PictureScaleInClient(int32_t clientWidth, int32_t clientHeight) {
    const int32_t byWidth = clientWidth / kWindowPictureWidth;
    const int32_t byHeight = clientHeight / kWindowPictureHeight;
    return Clamp(byWidth < byHeight ? byWidth : byHeight, kMostScale);
}

PictureInClient PicturePlaceInClient(int32_t clientWidth, int32_t clientHeight) {
    PictureInClient place{};
    place.scale = PictureScaleInClient(clientWidth, clientHeight);
    const int32_t width = kWindowPictureWidth * place.scale;
    const int32_t height = kWindowPictureHeight * place.scale;
    place.left = clientWidth > width ? (clientWidth - width) / 2 : 0;
    place.top = clientHeight > height ? (clientHeight - height) / 2 : 0;
    return place;
}

void ClientToPicture(int32_t clientWidth, int32_t clientHeight, int32_t* x, int32_t* y) {
    const PictureInClient place = PicturePlaceInClient(clientWidth, clientHeight);
    int32_t px = (*x - place.left) / place.scale, py = (*y - place.top) / place.scale;
    if (*x < place.left) px = 0;
    if (*y < place.top) py = 0;
    if (px >= kWindowPictureWidth) px = kWindowPictureWidth - 1;
    if (py >= kWindowPictureHeight) py = kWindowPictureHeight - 1;
    *x = px;
    *y = py;
}
