#pragma once
// The game's window as the process entry opens it, for suites that draw on the display.
#include <gtest/gtest.h>

#include "frame/display.h"
#include "platform/platform_window.h"

// Callers wrap these in ASSERT_NO_FATAL_FAILURE so that a fixture stops where they fail.
inline void OpenGameWindow() {
    ASSERT_TRUE(PlatformRegisterWindowClass("Class Kestrel"));
    ASSERT_TRUE(PlatformCreateWindow("Class Kestrel", "Untitled", 192, 144, 640, 480));
}
inline void OpenGameDisplay() {
    ASSERT_NO_FATAL_FAILURE(OpenGameWindow());
    ASSERT_EQ(SetupDisplay(), 1);
}
