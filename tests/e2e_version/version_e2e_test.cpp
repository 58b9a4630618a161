// The online version check through the real game: core with a private game directory and
// --version-server pointed at a server of our own on 127.0.0.1 (python3's http.server serving a
// version.php file, or the scripted hostile server), judged from its trace, console and
// screenshots. A newer version opens the box with its exact text; the same version, a 404 page,
// garbage, a 1 MiB body and a closed port open nothing and say why once; a server that never
// answers does not hold up the title screen or the exit; the first-start question writes the
// player's answer into the private ver.dat and never into the build's own; quick flight leaves
// it all alone.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "net/loopback_server.h"
#include "net/version_server.h"
#include "support/game_run.h"

using namespace kvtest;

namespace {

const fs::path kOut = fs::path(KV_BUILD_DIR) / "e2e_version";
const fs::path kHostileServer = fs::path(KV_SOURCE_DIR) / "tests/e2e_version/version_server.py";

double now_seconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// The scripted hostile server beside this file in one mode, on 127.0.0.1 and a port the system
// chose; killed when it goes out of scope. ok() is false when python3 could not start it
// within 10 s.
class HostileServer {
public:
    HostileServer(const std::string& mode, const std::string& name) {
        fs::create_directories(kOut);
        const fs::path port_file = kOut / (name + ".port");
        requests_ = kOut / (name + ".requests");
        fs::remove(port_file);
        fs::remove(requests_);
        std::vector<std::string> args = {"python3", kHostileServer.string(), mode, port_file.string(),
                                         requests_.string()};
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t io;
        posix_spawn_file_actions_init(&io);
        posix_spawn_file_actions_addopen(&io, 1, "/dev/null", O_WRONLY, 0);
        if (posix_spawnp(&pid_, "python3", &io, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&io);
        const double until = now_seconds() + 10.0;
        while (pid_ > 0 && port_ <= 0 && now_seconds() < until) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                break;
            }
            port_ = std::atoi(read_file_text(port_file).c_str());
            if (port_ <= 0) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    ~HostileServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    HostileServer(const HostileServer&) = delete;
    HostileServer& operator=(const HostileServer&) = delete;

    bool ok() const { return pid_ > 0 && port_ > 0; }
    int port() const { return port_; }
    // Every request the server has read so far, in order.
    std::string requests() const { return read_file_text(requests_); }

private:
    pid_t pid_ = -1;
    int port_ = 0;
    fs::path requests_;
};

// A run of at most FRAMES frames from the title screen towards the version server on PORT.
Play towards(const std::string& name, int port, long frames, const Keys& keys = {}, const std::string& args = "") {
    return {.name = name,
            .script = keys.text,
            .frames = frames,
            .args = "--version-server 127.0.0.1:" + std::to_string(port) + " " + args};
}

// A private game directory whose ver.dat holds VER.
std::unique_ptr<GameDir> game_with(const std::string& ver) {
    auto g = std::make_unique<GameDir>();
    EXPECT_TRUE(g->ok());
    g->write("ver.dat", ver);
    return g;
}

// A run of P timed on the real clock while it goes: seconds from the start to its first trace
// line, to the line of its last frame and to its end; killed (status -1) after LIMIT seconds.
struct Timed {
    int status = -1;
    double first_frame = -1.0, last_frame = -1.0, total = -1.0;
    std::vector<TraceRow> rows;
};
Timed timed_play(const GameDir& g, const Play& p, double limit) {
    Timed r;
    const double t0 = now_seconds();
    const pid_t pid = g.start(p);
    if (pid <= 0) return r;
    const fs::path trace = g / (p.name + ".trace");
    const std::string last_line = "frame=" + std::to_string(p.frames) + " ";
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        const double t = now_seconds() - t0;
        if (r.first_frame < 0.0 || r.last_frame < 0.0) {
            const std::string lines = read_file_text(trace);
            if (r.first_frame < 0.0 && lines.find("frame=") != std::string::npos) r.first_frame = t;
            if (r.last_frame < 0.0 && lines.find(last_line) != std::string::npos) r.last_frame = t;
        }
        if (done == pid) {
            r.total = t;
            r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            break;
        }
        if (t > limit) {
            kill(-pid, SIGKILL);
            waitpid(pid, &status, 0);
            r.total = t;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    r.rows = g.trace(p);
    return r;
}

const std::string kRequest =
    "GET /version.php HTTP/1.0\r\nHost: 127.0.0.1\r\nAccept: text/html\r\n"
    "User-Agent: quorlix .01. Have a nice day!\r\nConnection: Close\r\n\r\n";

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
    KV_REQUIRE_GAME();
    loopback::HttpServer server("0.2.0");
    ASSERT_TRUE(server.ok()) << "python3 -m http.server did not come up on 127.0.0.1";
    const auto g = game_with(kOn);
    Play p = towards("newer", server.port(), 150);
    p.shots = {{140, "version_new_version_box.png"}};
    const RunResult r = g->play(p);
    ASSERT_EQ(r.status, 0) << r.log();
    const TraceRow* box = r.find_text("box", "ok");
    ASSERT_NE(box, nullptr) << "no box opened; console:\n" << r.log();
    EXPECT_EQ(box->at("boxtitle"), encoded("New Version Available!"));
    EXPECT_EQ(box->at("boxmsg"),
              encoded(std::string("Kessra Vorn 0.2.0 is available from\\n") + KV_VERSION_WEB + "\\n\\nThank You."));
    EXPECT_EQ(box->at("online"), "0.2.0");
    EXPECT_EQ(box->num("menu"), 7);  // over the title screen
    // Nothing closes it unasked: it is still open on the last frame.
    ASSERT_FALSE(r.rows.empty());
    EXPECT_EQ(r.rows.back().at("box"), "ok");
    EXPECT_TRUE(check_lines(r.log()).empty()) << r.log();
    EXPECT_TRUE(fs::is_regular_file(screenshots_dir() / "version_new_version_box.png"));
    EXPECT_EQ(read_file_text(*g / "ver.dat"), kOn);  // a check never rewrites ver.dat
}

TEST(VersionCheckE2E, TheSameVersionAndEveryRefusedReplyOpenNothing) {
    KV_REQUIRE_GAME();
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
        const auto g = game_with(kOn);
        const RunResult r = g->play(towards(c.name, port, 150));
        ASSERT_EQ(r.status, 0) << r.log();
        ASSERT_EQ(r.rows.size(), 150u);
        EXPECT_EQ(r.count("box", "none"), 150) << "a box opened";
        const std::vector<std::string> lines = check_lines(r.log());
        if (c.reason.empty()) {
            // The answer came and matched: it is recorded, and nothing is said.
            EXPECT_NE(r.find_text("online", "0.1.0"), nullptr) << "the check never answered";
            EXPECT_TRUE(lines.empty()) << joined(lines);
        } else {
            ASSERT_EQ(lines.size(), 1u) << r.log();
            EXPECT_NE(lines[0].find(c.reason), std::string::npos) << lines[0];
            EXPECT_EQ(r.count("online", ""), 150);
        }
        if (hostile) {
            EXPECT_EQ(hostile->requests(), kRequest);  // one exact request, then nothing more
        }
        EXPECT_EQ(read_file_text(*g / "ver.dat"), kOn);
    }
}

TEST(VersionCheckE2E, AServerThatNeverAnswersHoldsUpNeitherTheTitleNorTheExit) {
    KV_REQUIRE_GAME();
    HostileServer server("silent", "silent");
    ASSERT_TRUE(server.ok()) << "the scripted server did not come up on 127.0.0.1";
    const auto g = game_with(kOn);
    // A check that held up the menu would cost its full 5 s on every try; a machine busy with
    // other work may cost a start-up its second once, so the faster of two tries counts.
    double first_frame = 1e9, ending = 1e9;
    for (int attempt = 0; attempt < 2 && (first_frame >= 1.0 || ending >= 2.0); ++attempt) {
        const Timed r = timed_play(*g, towards("silent", server.port(), 40), 30.0);
        ASSERT_EQ(r.status, 0);
        ASSERT_EQ(r.rows.size(), 40u);
        EXPECT_EQ(r.rows.front().num("menu"), 7);
        for (const TraceRow& row : r.rows) EXPECT_EQ(row.at("box"), "none") << "frame " << row.s("frame");
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
    KV_REQUIRE_GAME();
    HostileServer server("notfound", "question_server");
    ASSERT_TRUE(server.ok()) << "the scripted server did not come up on 127.0.0.1";
    const FileStamp build_ver = FileStamp::of(kGame / "ver.dat");
    const auto g = game_with("0.1.0\r\n-1\r\n");
    Keys s;
    s.press(60, "ESCAPE");
    Play p = towards("question", server.port(), 120, s);
    p.shots = {{50, "version_first_start_question.png"}};
    const RunResult r = g->play(p);
    ASSERT_EQ(r.status, 0) << r.log();
    ASSERT_EQ(r.rows.size(), 120u);
    const TraceRow& asked = r.rows.front();
    EXPECT_EQ(asked.at("box"), "confirm");
    EXPECT_EQ(asked.at("boxtitle"), encoded("Online Version Check"));
    EXPECT_EQ(asked.at("boxmsg"),
              encoded(std::string("Kessra Vorn can automatically check ") + KV_VERSION_WEB +
                      "\\nfor updates on startup.\\n\\nWould you like to enable this feature?"));
    EXPECT_EQ(asked.num("allowcheck"), -1);
    EXPECT_EQ(r.rows[58].at("box"), "confirm");  // open until the key
    const TraceRow* answered = r.find("allowcheck", 0);
    ASSERT_NE(answered, nullptr);
    EXPECT_GE(answered->num("frame"), 60);
    EXPECT_EQ(r.rows.back().at("box"), "none");
    EXPECT_TRUE(fs::is_regular_file(screenshots_dir() / "version_first_start_question.png"));
    EXPECT_EQ(read_file_text(*g / "ver.dat"), "0.1.0\r\n 0\r\n");

    // The next start asks nothing and checks nothing, whatever keys come.
    const RunResult r2 = g->play(towards("question_again", server.port(), 120, s));
    ASSERT_EQ(r2.status, 0) << r2.log();
    ASSERT_EQ(r2.rows.size(), 120u);
    EXPECT_EQ(r2.count("box", "none"), 120);
    EXPECT_EQ(r2.count("allowcheck", "0"), 120);
    EXPECT_EQ(read_file_text(*g / "ver.dat"), "0.1.0\r\n 0\r\n");
    EXPECT_EQ(server.requests(), "") << "a refused check asked the server";
    EXPECT_TRUE(FileStamp::of(kGame / "ver.dat") == build_ver) << "the build's own ver.dat changed";
}

TEST(VersionCheckE2E, AcceptingTheQuestionChecksAtOnceAndItsKeyCannotCloseTheAnswer) {
    KV_REQUIRE_GAME();
    loopback::HttpServer server("0.2.0");
    ASSERT_TRUE(server.ok()) << "python3 -m http.server did not come up on 127.0.0.1";
    const FileStamp build_ver = FileStamp::of(kGame / "ver.dat");
    const auto g = game_with("0.1.0\r\n-1\r\n");
    Keys s;
    s.hold(60, 75, "ENTER");  // still down when the answer comes
    const RunResult r = g->play(towards("accept", server.port(), 150, s));
    ASSERT_EQ(r.status, 0) << r.log();
    const TraceRow* on = r.find("allowcheck", 1);
    ASSERT_NE(on, nullptr) << r.log();
    EXPECT_GE(on->num("frame"), 60);
    EXPECT_EQ(read_file_text(*g / "ver.dat"), "0.1.0\r\n 1\r\n");
    const TraceRow* box = r.find_text("box", "ok");
    ASSERT_NE(box, nullptr) << "the check after Accept opened no box; console:\n" << r.log();
    EXPECT_GT(box->num("frame"), on->num("frame") - 1);
    EXPECT_EQ(box->at("boxtitle"), encoded("New Version Available!"));
    ASSERT_FALSE(r.rows.empty());
    EXPECT_EQ(r.rows.back().at("box"), "ok") << "the Enter that accepted closed the answer";
    EXPECT_TRUE(FileStamp::of(kGame / "ver.dat") == build_ver) << "the build's own ver.dat changed";
}

TEST(VersionCheckE2E, QuickFlightNeitherAsksNorChecks) {
    KV_REQUIRE_GAME();
    HostileServer server("notfound", "quick_flight_server");
    ASSERT_TRUE(server.ok()) << "the scripted server did not come up on 127.0.0.1";
    for (const std::string& ver : {std::string(kOn), std::string("0.1.0\r\n-1\r\n")}) {
        const auto g = game_with(ver);
        const RunResult r = g->play(towards("quick_flight", server.port(), 30, {}, "--fly"));
        ASSERT_EQ(r.status, 0) << r.log();
        ASSERT_EQ(r.rows.size(), 30u);
        EXPECT_EQ(r.count("box", "none"), 30);
        EXPECT_TRUE(check_lines(r.log()).empty()) << r.log();
        EXPECT_EQ(read_file_text(*g / "ver.dat"), ver);
    }
    EXPECT_EQ(server.requests(), "") << "quick flight asked the version server";
}
