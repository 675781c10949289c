#pragma once
// Error boxes and debug lines: each text goes to the platform in the program's Japanese with
// its English beside it.
#include <cstdint>

void ErrorBox(const char* format, ...) __attribute__((format(printf, 1, 2)));
void DebugLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
int32_t ConfirmBox(const char* text);
