#pragma once
// The graphic config screen: the four graphic flags of the Settings, each ON or OFF.
#include <cstdint>

void EnterGraphicConfig();
void GraphicConfigUpdate();
void GraphicConfigDraw();
