#pragma once
// The headless platform's window: a message queue that tests and the simulator fill, the
// window's state, and what was presented (a count and a copy of the last picture). There is
// no instance lock; a second instance can be pretended with HeadlessSetOtherInstance.
#include <cstdint>

#include "platform/platform_window.h"

constexpr int32_t kHeadlessPictureWidth = 640;
constexpr int32_t kHeadlessPictureHeight = 480;

// Steps of bringing the window up that a test can make fail.
enum HeadlessWindowFault : int32_t {
    HeadlessFaultNone = 0,
    HeadlessFaultRegisterClass,
    HeadlessFaultCreateWindow,
    HeadlessFaultFullScreen,
};

struct HeadlessWindowState {
    bool classRegistered;
    bool created;
    bool destroyed;
    bool fullScreen;
    int32_t x, y, width, height;  // the window on the screen
    char title[64];
    uint32_t presentedFrames;
    uint16_t picture[kHeadlessPictureWidth * kHeadlessPictureHeight];  // last presented, RGB565
    uint32_t waits;               // times the program blocked for a message
    uint32_t otherInstanceShown;  // times a second start brought the pretended first one forward
};

// The display step (a PlatformDisplayStep) the platform refuses from now on; -1: none.
void HeadlessRefuseDisplayStep(int32_t step);

// No window, an empty queue, a 1024 x 768 desktop at 16 bits, nothing presented, no hook,
// no display step refused.
void HeadlessResetWindow();
const HeadlessWindowState& HeadlessWindow();

void HeadlessSetDesktop(int32_t width, int32_t height, int32_t bitsPerPixel);
void HeadlessSetOtherInstance(bool running);
void HeadlessSetWindowFault(HeadlessWindowFault fault);

// Queues a message. Key messages (down, up, system down, system up) also set the key's state
// when the program takes them, so the key reads down from that moment. False, and the message
// is dropped, when the queue already holds kHeadlessQueueSize messages; the caller reports it.
constexpr int32_t kHeadlessQueueSize = 4096;
bool HeadlessPostMessage(const PlatformMessage& message);
int32_t HeadlessDroppedMessages();  // since the reset
int32_t HeadlessQueuedMessages();

// Called when the program blocks for a message with nothing queued (its window inactive):
// the hook may queue what would arrive meanwhile. If nothing is queued after it, nothing can
// ever arrive, and the loop is sent MsgQuit.
using HeadlessIdleFn = void (*)();
void HeadlessSetIdleHook(HeadlessIdleFn hook);
