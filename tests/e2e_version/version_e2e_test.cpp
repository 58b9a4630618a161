// The online version check through the real game: core with a private game directory and
// --version-server pointed at a server of our own on 127.0.0.1 (python3's http.server serving a
// version.php file, or the scripted hostile server), judged from its trace, console and
// screenshots. A newer version opens the box with its exact text; the same version, a 404 page,
// garbage, a 1 MiB body and a closed port open nothing and say why once; a server that never
// answers does not hold up the title screen or the exit; the first-start question writes the
// player's answer into the private ver.dat and never into the build's own; quick flight leaves
// it all alone.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "game_run.h"
#include "net/loopback_server.h"
#include "net/version_server.h"

using namespace e2e_version;

namespace {

// The trace's encoding of a box text made of printable characters and blanks.
std::string encoded(const std::string& s) {
    std::string out;
    for (char c : s) out += c == ' ' ? std::string("%20") : std::string(1, c);
    return out;
}

const std::string kRequest =
    "GET /version.php HTTP/1.0\r\nHost: 127.0.0.1\r\nAccept: text/html\r\n"
    "User-Agent: quorlix .01. Have a nice day!\r\nConnection: Close\r\n\r\n";

std::string server_option(int port) { return "127.0.0.1:" + std::to_string(port); }

// Lines of the console output that the version check wrote.
std::vector<std::string> check_lines(const std::string& log) {
    std::vector<std::string> out;
    std::istringstream lines(log);
    std::string line;
    while (std::getline(lines, line))
        if (line.find("version check: ") != std::string::npos) out.push_back(line);
    return out;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string s;
    for (const std::string& l : lines) s += l + "\n";
    return s;
}

// The bytes and modification time of the build's own ver.dat, which no test may change.
struct FileStamp {
    std::string bytes;
    long long mtime_ns = -1;
    static FileStamp of(const fs::path& p) {
        FileStamp s;
        s.bytes = read_file_text(p);
        struct stat st {};
        if (stat(p.c_str(), &st) == 0) s.mtime_ns = st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
        return s;
    }
    bool operator==(const FileStamp& o) const { return bytes == o.bytes && mtime_ns == o.mtime_ns; }
};

const char kOn[] = "0.1.0\r\n 1\r\n";

}  // namespace

TEST(VersionCheckE2E, ANewerVersionOpensTheBoxWithItsExactText) {
    REQUIRE_GAME();
    loopback::HttpServer server("0.2.0");
    ASSERT_TRUE(server.ok()) << "python3 -m http.server did not come up on 127.0.0.1";
    const fs::path dir = make_game_dir("newer", kOn);
    const fs::path shot = kShots / "version_new_version_box.png";
    const GameRun r = run_game(dir, "newer", Script{}, 150, {"--version-server", server_option(server.port())},
                               {{140, shot}});
    ASSERT_EQ(r.status, 0) << r.log;
    const TraceLine* box = r.first("box", "ok");
    ASSERT_NE(box, nullptr) << "no box opened; console:\n" << r.log;
    EXPECT_EQ(text(*box, "boxtitle"), encoded("New Version Available!"));
    EXPECT_EQ(text(*box, "boxmsg"),
              encoded(std::string("Kessra Vorn 0.2.0 is available from\\n") + KV_VERSION_WEB + "\\n\\nThank You."));
    EXPECT_EQ(text(*box, "online"), "0.2.0");
    EXPECT_EQ(num(*box, "menu"), 7);  // over the title screen
    // Nothing closes it unasked: it is still open on the last frame.
    ASSERT_FALSE(r.trace.empty());
    EXPECT_EQ(text(r.trace.back(), "box"), "ok");
    EXPECT_TRUE(check_lines(r.log).empty()) << r.log;
    EXPECT_TRUE(fs::is_regular_file(shot));
    EXPECT_EQ(read_file_text(dir / "ver.dat"), kOn);  // a check never rewrites ver.dat
}

TEST(VersionCheckE2E, TheSameVersionAndEveryRefusedReplyOpenNothing) {
    REQUIRE_GAME();
    struct Case {
        std::string name;
        std::string mode;     // hostile server mode; "" for http.server, "closed" for no server
        std::string reason;   // a part of the console line; "" when none is expected
    };
    const std::vector<Case> cases = {
        {"same", "", ""},
        {"notfound", "notfound", "instead of 200"},
        {"garbage", "garbage", "not HTTP"},
        {"huge", "huge", "longer than 4096 bytes"},
        {"closed", "closed", "cannot reach"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<loopback::HttpServer> http;
        std::unique_ptr<HostileServer> hostile;
        int port = 0;
        if (c.mode.empty()) {
            http = std::make_unique<loopback::HttpServer>("0.1.0");
            ASSERT_TRUE(http->ok()) << "python3 -m http.server did not come up on 127.0.0.1";
            port = http->port();
        } else if (c.mode == "closed") {
            port = loopback::closed_port();
        } else {
            hostile = std::make_unique<HostileServer>(c.mode, c.name);
            ASSERT_TRUE(hostile->ok()) << "the scripted server did not come up on 127.0.0.1";
            port = hostile->port();
        }
        const fs::path dir = make_game_dir(c.name, kOn);
        const GameRun r = run_game(dir, c.name, Script{}, 150, {"--version-server", server_option(port)});
        ASSERT_EQ(r.status, 0) << r.log;
        ASSERT_EQ(r.trace.size(), 150u);
        EXPECT_EQ(r.count("box", "none"), 150) << "a box opened";
        const std::vector<std::string> lines = check_lines(r.log);
        if (c.reason.empty()) {
            // The answer came and matched: it is recorded, and nothing is said.
            EXPECT_NE(r.first("online", "0.1.0"), nullptr) << "the check never answered";
            EXPECT_TRUE(lines.empty()) << joined(lines);
        } else {
            ASSERT_EQ(lines.size(), 1u) << r.log;
            EXPECT_NE(lines[0].find(c.reason), std::string::npos) << lines[0];
            EXPECT_EQ(r.count("online", ""), 150);
        }
        if (hostile) {
            EXPECT_EQ(hostile->requests(), kRequest);  // one exact request, then nothing more
        }
        EXPECT_EQ(read_file_text(dir / "ver.dat"), kOn);
    }
}

TEST(VersionCheckE2E, AServerThatNeverAnswersHoldsUpNeitherTheTitleNorTheExit) {
    REQUIRE_GAME();
    HostileServer server("silent", "silent");
    ASSERT_TRUE(server.ok()) << "the scripted server did not come up on 127.0.0.1";
    const fs::path dir = make_game_dir("silent", kOn);
    // A check that held up the menu would cost its full 5 s on every try; a machine busy with
    // other work may cost a start-up its second once, so the faster of two tries counts.
    double first_frame = 1e9, ending = 1e9;
    for (int attempt = 0; attempt < 2 && (first_frame >= 1.0 || ending >= 2.0); ++attempt) {
        const GameRun r = run_game(dir, "silent", Script{}, 40, {"--version-server", server_option(server.port())},
                                   {}, 30.0);
        ASSERT_EQ(r.status, 0) << r.log;
        ASSERT_EQ(r.trace.size(), 40u);
        EXPECT_EQ(num(r.trace.front(), "menu"), 7);
        EXPECT_EQ(r.count("box", "none"), 40);
        ASSERT_GE(r.first_frame, 0.0);
        ASSERT_GE(r.last_frame, 0.0);
        first_frame = std::min(first_frame, r.first_frame);
        ending = std::min(ending, r.total - r.last_frame);
    }
    EXPECT_LT(first_frame, 1.0) << "the title screen waited for the server";
    // The run ends while the check still waits (its deadline is 5 s away): it is abandoned, not
    // waited out.
    EXPECT_LT(ending, 2.0) << "the exit waited for the check";
    EXPECT_EQ(server.requests().substr(0, kRequest.size()), kRequest) << "the check never reached the server";
}

TEST(VersionCheckE2E, EscapeOnTheFirstStartQuestionWritesZeroAndNeverAsksAgain) {
    REQUIRE_GAME();
    HostileServer server("notfound", "question_server");
    ASSERT_TRUE(server.ok()) << "the scripted server did not come up on 127.0.0.1";
    const FileStamp build_ver = FileStamp::of(kGame / "ver.dat");
    const fs::path dir = make_game_dir("question", "0.1.0\r\n-1\r\n");
    const fs::path shot = kShots / "version_first_start_question.png";
    Script s;
    s.press(60, "ESCAPE");
    const std::vector<std::string> to_server = {"--version-server", server_option(server.port())};
    const GameRun r = run_game(dir, "question", s, 120, to_server, {{50, shot}});
    ASSERT_EQ(r.status, 0) << r.log;
    ASSERT_EQ(r.trace.size(), 120u);
    const TraceLine& asked = r.trace.front();
    EXPECT_EQ(text(asked, "box"), "confirm");
    EXPECT_EQ(text(asked, "boxtitle"), encoded("Online Version Check"));
    EXPECT_EQ(text(asked, "boxmsg"),
              encoded(std::string("Kessra Vorn can automatically check ") + KV_VERSION_WEB +
                      "\\nfor updates on startup.\\n\\nWould you like to enable this feature?"));
    EXPECT_EQ(num(asked, "allowcheck"), -1);
    EXPECT_EQ(text(r.trace[58], "box"), "confirm");  // open until the key
    const TraceLine* answered = r.first("allowcheck", "0");
    ASSERT_NE(answered, nullptr);
    EXPECT_GE(num(*answered, "frame"), 60);
    EXPECT_EQ(text(r.trace.back(), "box"), "none");
    EXPECT_TRUE(fs::is_regular_file(shot));
    EXPECT_EQ(read_file_text(dir / "ver.dat"), "0.1.0\r\n 0\r\n");

    // The next start asks nothing and checks nothing, whatever keys come.
    Script again;
    again.press(60, "ESCAPE");
    const GameRun r2 = run_game(dir, "question_again", again, 120, to_server);
    ASSERT_EQ(r2.status, 0) << r2.log;
    ASSERT_EQ(r2.trace.size(), 120u);
    EXPECT_EQ(r2.count("box", "none"), 120);
    EXPECT_EQ(r2.count("allowcheck", "0"), 120);
    EXPECT_EQ(read_file_text(dir / "ver.dat"), "0.1.0\r\n 0\r\n");
    EXPECT_EQ(server.requests(), "") << "a refused check asked the server";
    EXPECT_TRUE(FileStamp::of(kGame / "ver.dat") == build_ver) << "the build's own ver.dat changed";
}

TEST(VersionCheckE2E, AcceptingTheQuestionChecksAtOnceAndItsKeyCannotCloseTheAnswer) {
    REQUIRE_GAME();
    loopback::HttpServer server("0.2.0");
    ASSERT_TRUE(server.ok()) << "python3 -m http.server did not come up on 127.0.0.1";
    const FileStamp build_ver = FileStamp::of(kGame / "ver.dat");
    const fs::path dir = make_game_dir("accept", "0.1.0\r\n-1\r\n");
    Script s;
    s.hold(60, 75, "ENTER");  // still down when the answer comes
    const GameRun r = run_game(dir, "accept", s, 150, {"--version-server", server_option(server.port())});
    ASSERT_EQ(r.status, 0) << r.log;
    const TraceLine* on = r.first("allowcheck", "1");
    ASSERT_NE(on, nullptr) << r.log;
    EXPECT_GE(num(*on, "frame"), 60);
    EXPECT_EQ(read_file_text(dir / "ver.dat"), "0.1.0\r\n 1\r\n");
    const TraceLine* box = r.first("box", "ok");
    ASSERT_NE(box, nullptr) << "the check after Accept opened no box; console:\n" << r.log;
    EXPECT_GT(num(*box, "frame"), num(*on, "frame") - 1);
    EXPECT_EQ(text(*box, "boxtitle"), encoded("New Version Available!"));
    ASSERT_FALSE(r.trace.empty());
    EXPECT_EQ(text(r.trace.back(), "box"), "ok") << "the Enter that accepted closed the answer";
    EXPECT_TRUE(FileStamp::of(kGame / "ver.dat") == build_ver) << "the build's own ver.dat changed";
}

TEST(VersionCheckE2E, QuickFlightNeitherAsksNorChecks) {
    REQUIRE_GAME();
    HostileServer server("notfound", "quick_flight_server");
    ASSERT_TRUE(server.ok()) << "the scripted server did not come up on 127.0.0.1";
    for (const std::string& ver : {std::string(kOn), std::string("0.1.0\r\n-1\r\n")}) {
        const fs::path dir = make_game_dir("quick_flight", ver);
        const GameRun r = run_game(dir, "quick_flight", Script{}, 30,
                                   {"--fly", "--version-server", server_option(server.port())});
        ASSERT_EQ(r.status, 0) << r.log;
        ASSERT_EQ(r.trace.size(), 30u);
        EXPECT_EQ(r.count("box", "none"), 30);
        EXPECT_TRUE(check_lines(r.log).empty()) << r.log;
        EXPECT_EQ(read_file_text(dir / "ver.dat"), ver);
    }
    EXPECT_EQ(server.requests(), "") << "quick flight asked the version server";
}
