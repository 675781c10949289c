// The working folder's data files kept in the browser's IndexedDB. The pictures and sounds
// come with the page and never change; the data files (settings, rankings) are the only
// regular files at the top of the working folder. They are copied in from the stored folder
// before start-up, and back after every save: the copy waits for the end of the frame, when
// the save's temporary file has been renamed into place.
#include <emscripten/emscripten.h>

#include "platform/web/web_platform.h"

namespace {

bool g_changed;

// clang-format off
// The stored folder's files into the game's folder.
EM_JS(void, WebCopyStoredFiles, (), {
    for (const name of FS.readdir('/save')) {
        const from = '/save/' + name;
        if (name === '.' || name === '..' || !FS.isFile(FS.stat(from).mode)) continue;
        FS.writeFile('/game/' + name, FS.readFile(from));
    }
});

// The game's data files into the stored folder and, in one transaction begun at once, into
// IndexedDB in the stored folder's own form: begun now, it is committed even when the page is
// going away (a reload right after a save). One store at a time; a request made meanwhile
// runs after it.
EM_JS(void, WebStoreFolder, (int32_t closed), {
    const store = Module.plusrailStore || (Module.plusrailStore = {busy: false, again: false, closed: false});
    if (closed) store.closed = true;
    if (store.busy) {
        store.again = true;
        return;
    }
    store.busy = true;
    const entries = [];
    for (const name of FS.readdir('/game')) {
        const from = '/game/' + name;
        if (name === '.' || name === '..' || !FS.isFile(FS.stat(from).mode)) continue;
        const contents = FS.readFile(from);
        FS.writeFile('/save/' + name, contents);
        const stat = FS.stat('/save/' + name);
        entries.push({path: '/save/' + name, entry: {timestamp: stat.mtime, mode: stat.mode, contents: contents}});
    }
    const finished = (error) => {
        if (error) console.warn('The data files could not be stored in the browser: ' + error);
        store.busy = false;
        if (store.again) {
            store.again = false;
            _WebStoreAgain();
        } else if (store.closed) {
            Module.plusrailShowClosed();
        }
    };
    const db = IDBFS.dbs['/save'];
    if (!db) {
        FS.syncfs(false, finished);
        return;
    }
    try {
        const transaction = db.transaction([IDBFS.DB_STORE_NAME], 'readwrite');
        const files = transaction.objectStore(IDBFS.DB_STORE_NAME);
        for (const e of entries) files.put(e.entry, e.path);
        transaction.oncomplete = () => finished(null);
        transaction.onerror = () => finished(transaction.error);
        transaction.onabort = () => finished(transaction.error);
    } catch (e) {
        finished(e);
    }
});
// clang-format on

}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void WebStoreAgain() { WebStoreFolder(0); }

void WebRestoreFiles() { WebCopyStoredFiles(); }

bool WebFilesChanged() { return g_changed; }

void WebMarkFilesChanged() { g_changed = true; }

void WebStoreFiles(bool closed) {
    g_changed = false;
    WebStoreFolder(closed ? 1 : 0);
}
