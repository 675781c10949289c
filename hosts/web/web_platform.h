#pragma once
// What the browser platform's files share among themselves. The page (page/index.html and
// page/page.js) holds the canvas, the overlays and the start-up; these files hold the boundary.
#include <cstdint>

#include "platform/platform_window.h"

// The Windows virtual-key code of a KeyboardEvent.code; 0 for keys the game cannot name.
int WebVirtualKey(const char* code);
// A key position went down or up; false when the game cannot name it.
bool WebSetKeyPosition(const char* code, bool down);
// Every key up, as when the page loses the keyboard.
void WebReleaseAllKeys();

// Appends a message to the window's queue; dropped while there is no window.
void WebPostMessage(const PlatformMessage& message);
// Keys, visibility, the mouse and full screen changes start arriving as messages.
void WebListenForInput();

// The answer of the page's Web Lock, taken before the program started.
void WebSetInstanceClaimed(bool claimed);

// The working folder's data files: copied in from the browser's storage before start-up,
// written back after a save (PlatformSyncFile asks for it) and once more at the end.
void WebRestoreFiles();
bool WebFilesChanged();
void WebMarkFilesChanged();
// Copies the data files to the browser's storage; with `closed`, the page then shows the
// closed screen once they are stored.
void WebStoreFiles(bool closed);

// True while an error box is open: the frames wait for the player to acknowledge it.
bool WebErrorBoxOpen();
