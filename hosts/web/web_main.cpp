// The process entry of the browser build. The page's display callback drives the frames; the
// program never blocks. Before start-up the page takes its lock, loads the stored files and
// fetches the replay its address names, if any.
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include "app/application.h"
#include "app/window_procedure.h"
#include "hosts/web/web_glue.h"
#include "hosts/web/web_platform.h"
#include "program/program.h"

namespace {

bool g_running;  // between a successful start-up and the end of the loop

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

// replay: the program's path of the replay to watch, or "" to play.
extern "C" EMSCRIPTEN_KEEPALIVE void WebStart(int32_t claimed, const char* replay) {
    WebSetInstanceClaimed(claimed != 0);
    if (claimed) WebRestoreFiles();
    const char* watch[] = {"plusrail", "--replay", replay};
    const char* play[] = {"plusrail"};
    const bool watching = replay && replay[0];
    GameRoutines routines;
    int status = kExitDone;
    if (!PrepareGame(watching ? 3 : 1, watching ? watch : play, &routines, &status)) return;
    if (StartApplication(routines) != StartResult::Started) {
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
