#pragma once
// Error boxes and debug lines: each text goes to the platform in the program's Japanese with
// its English beside it.
#include <cstdint>

#include "platform/platform.h"

void ErrorBox(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The same, with the platform's advice for the trouble after the English (PlatformAdvice).
void ErrorBoxAdvised(PlatformTrouble trouble, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
void DebugLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
int32_t ConfirmBox(const char* text);
