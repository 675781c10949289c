// The working folder's data files kept in the browser's IndexedDB. The pictures and sounds
// come with the page and never change; the data files (settings, rankings) are the only
// regular files at the top of the working folder. They are copied in from the stored folder
// before start-up, and back after every save: the copy waits for the end of the frame, when
// the save's temporary file has been renamed into place.
#include <emscripten/emscripten.h>

#include "hosts/web/web_glue.h"
#include "hosts/web/web_platform.h"

namespace {

bool g_changed;

}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void WebStoreAgain() { WebStoreFolder(0); }

void WebRestoreFiles() { WebCopyStoredFiles(); }

bool WebFilesChanged() { return g_changed; }

void WebMarkFilesChanged() { g_changed = true; }

void WebStoreFiles(bool closed) {
    g_changed = false;
    WebStoreFolder(closed ? 1 : 0);
}
