// The process entry of the browser build. The page's display callback drives the frames; the
// program never blocks. Before start-up the page takes its lock and loads the stored files.
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include "app/application.h"
#include "app/game_folder.h"
#include "app/window_procedure.h"
#include "platform/web/web_platform.h"
#include "scenes/callbacks.h"

namespace {

bool g_running;  // between a successful start-up and the end of the loop

// clang-format off
// Mounts the stored folder, asks for the lock and loads the stored files; then starts.
EM_JS(void, WebPrepare, (), {
    FS.mkdir('/save');
    FS.mount(IDBFS, {}, '/save');
    // A reload's new page may ask before the old one has let go: a few tries, a second in all,
    // before the lock counts as another tab's.
    const claim = (triesLeft, resolve) => {
        navigator.locks.request('plusrail', {ifAvailable: true}, (lock) => {
            if (lock === null && triesLeft > 0) {
                setTimeout(() => claim(triesLeft - 1, resolve), 200);
                return undefined;
            }
            resolve(lock !== null);
            // Held for as long as the tab lives.
            return lock ? new Promise(() => {}) : undefined;
        });
    };
    const claimed = navigator.locks ? new Promise((resolve) => claim(5, resolve)) : Promise.resolve(true);
    const loaded = new Promise((resolve) => {
        FS.syncfs(true, (error) => {
            if (error) console.warn('The stored data files could not be read: ' + error);
            resolve();
        });
    });
    Promise.all([claimed, loaded]).then((answers) => _WebStart(answers[0] ? 1 : 0));
});
// clang-format on

EM_BOOL OnDisplayRefresh(double, void*) {
    // An open error box holds the game, as a modal box holds the desktop's loop.
    if (WebErrorBoxOpen()) return EM_TRUE;
    if (!RunDueFrames()) {
        g_running = false;
        StopApplication();
        // EXIT or Escape on the title: the files are stored, then the page says it closed.
        WebStoreFiles(true);
        return EM_FALSE;
    }
    if (WebFilesChanged()) WebStoreFiles(false);
    return EM_TRUE;
}

}  // namespace

// The page is going away (a reload, the tab closed): the game hears its window's close
// command, as on the desktop. On the title it saves; elsewhere it steps back and the data
// files stay as they were last saved. The store into the browser starts at once.
extern "C" EMSCRIPTEN_KEEPALIVE void WebPageClosing() {
    if (!g_running) return;
    RequestClose();
    if (WebFilesChanged()) WebStoreFiles(false);
}

extern "C" EMSCRIPTEN_KEEPALIVE void WebStart(int32_t claimed) {
    WebSetInstanceClaimed(claimed != 0);
    if (claimed) WebRestoreFiles();
    EnterGameFolder();
    if (!StartApplication(GameRoutines{StartupCallback, FrameCallback})) {
        StopApplication();
        return;
    }
    WebListenForInput();
    g_running = true;
    emscripten_request_animation_frame_loop(OnDisplayRefresh, nullptr);
}

int main() {
    WebPrepare();
    return 0;
}
