// The version check as the menu drives it, through its functions and the records it sets:
// ver.dat read at menu start, the first-start question, the answer written back atomically, the
// check against loopback servers polled once a frame, the new-version box and its exact text,
// no box for the same version or any failure, quick flight leaving it all alone; plus the
// --version-server option and the trace keys. Every check points at 127.0.0.1.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "game/kv_globals.h"
#include "game/world.h"
#include "menu/menu.h"
#include "core/options.h"
#include "core/trace.h"
#include "menu/menu_globals.h"
#include "menu/version_check.h"
#include "net/loopback_server.h"
#include "platform/clock.h"
#include "support/files.h"

namespace fs = std::filesystem;
using loopback::End;
using loopback::Script;
using loopback::ScriptedServer;
using loopback::now_seconds;

namespace {

const char kWeb[] = "www.versions.test";

class VersionCheck : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(dir_.empty());
        file_ = (dir_ / "ver.dat").string();
        kv_version_set_file(file_);
        kv_version_set_web_address(kWeb);
        kv_version_set_server("127.0.0.1", loopback::closed_port());
        KVGLOBALS.OFFLINEVERSION.clear();
        KVGLOBALS.ONLINEVERSION.clear();
        KVGLOBALS.ALLOWCHECKVERSION = 0;
        KV_MENUGLOBALS = KV_MENUGLOBALSTYPE{};
        kv_menu_set_quick_flight(false);
        platform_clock_use_live();
    }
    void TearDown() override {
        kv_version_shutdown();
    }

    void write_ver(const std::string& bytes) { write_file_text(file_, bytes); }
    std::string ver() { return read_file_text(file_); }

    // Polls once per 10 ms "frame" until the check is over or `seconds` pass; the time taken.
    double run_frames(double seconds) {
        const double t0 = now_seconds();
        do {
            kv_version_poll();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        } while (kv_version_check_running() && now_seconds() - t0 < seconds);
        kv_version_poll();
        return now_seconds() - t0;
    }

    ScratchFolder scratch_{"kv_version"};
    const fs::path& dir_ = scratch_.path;
    std::string file_;
};

std::string ok_reply(const std::string& body) {
    return "HTTP/1.0 200 OK\r\nServer: test\r\n\r\n" + body;
}

}  // namespace

// --- The first-start question and its answer ----------------------------------------------------

TEST_F(VersionCheck, NeverAskedOpensTheQuestion) {
    write_ver("0.1.0\r\n-1\r\n");
    kv_version_menu_start();
    EXPECT_EQ(KVGLOBALS.OFFLINEVERSION, "0.1.0");
    EXPECT_EQ(KVGLOBALS.ALLOWCHECKVERSION, -1);
    EXPECT_EQ(KV_MENUGLOBALS.CONFIRMBOX, 1);
    EXPECT_EQ(KV_MENUGLOBALS.CONFIRMTITLE, "Online Version Check");
    EXPECT_EQ(KV_MENUGLOBALS.CONFIRMMESSAGE,
              "Kessra Vorn can automatically check www.versions.test\\nfor updates on startup."
              "\\n\\nWould you like to enable this feature?");
    EXPECT_EQ(KV_MENUGLOBALS.CONFIRMSELECTION, 0);
    EXPECT_EQ(KV_MENUGLOBALS.CONFIRMKEY, 1);
    EXPECT_FALSE(kv_version_check_running());  // nothing is asked before the player answers
    EXPECT_EQ(ver(), "0.1.0\r\n-1\r\n");
}

TEST_F(VersionCheck, RefusingWritesZeroAndNeverAsksAgain) {
    ScriptedServer server(Script{true, ok_reply("9.9.9"), 0, End::CLOSE});
    kv_version_set_server("127.0.0.1", server.port());
    write_ver("0.1.0\r\n-1\r\n");
    kv_version_menu_start();
    kv_version_answer(0);
    EXPECT_EQ(ver(), "0.1.0\r\n 0\r\n");
    EXPECT_EQ(KVGLOBALS.ALLOWCHECKVERSION, 0);
    EXPECT_FALSE(kv_version_check_running());

    KV_MENUGLOBALS = KV_MENUGLOBALSTYPE{};
    kv_version_menu_start();  // next start
    EXPECT_EQ(KV_MENUGLOBALS.CONFIRMBOX, 0);
    EXPECT_FALSE(kv_version_check_running());
    run_frames(0.2);
    EXPECT_EQ(server.connections(), 0);
    EXPECT_EQ(KV_MENUGLOBALS.OKBOX, 0);
}

TEST_F(VersionCheck, AcceptingWritesOneAndChecksAtOnce) {
    ScriptedServer server(Script{true, ok_reply("0.2.0"), 0, End::CLOSE});
    kv_version_set_server("127.0.0.1", server.port());
    write_ver("0.1.0\r\n-1\r\n");
    kv_version_menu_start();
    KV_MENUGLOBALS.CONFIRMBOX = 0;  // the menu closes the box, then hands over the answer
    kv_version_answer(1);
    EXPECT_EQ(ver(), "0.1.0\r\n 1\r\n");
    EXPECT_TRUE(kv_version_check_running());
    run_frames(5.0);
    EXPECT_EQ(KV_MENUGLOBALS.OKBOX, 1);
    EXPECT_EQ(KVGLOBALS.ONLINEVERSION, "0.2.0");
    const std::string request = server.received();
    EXPECT_EQ(request.substr(0, request.find("\r\n")), "GET /version.php HTTP/1.0");
}

TEST_F(VersionCheck, TheStoredVersionLineIsKeptByteForByte) {
    write_ver("1.0,beta  \r\n-1\r\n");
    kv_version_menu_start();
    EXPECT_EQ(KVGLOBALS.OFFLINEVERSION, "1.0");  // one field: the comma ends it
    kv_version_answer(0);
    EXPECT_EQ(ver(), "1.0,beta  \r\n 0\r\n");
    EXPECT_TRUE(fs::is_regular_file(file_));
    int others = 0;
    for (const auto& e : fs::directory_iterator(dir_)) others += e.path() != fs::path(file_);
    EXPECT_EQ(others, 0);  // no temporary left beside it
}

TEST_F(VersionCheck, AVerDatGoneBeforeTheAnswerGetsTheVersionReadAtStartBack) {
    write_ver("0.1.0\r\n-1\r\n");
    kv_version_menu_start();
    fs::remove(file_);
    kv_version_answer(0);
    EXPECT_EQ(ver(), "0.1.0\r\n 0\r\n");
}

TEST_F(VersionCheck, AnUnwritableVerDatKeepsTheChoiceForThisRun) {
    kv_version_set_file((dir_ / "no-such-folder" / "ver.dat").string());
    testing::internal::CaptureStderr();
    kv_version_answer(0);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("cannot be rewritten"), std::string::npos) << err;
    EXPECT_EQ(KVGLOBALS.ALLOWCHECKVERSION, 0);
    EXPECT_FALSE(fs::exists(dir_ / "no-such-folder"));
}

TEST_F(VersionCheck, UnusableVerDatIsLeftAloneWithAConsoleLine) {
    write_ver("0.1.0\r\n7\r\n");
    testing::internal::CaptureStderr();
    kv_version_menu_start();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("expected -1, 0 or 1"), std::string::npos) << err;
    EXPECT_EQ(KVGLOBALS.ALLOWCHECKVERSION, 0);
    EXPECT_EQ(KV_MENUGLOBALS.CONFIRMBOX, 0);
    EXPECT_FALSE(kv_version_check_running());
    EXPECT_EQ(ver(), "0.1.0\r\n7\r\n");

    fs::remove(file_);
    testing::internal::CaptureStderr();
    kv_version_menu_start();
    EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot be read"), std::string::npos);
    EXPECT_EQ(KV_MENUGLOBALS.CONFIRMBOX, 0);
    EXPECT_FALSE(fs::exists(file_));
}

TEST_F(VersionCheck, QuickFlightNeverReadsAsksOrChecks) {
    ScriptedServer server(Script{true, ok_reply("0.2.0"), 0, End::CLOSE});
    kv_version_set_server("127.0.0.1", server.port());
    kv_menu_set_quick_flight(true);
    for (const char* choice : {"-1", " 1"}) {
        write_ver(std::string("0.1.0\r\n") + choice + "\r\n");
        kv_version_menu_start();
        EXPECT_EQ(KV_MENUGLOBALS.CONFIRMBOX, 0);
        EXPECT_FALSE(kv_version_check_running());
    }
    run_frames(0.2);
    EXPECT_EQ(server.connections(), 0);
}

// --- The check and the new-version box ----------------------------------------------------------

TEST_F(VersionCheck, NewerVersionOpensTheBoxWithItsExactText) {
    loopback::HttpServer http("0.2.0");
    if (!http.ok()) GTEST_SKIP() << "python3 -m http.server did not start";
    kv_version_set_server("127.0.0.1", http.port());
    write_ver("0.1.0\r\n 1\r\n");
    const double t0 = now_seconds();
    kv_version_menu_start();
    EXPECT_LT(now_seconds() - t0, 0.1);  // the menu's first frame is not held back
    EXPECT_EQ(KV_MENUGLOBALS.OKBOX, 0);
    run_frames(5.0);
    EXPECT_EQ(KV_MENUGLOBALS.OKBOX, 1);
    EXPECT_EQ(KV_MENUGLOBALS.OKTITLE, "New Version Available!");
    EXPECT_EQ(KV_MENUGLOBALS.OKMESSAGE,
              "Kessra Vorn 0.2.0 is available from\\nwww.versions.test\\n\\nThank You.");
    EXPECT_EQ(KVGLOBALS.ONLINEVERSION, "0.2.0");
    // The menu's hold-off keeps the key that was down from closing the box unseen.
    const int32_t now = platform_clock_ms();
    EXPECT_GT(KV_MENUGLOBALS.WAITKEY, now + 300);
    EXPECT_LE(KV_MENUGLOBALS.WAITKEY, now + 500);
    EXPECT_EQ(ver(), "0.1.0\r\n 1\r\n");  // a check never rewrites the file
}

TEST_F(VersionCheck, SameVersionShowsNothingButATrailingLineEndDiffers) {
    {
        ScriptedServer server(Script{true, ok_reply("0.1.0"), 0, End::CLOSE});
        kv_version_set_server("127.0.0.1", server.port());
        write_ver("0.1.0\r\n 1\r\n");
        kv_version_menu_start();
        run_frames(5.0);
        EXPECT_EQ(KVGLOBALS.ONLINEVERSION, "0.1.0");
        EXPECT_EQ(KV_MENUGLOBALS.OKBOX, 0);
    }
    {
        ScriptedServer server(Script{true, ok_reply("0.1.0\r\n"), 0, End::CLOSE});
        kv_version_set_server("127.0.0.1", server.port());
        kv_version_menu_start();
        run_frames(5.0);
        EXPECT_EQ(KVGLOBALS.ONLINEVERSION, "0.1.0\r\n");
        EXPECT_EQ(KV_MENUGLOBALS.OKBOX, 1);
    }
}

TEST_F(VersionCheck, FailedChecksShowNoBoxAndSayWhyOnce) {
    struct Case {
        Script script;
        const char* why_part;
    };
    const Case cases[] = {
        {{true, "HTTP/1.0 404 Not Found\r\nServer: test\r\n\r\n<html>404</html>", 0, End::CLOSE}, "404"},
        {{true, "garbage without any header", 0, End::CLOSE}, "not HTTP"},
        {{true, ok_reply(std::string(1 << 20, 'x')), 0, End::HANG}, "longer than 4096"},
        {{true, "", 0, End::CLOSE}, "without a reply"},
    };
    write_ver("0.1.0\r\n 1\r\n");
    for (const Case& c : cases) {
        ScriptedServer server(c.script);
        kv_version_set_server("127.0.0.1", server.port());
        KVGLOBALS.ONLINEVERSION = "stale";
        testing::internal::CaptureStderr();
        kv_version_menu_start();
        run_frames(5.0);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(KV_MENUGLOBALS.OKBOX, 0) << c.why_part;
        EXPECT_TRUE(KVGLOBALS.ONLINEVERSION.empty());
        EXPECT_NE(err.find(c.why_part), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }
    kv_version_set_server("127.0.0.1", loopback::closed_port());
    testing::internal::CaptureStderr();
    kv_version_menu_start();
    run_frames(5.0);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Failed connection"), std::string::npos);
    EXPECT_EQ(KV_MENUGLOBALS.OKBOX, 0);
}

TEST_F(VersionCheck, ASilentServerIsAbandonedWithinTheDeadline) {
    ScriptedServer server(Script{true, "", 0, End::HANG});
    kv_version_set_server("127.0.0.1", server.port());
    write_ver("0.1.0\r\n 1\r\n");
    const double t0 = now_seconds();
    kv_version_menu_start();
    EXPECT_LT(now_seconds() - t0, 0.1);
    testing::internal::CaptureStderr();
    const double took = run_frames(8.0);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(kv_version_check_running());
    EXPECT_LT(took, 5.6);
    EXPECT_NE(err.find("within 5 s"), std::string::npos) << err;
    EXPECT_EQ(KV_MENUGLOBALS.OKBOX, 0);
}

TEST_F(VersionCheck, ShutdownDuringASilentCheckReturnsAtOnce) {
    ScriptedServer server(Script{true, "", 0, End::HANG});
    kv_version_set_server("127.0.0.1", server.port());
    write_ver("0.1.0\r\n 1\r\n");
    kv_version_menu_start();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const double t0 = now_seconds();
    kv_version_shutdown();
    EXPECT_LT(now_seconds() - t0, 0.4);
    EXPECT_FALSE(kv_version_check_running());
}

TEST_F(VersionCheck, TheBoxWaitsForAnOpenBoxToClose) {
    ScriptedServer server(Script{true, ok_reply("0.3.0"), 0, End::CLOSE});
    kv_version_set_server("127.0.0.1", server.port());
    write_ver("0.1.0\r\n 1\r\n");
    kv_version_menu_start();
    KV_MENUGLOBALS.OKBOX = 1;
    KV_MENUGLOBALS.OKTITLE = "MISSION FAILED!";
    run_frames(1.0);
    EXPECT_EQ(KV_MENUGLOBALS.OKTITLE, "MISSION FAILED!");  // not overwritten
    EXPECT_TRUE(kv_version_check_running());              // the answer waits its turn
    KV_MENUGLOBALS.OKBOX = 0;
    kv_version_poll();
    EXPECT_EQ(KV_MENUGLOBALS.OKBOX, 1);
    EXPECT_EQ(KV_MENUGLOBALS.OKTITLE, "New Version Available!");
    EXPECT_FALSE(kv_version_check_running());
}

TEST_F(VersionCheck, ARunningCheckIsNotStartedTwice) {
    ScriptedServer server(Script{true, ok_reply("0.3.0"), 0, End::CLOSE});
    kv_version_set_server("127.0.0.1", server.port());
    write_ver("0.1.0\r\n 1\r\n");
    kv_version_menu_start();
    KV_LOAD_CHECKVERSION();
    run_frames(5.0);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(server.connections(), 1);
}

// --- The option and the trace -------------------------------------------------------------------

TEST(VersionServerOption, HostAndPortAreParsedAndChecked) {
    auto parse = [](std::vector<const char*> args, KV_RUNOPTIONS& o, std::string& err) {
        args.insert(args.begin(), "core");
        return kv_parse_options(static_cast<int>(args.size()), args.data(), o, err);
    };
    KV_RUNOPTIONS o;
    std::string err;
    ASSERT_TRUE(parse({"--version-server", "127.0.0.1:8123"}, o, err)) << err;
    EXPECT_TRUE(o.HAS_VERSION_SERVER);
    EXPECT_EQ(o.VERSION_SERVER_HOST, "127.0.0.1");
    EXPECT_EQ(o.VERSION_SERVER_PORT, 8123);
    ASSERT_TRUE(parse({"--version-server", "versions.test"}, o, err)) << err;
    EXPECT_EQ(o.VERSION_SERVER_PORT, 80);
    ASSERT_TRUE(parse({}, o, err));
    EXPECT_FALSE(o.HAS_VERSION_SERVER);
    for (const char* bad : {"", ":80", "host:", "host:0", "host:65536", "host:+80", "a b", "h/x:80"}) {
        EXPECT_FALSE(parse({"--version-server", bad}, o, err)) << bad;
        EXPECT_NE(err.find("--version-server"), std::string::npos);
    }
    EXPECT_FALSE(parse({"--version-server"}, o, err));
    const std::string usage = kv_usage_text();
    EXPECT_NE(usage.find("--version-server HOST[:PORT]"), std::string::npos);
    EXPECT_NE(usage.find("online= allowcheck="), std::string::npos);
}

TEST(VersionTrace, OnlineAndAllowCheckAreEncodedAndBlankSeparated) {
    KVGLOBALS.ONLINEVERSION = "0.2 beta=1";
    KVGLOBALS.ALLOWCHECKVERSION = -1;
    const std::string line = trace_line(3);
    const std::string keys = " online=0.2%20beta%3D1 allowcheck=-1";
    const size_t at = line.find(keys);
    ASSERT_NE(at, std::string::npos) << line;
    // Whatever follows starts a new key.
    EXPECT_TRUE(at + keys.size() == line.size() || line[at + keys.size()] == ' ') << line;
    EXPECT_EQ(line.find("frame=3 "), 0u);
    KVGLOBALS.ONLINEVERSION.clear();
    KVGLOBALS.ALLOWCHECKVERSION = 0;
    EXPECT_NE(trace_line(4).find(" online= allowcheck=0"), std::string::npos);
}

TEST(VersionServerOption, TheGameRefusesABadServerAndDocumentsTheOption) {
    const std::string core = std::string(KV_GAME_DIR) + "/core";
    const CommandResult bad = run_command("'" + core + "' --version-server 127.0.0.1:99999");
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.out.find("--version-server 127.0.0.1:99999: expected HOST or HOST:PORT"), std::string::npos)
        << bad.out;
    const CommandResult help = run_command("'" + core + "' --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--version-server HOST[:PORT]"), std::string::npos);
}
