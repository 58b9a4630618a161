// The online version check as the menu sees it (see version_check.h): ver.dat, the first-start
// question, the check on its worker thread and the new-version box.
#include "menu/version_check.h"

#include <cstdio>
#include <string>

#include "engine/textfile.h"
#include "game/kv_globals.h"
#include "menu/menu.h"
#include "menu/menu_globals.h"
#include "net/version_query.h"
#include "net/version_server.h"
#include "platform/clock.h"

namespace {

struct VersionCheckSetup {
    std::string host;
    int32_t port = 80;
    std::string web = KV_VERSION_WEB;
    std::string file = "ver.dat";
    bool parsed_default = false;
};

VersionCheckSetup g_setup;
NET::VersionCheckJob g_job;
// An answer that arrived while another box was open waits here for its turn.
bool g_pending_box = false;

void console(const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); }

void ensure_server() {
    if (g_setup.parsed_default) return;
    g_setup.parsed_default = true;
    std::string why;
    if (!NET::version_parse_server(KV_VERSION_SERVER, g_setup.host, g_setup.port, why)) {
        console(std::string("version check: the built-in server setting is unusable (") + why + ")");
        g_setup.host.clear();
    }
}

// The first line of ver.dat exactly as stored (without its line end); "" when absent.
std::string stored_first_line(const std::string& bytes) {
    const size_t end = bytes.find_first_of("\r\n");
    return end == std::string::npos ? bytes : bytes.substr(0, end);
}

void open_new_version_box() {
    KV_MENUGLOBALS.OKBOX = 1;
    KV_MENUGLOBALS.OKFADE = 0.0f;
    KV_MENUGLOBALS.OKTITLE = "New Version Available!";
    KV_MENUGLOBALS.OKMESSAGE = "Kessra Vorn " + KVGLOBALS.ONLINEVERSION + " is available from\\n" +
                               g_setup.web + "\\n\\nThank You.";
    // The menu's own hold-off, so the key that was down when the answer came cannot close the
    // box before it is seen.
    KV_MENUGLOBALS.WAITKEY =
        static_cast<int32_t>(static_cast<uint32_t>(platform_clock_ms()) + 500u);  // wraps with the clock
}

}  // namespace

void kv_version_set_server(const std::string& host, int32_t port) {
    g_setup.parsed_default = true;
    g_setup.host = host;
    g_setup.port = port;
}

void kv_version_set_web_address(const std::string& web) { g_setup.web = web; }
void kv_version_set_file(const std::string& path) { g_setup.file = path; }
const std::string& kv_version_web_address() { return g_setup.web; }

void kv_version_menu_start() {
    if (kv_menu_quick_flight()) return;  // quick flight never shows the menu and never checks
    KVGLOBALS.OFFLINEVERSION.clear();
    KVGLOBALS.ALLOWCHECKVERSION = 0;
    FieldReader r;
    if (!field_reader_open(r, g_setup.file)) {
        console("version check: " + g_setup.file + " cannot be read; checking stays off");
        return;
    }
    KVGLOBALS.OFFLINEVERSION = field_read(r);
    const std::string choice = field_read(r);
    const int32_t allow = text_to_int(choice);
    if (allow < -1 || allow > 1) {
        console("version check: " + g_setup.file + " line 2 holds \"" + choice +
                "\", expected -1, 0 or 1; checking stays off");
        return;
    }
    KVGLOBALS.ALLOWCHECKVERSION = allow;
    if (allow == -1) {
        KV_MENUGLOBALS.CONFIRMBOX = 1;
        KV_MENUGLOBALS.CONFIRMFADE = 0.0f;
        KV_MENUGLOBALS.CONFIRMTITLE = "Online Version Check";
        KV_MENUGLOBALS.CONFIRMMESSAGE = "Kessra Vorn can automatically check " + g_setup.web +
                                        "\\nfor updates on startup.\\n\\nWould you like to enable this feature?";
        KV_MENUGLOBALS.CONFIRMSELECTION = 0;
        KV_MENUGLOBALS.CONFIRMKEY = 1;
    } else if (allow == 1) {
        KV_LOAD_CHECKVERSION();
    }
}

void kv_version_answer(int32_t allow) {
    KVGLOBALS.ALLOWCHECKVERSION = allow == 1 ? 1 : 0;
    // Line 1 stays byte for byte as it was; only the choice changes. A file that went away (or
    // became unreadable) since the menu started gets back the version read then, never a blank.
    FieldReader r;
    const std::string first =
        field_reader_open(r, g_setup.file) ? stored_first_line(r.bytes) : KVGLOBALS.OFFLINEVERSION;
    FieldWriter w;
    field_write(w, first);
    field_write_int(w, KVGLOBALS.ALLOWCHECKVERSION);
    if (!write_file_atomic(g_setup.file, w.bytes))
        console("version check: " + g_setup.file + " cannot be rewritten; the choice holds for this run only");
    if (KVGLOBALS.ALLOWCHECKVERSION == 1) KV_LOAD_CHECKVERSION();
}

void KV_LOAD_CHECKVERSION() {
    ensure_server();
    if (g_setup.host.empty()) {
        console("version check: no version server is set");
        return;
    }
    if (g_job.running()) return;
    g_job.start(g_setup.host, g_setup.port);
}

bool kv_version_check_running() { return g_job.running() || g_pending_box; }

void kv_version_poll() {
    NET::VersionAnswer answer;
    if (g_job.poll(answer)) {
        if (!answer.ok) {
            KVGLOBALS.ONLINEVERSION.clear();
            console("version check: " + answer.why);
            return;
        }
        KVGLOBALS.ONLINEVERSION = answer.version;
        g_pending_box = KVGLOBALS.ONLINEVERSION != KVGLOBALS.OFFLINEVERSION;
    }
    if (g_pending_box && KV_MENUGLOBALS.OKBOX == 0 && KV_MENUGLOBALS.CONFIRMBOX == 0) {
        g_pending_box = false;
        open_new_version_box();
    }
}

void kv_version_shutdown() {
    g_job.abandon();
    g_pending_box = false;
}
