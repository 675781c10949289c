// One game per browser profile: the page takes a Web Lock before the program starts and holds
// it until the tab closes, so that two tabs never write over each other's files. A second tab
// cannot bring the first one forward; it says where the game is instead.

#include "frame/messages.h"
#include "hosts/web/web_glue.h"
#include "hosts/web/web_platform.h"
#include "platform/platform_window.h"

namespace {

bool g_claimed = true;

}  // namespace

void WebSetInstanceClaimed(bool claimed) { g_claimed = claimed; }

bool PlatformClaimInstance(const char*) { return g_claimed; }

bool PlatformShowOtherInstance(const char*) {
    WebShowOtherTab(kAlreadyRunningMessage);
    return true;
}
