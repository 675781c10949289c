#pragma once
// The browser's side of the layer: functions written in JavaScript in web_glue.js, which the
// linker puts into plusrail.js. The page's own script (page/page.js) offers the Module.plusrail*
// functions these call.
#include <cstdint>

extern "C" {

// Start-up: mounts the stored folder, asks for the lock and loads the stored files; then
// calls WebStart with whether the lock was had, the replay to watch and whether to play silent.
void WebPrepare();

// The window.
void WebDrawPicture(const uint8_t* rgba, int32_t width, int32_t height);  // 8-bit RGBA
// 1: the page is (or is becoming) full screen or not as asked; 0: the browser does not
// allow it now.
int32_t WebFullScreen(int32_t on);
void WebScreenSize(int32_t* width, int32_t* height);
int32_t WebCanvasScale();  // the whole factor the page scales the picture by
void WebShowCursor(int32_t show);

// Messages.
void WebConsoleLine(const char* line);
// The modal overlay; both texts are shown, the English first when there is one (null: none).
void WebShowErrorBox(const char* title, const char* text, const char* englishTitle,
                     const char* englishText);
int32_t WebErrorBoxShowing();
// The page's error box offers "Play without sound": a restart of the page with ?sound=off.
void WebOfferSilentPlay();
void WebShowOtherTab(const char* text);  // the page says the game is open in another tab
// A line about the run (a replay refused or ended): the console, and the page for a problem.
void WebReport(const char* text, int32_t problem);

// Files: the stored folder's files into the game's folder; the game's data files into the
// stored folder and IndexedDB, then (closed) the closed screen.
void WebCopyStoredFiles();
void WebStoreFolder(int32_t closed);

// Audio. 1 when the page has no audio output at all.
int32_t WebAudioCreateDevice(int32_t slots, double makeup);
void WebAudioCloseDevice();
void WebAudioStopSlot(int32_t slot);
// A new buffer starts at full volume in the centre, whatever the slot's last sound had.
void WebAudioNewSlot(int32_t slot);
// The samples as the wave file has them (8-bit unsigned or 16-bit signed little-endian,
// interleaved) into a buffer of floats per channel; 0 when the browser refuses the format.
int32_t WebAudioFillSlot(int32_t slot, const uint8_t* data, int32_t frames, int32_t channels,
                         int32_t rate, int32_t bits, int32_t blockAlign);
int32_t WebAudioPlaySlot(int32_t slot, int32_t loop);
void WebAudioSetGain(int32_t slot, double gain);
void WebAudioSetPan(int32_t slot, double pan);
}
