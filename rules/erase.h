#pragma once
// The rectangle search, erase and drop marks, the collapse, the chain and the level clear.
#include <cstdint>

enum EraseOrigin : int32_t { AfterLock = 0, AfterWait = 1 };

void CheckErase(EraseOrigin origin);
void UpdateErasing();
void UpdateNext();
void UpdateLevelClear();
void CollapseField();
