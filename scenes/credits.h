#pragma once
// The credits scene: the names stay 200 frames while the fonts alone are in, then every other
// picture and sound loads in one frame and the scene fades out to the title.

void EnterLoading();
void LoadingUpdate();
void LoadingDraw();
