// The version exchange: which replies count as a version, and the whole check against a real
// HTTP server and against loopback servers that drip, are closed or cannot be resolved, each
// ending within its deadline; the worker-thread job polled as the menu polls it. (The menu
// tests run the other hostile servers through the whole path.)
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "net/loopback_server.h"
#include "net/socket.h"
#include "net/version_query.h"

using loopback::End;
using loopback::Script;
using loopback::ScriptedServer;
using loopback::now_seconds;

namespace {
std::string ok_reply(const std::string& body) {
    return "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n" + body;
}

NET::VersionLimits quick(double seconds) {
    NET::VersionLimits l;
    l.total_seconds = seconds;
    return l;
}
}  // namespace

// --- Judging a reply ----------------------------------------------------------------------------

TEST(VersionReply, OnlyA200WithHeaderEndAndShortPrintableBodyCounts) {
    auto a = NET::version_parse_reply(ok_reply("0.2.0"));
    EXPECT_TRUE(a.ok);
    EXPECT_EQ(a.version, "0.2.0");
    a = NET::version_parse_reply("HTTP/1.1 200\r\n\r\nv");  // no reason phrase, one byte
    EXPECT_TRUE(a.ok);
    EXPECT_EQ(a.version, "v");
    a = NET::version_parse_reply(ok_reply(std::string(32, '9')));
    EXPECT_TRUE(a.ok);

    struct Bad {
        std::string reply;
        const char* why_part;
    };
    const Bad bad[] = {
        {"", "without a reply"},
        {"HTTP/1.0 404 Not Found\r\n\r\n0.2.0", "404"},
        {"HTTP/1.0 2000 OK\r\n\r\n0.2.0", "instead of 200"},
        {"HTTP/1.0 500 Oops\r\n\r\n", "instead of 200"},
        {"\x01\x02garbage\xff\r\n\r\n0.2.0", "not HTTP"},
        {"0.2.0", "not HTTP"},
        {"HTTP/1.0 200 OK\r\nContent-Length: 5\r\n", "no end of header"},
        {ok_reply(""), "no version text"},
        {ok_reply("\r\n"), "no version text"},
        {ok_reply(std::string(33, '9')), "33 bytes"},
        {ok_reply("0.2\n0"), "unprintable"},
        {ok_reply(std::string("0.2\0", 4)), "unprintable"},
    };
    for (const Bad& b : bad) {
        a = NET::version_parse_reply(b.reply);
        EXPECT_FALSE(a.ok) << b.reply;
        EXPECT_TRUE(a.version.empty());
        EXPECT_NE(a.why.find(b.why_part), std::string::npos) << a.why;
    }
}

TEST(VersionReply, ATrailingLineEndStaysPartOfTheText) {
    const auto a = NET::version_parse_reply(ok_reply("0.1.0\r\n"));
    EXPECT_TRUE(a.ok);
    EXPECT_EQ(a.version, "0.1.0\r\n");  // differs from "0.1.0", so the player is told
}

TEST(VersionServerText, HostAndOptionalPort) {
    std::string host, why;
    int32_t port = 0;
    EXPECT_TRUE(NET::version_parse_server("versions.example.org", host, port, why));
    EXPECT_EQ(host, "versions.example.org");
    EXPECT_EQ(port, 80);
    EXPECT_TRUE(NET::version_parse_server("127.0.0.1:8080", host, port, why));
    EXPECT_EQ(host, "127.0.0.1");
    EXPECT_EQ(port, 8080);
    for (const char* bad : {"", ":80", "host:", "host:0", "host:65536", "host:-1", "host:8x", "a b:80", "a/b"})
        EXPECT_FALSE(NET::version_parse_server(bad, host, port, why)) << bad;
}

// --- The whole check ----------------------------------------------------------------------------

TEST(VersionQuery, RealHttpServerServesTheVersion) {
    loopback::HttpServer http("0.2.0");
    if (!http.ok()) GTEST_SKIP() << "python3 -m http.server did not start";
    const auto a = NET::version_query("127.0.0.1", http.port(), NET::VersionLimits{}, nullptr);
    EXPECT_TRUE(a.ok) << a.why;
    EXPECT_EQ(a.version, "0.2.0");
}

TEST(VersionQuery, RealHttpServerWithoutTheFileIsA404) {
    loopback::HttpServer http("0.2.0");
    if (!http.ok()) GTEST_SKIP() << "python3 -m http.server did not start";
    NET::SOCKET s;
    ASSERT_EQ(s.CLIENT("127.0.0.1", http.port(), 2000), NET::ERR_NONE);
    ASSERT_TRUE(s.PUT_HTTP_REQUEST("127.0.0.1/missing.php", "GET", "", 0));
    const auto a = NET::version_parse_reply(s.GET_UNTIL(""));
    EXPECT_FALSE(a.ok);
    EXPECT_NE(a.why.find("404"), std::string::npos) << a.why;
}

TEST(VersionQuery, ADrippingServerIsCutOffAtTheDeadline) {
    // Each byte arrives long before any per-read wait would expire; only a deadline on the
    // whole check ends it.
    ScriptedServer server(Script{true, "HTTP/1.0 200 OK\r\n\r\n", 30, End::HANG});
    const double t0 = now_seconds();
    const auto a = NET::version_query("127.0.0.1", server.port(), quick(0.8), nullptr);
    EXPECT_FALSE(a.ok);
    EXPECT_NE(a.why.find("within 0.8 s"), std::string::npos) << a.why;
    EXPECT_NEAR(now_seconds() - t0, 0.8, 0.3);
}

TEST(VersionQuery, UnreachableAndUnresolvableServers) {
    auto a = NET::version_query("127.0.0.1", loopback::closed_port(), NET::VersionLimits{}, nullptr);
    EXPECT_FALSE(a.ok);
    EXPECT_NE(a.why.find("Failed connection"), std::string::npos) << a.why;

    NET::set_resolver([](const std::string&, uint32_t&) { return false; });
    const double t0 = now_seconds();
    a = NET::version_query("versions.test", 80, NET::VersionLimits{}, nullptr);
    NET::set_resolver(nullptr);
    EXPECT_LT(now_seconds() - t0, 0.5);
    EXPECT_FALSE(a.ok);
    EXPECT_NE(a.why.find("Failed to resolve host"), std::string::npos) << a.why;
}

// --- The job the menu polls ---------------------------------------------------------------------

TEST(VersionJob, AnswerArrivesThroughPollWithoutBlockingTheCaller) {
    ScriptedServer server(Script{true, ok_reply("1.2.3"), 0, End::CLOSE});
    NET::VersionCheckJob job;
    const double t0 = now_seconds();
    ASSERT_TRUE(job.start("127.0.0.1", server.port()));
    EXPECT_LT(now_seconds() - t0, 0.05);  // starting does not wait for the network
    EXPECT_FALSE(job.start("127.0.0.1", server.port()));  // one at a time
    NET::VersionAnswer a;
    bool answered = false;
    while (!answered && now_seconds() - t0 < 5.0) {
        answered = job.poll(a);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));  // one frame
    }
    ASSERT_TRUE(answered);
    EXPECT_TRUE(a.ok) << a.why;
    EXPECT_EQ(a.version, "1.2.3");
    EXPECT_FALSE(job.running());
    EXPECT_FALSE(job.poll(a));  // answered once only
    EXPECT_EQ(server.connections(), 1);
}

TEST(VersionJob, ALookupThatNeverReturnsIsAbandonedAtTheDeadline) {
    // A resolver that blocks far past the deadline stands for a name server that never answers.
    static std::atomic<bool> release{false};
    release = false;
    NET::set_resolver([](const std::string&, uint32_t&) {
        const double until = now_seconds() + 3.0;
        while (!release.load() && now_seconds() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return false;
    });
    {
        NET::VersionCheckJob job;
        const double t0 = now_seconds();
        ASSERT_TRUE(job.start("slow.test", 80, quick(0.5)));
        NET::VersionAnswer a;
        bool answered = false;
        while (!answered && now_seconds() - t0 < 5.0) {
            answered = job.poll(a);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_TRUE(answered);
        EXPECT_FALSE(a.ok);
        EXPECT_NE(a.why.find("no answer within"), std::string::npos) << a.why;
        EXPECT_LT(now_seconds() - t0, 1.2);
    }
    release = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the detached worker finishes
    NET::set_resolver(nullptr);
}

TEST(VersionJob, AbandoningASilentCheckReturnsAtOnce) {
    ScriptedServer server(Script{true, "", 0, End::HANG});
    NET::VersionCheckJob job;
    ASSERT_TRUE(job.start("127.0.0.1", server.port()));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // connected, waiting for a reply
    const double t0 = now_seconds();
    job.abandon();
    EXPECT_LT(now_seconds() - t0, 0.35);
    EXPECT_FALSE(job.running());
    NET::VersionAnswer a;
    EXPECT_FALSE(job.poll(a));
}
