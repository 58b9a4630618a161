// The socket object against in-process loopback servers: the exact bytes of an HTTP request,
// replies of every size up to far beyond the buffer, a peer that resets or closes, closing while
// a thread blocks, the typed puts and gets between two objects, and name resolution through an
// injected resolver (no real resolver is ever asked).
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "net/loopback_server.h"
#include "net/socket.h"

using loopback::End;
using loopback::Script;
using loopback::ScriptedServer;
using loopback::now_seconds;

namespace {

const char kGetRequest[] =
    "GET /version.php HTTP/1.0\r\n"
    "Host: 127.0.0.1\r\n"
    "Accept: text/html\r\n"
    "User-Agent: quorlix .01. Have a nice day!\r\n"
    "Connection: Close\r\n"
    "\r\n";

std::string pattern(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>('a' + (i * 7 + i / 26) % 26);
    return s;
}

// The send queue's fill, read under its lock as the socket's threads do.
int32_t queued(NET::SOCKET& s) {
    NET::SOCKET_LOCK lock(s.P_SEND_LOCK);
    return s.P_SEND_SIZE - s.P_SEND_CARET;
}

// Connects, sends the version request, reads until the server closes.
std::string fetch(int port, NET::UntilStop* stop = nullptr) {
    NET::SOCKET s;
    EXPECT_EQ(s.CLIENT("127.0.0.1", port, 2000), NET::ERR_NONE);
    EXPECT_TRUE(s.PUT_HTTP_REQUEST("127.0.0.1/version.php", "GET", "", 0));
    NET::UntilLimits limits;
    limits.deadline = now_seconds() + 10.0;
    return s.GET_UNTIL("", limits, stop);
}

}  // namespace

// --- Requests: the bytes on the wire ------------------------------------------------------------

TEST(SocketRequest, GetRequestBytesAreExact) {
    ScriptedServer server(Script{true, "", 0, End::CLOSE});
    fetch(server.port());
    EXPECT_EQ(server.received(), kGetRequest);
}

TEST(SocketRequest, MethodCaseAndUrlForms) {
    {
        // Lower-case method is accepted and sent as given; "http://" and the path are split off.
        ScriptedServer server(Script{true, "", 0, End::CLOSE});
        NET::SOCKET s;
        ASSERT_EQ(s.CLIENT("127.0.0.1", server.port(), 2000), NET::ERR_NONE);
        ASSERT_TRUE(s.PUT_HTTP_REQUEST("http://example.test/a/b.php", "get", "", 0));
        const std::string got = server.wait_received(40, 5.0);
        EXPECT_EQ(got.substr(0, got.find("\r\n\r\n") + 4),
                  "get /a/b.php HTTP/1.0\r\nHost: example.test\r\nAccept: text/html\r\n"
                  "User-Agent: quorlix .01. Have a nice day!\r\nConnection: Close\r\n\r\n");
    }
    {
        // A POST carries its form data after the header; keep_url keeps the whole url as path.
        ScriptedServer server(Script{true, "", 0, End::CLOSE});
        NET::SOCKET s;
        ASSERT_EQ(s.CLIENT("127.0.0.1", server.port(), 2000), NET::ERR_NONE);
        ASSERT_TRUE(s.PUT_HTTP_REQUEST("host.test/form", "POST", "a=1&b=2", 1));
        const std::string expected =
            "POST host.test/form/ HTTP/1.0\r\nHost: host.test\r\nAccept: text/html\r\n"
            "User-Agent: quorlix .01. Have a nice day!\r\nConnection: Close\r\n"
            "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: 7\r\n\r\na=1&b=2\r\n";
        EXPECT_EQ(server.wait_received(expected.size(), 5.0), expected);
    }
}

TEST(SocketRequest, OtherMethodsAndClosedSocketsQueueNothing) {
    ScriptedServer server(Script{false, "", 0, End::HANG});
    {
        NET::SOCKET s;
        ASSERT_EQ(s.CLIENT("127.0.0.1", server.port(), 2000), NET::ERR_NONE);
        EXPECT_FALSE(s.PUT_HTTP_REQUEST("127.0.0.1/version.php", "PUT", "", 0));
        EXPECT_FALSE(s.PUT_HTTP_REQUEST("127.0.0.1/version.php", "", "", 0));
        EXPECT_TRUE(s.PUT_LINE("marker"));
    }
    EXPECT_EQ(server.wait_received(8, 5.0), "marker\r\n");
    NET::SOCKET closed;
    EXPECT_FALSE(closed.PUT_HTTP_REQUEST("127.0.0.1/version.php", "GET", "", 0));
    int32_t n = 4;
    const int32_t v[4] = {1, 2, 3, 4};
    EXPECT_FALSE(closed.PUT(v, n, -1));
    EXPECT_EQ(n, 0);
}

// --- Replies: sizes and endings -----------------------------------------------------------------

TEST(SocketReply, EmptyFewAndLargeRepliesArriveWhole) {
    for (size_t size : {size_t{0}, size_t{3}, size_t{8191}, size_t{8192}, size_t{8193}, size_t{100000}}) {
        const std::string body = pattern(size);
        ScriptedServer server(Script{true, body, 0, End::CLOSE});
        NET::UntilStop stop = NET::UntilStop::FOUND;
        const std::string got = fetch(server.port(), &stop);
        EXPECT_EQ(stop, NET::UntilStop::CLOSED) << size;
        EXPECT_EQ(got.size(), size);
        EXPECT_TRUE(got == body) << "reply of " << size << " bytes differs";
    }
}

TEST(SocketReply, DelimitedReadsLeaveTheRestUnread) {
    ScriptedServer server(Script{false, "first\r\nsecond\r\nrest", 0, End::CLOSE});
    NET::SOCKET s;
    ASSERT_EQ(s.CLIENT("127.0.0.1", server.port(), 2000), NET::ERR_NONE);
    EXPECT_EQ(s.GET_LINE(), "first");
    EXPECT_EQ(s.GET_UNTIL("\r\n"), "second\r\n");
    EXPECT_EQ(s.GET_UNTIL("never"), "rest");  // the peer closed: what is left
    EXPECT_TRUE(s.IS_CLOSED());
    EXPECT_EQ(s.LENGTH(), 0);
}

TEST(SocketReply, ResetAndSilentCloseEndTheReadAndTheConnection) {
    {
        ScriptedServer server(Script{true, "partial", 0, End::RESET});
        NET::UntilStop stop = NET::UntilStop::FOUND;
        const std::string got = fetch(server.port(), &stop);
        EXPECT_EQ(stop, NET::UntilStop::CLOSED);
        EXPECT_LE(got.size(), 7u);
        EXPECT_EQ(got, std::string("partial").substr(0, got.size()));
    }
    {
        ScriptedServer server(Script{true, "", 0, End::CLOSE});
        NET::SOCKET s;
        ASSERT_EQ(s.CLIENT("127.0.0.1", server.port(), 2000), NET::ERR_NONE);
        ASSERT_TRUE(s.PUT_HTTP_REQUEST("127.0.0.1/version.php", "GET", "", 0));
        EXPECT_EQ(s.GET_UNTIL(""), "");
        EXPECT_TRUE(s.IS_CLOSED());
    }
}

TEST(SocketReply, WritingToAResetPeerNeitherKillsNorHangs) {
    // Without MSG_NOSIGNAL the second send into a reset connection raises SIGPIPE and ends
    // this test program.
    ScriptedServer server(Script{true, "", 0, End::RESET});
    NET::SOCKET s;
    ASSERT_EQ(s.CLIENT("127.0.0.1", server.port(), 2000), NET::ERR_NONE);
    EXPECT_TRUE(s.PUT_LINE("hello\r\n"));  // the server resets once it has read a header end
    const std::string block(4000, 'x');
    const double until = now_seconds() + 5.0;
    while (!s.IS_CLOSED() && now_seconds() < until) {
        s.PUT_DATA(block.data(), static_cast<int32_t>(block.size()));
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_TRUE(s.IS_CLOSED());
    const double t0 = now_seconds();
    EXPECT_EQ(s.CLOSE(), 0);
    EXPECT_LT(now_seconds() - t0, 0.5);
}

TEST(SocketReply, DeadlineCapAndCancelEndAnEndlessReply) {
    {
        ScriptedServer server(Script{true, "HTTP/1.0 200 OK\r\n", 20, End::HANG});
        NET::SOCKET s;
        ASSERT_EQ(s.CLIENT("127.0.0.1", server.port(), 2000), NET::ERR_NONE);
        ASSERT_TRUE(s.PUT_HTTP_REQUEST("127.0.0.1/version.php", "GET", "", 0));
        NET::UntilLimits limits;
        limits.deadline = now_seconds() + 0.4;
        NET::UntilStop stop = NET::UntilStop::FOUND;
        const double t0 = now_seconds();
        const std::string got = s.GET_UNTIL("", limits, &stop);
        EXPECT_EQ(stop, NET::UntilStop::DEADLINE);
        EXPECT_NEAR(now_seconds() - t0, 0.4, 0.3);
        EXPECT_EQ(got.compare(0, 17, "HTTP/1.0 200 OK\r\n"), 0);
    }
    {
        ScriptedServer server(Script{true, pattern(1 << 20), 0, End::HANG});
        NET::SOCKET s;
        ASSERT_EQ(s.CLIENT("127.0.0.1", server.port(), 2000), NET::ERR_NONE);
        ASSERT_TRUE(s.PUT_HTTP_REQUEST("127.0.0.1/version.php", "GET", "", 0));
        NET::UntilLimits limits;
        limits.deadline = now_seconds() + 5.0;
        limits.max_bytes = 4096;
        NET::UntilStop stop = NET::UntilStop::FOUND;
        const std::string got = s.GET_UNTIL("", limits, &stop);
        EXPECT_EQ(stop, NET::UntilStop::TOO_LONG);
        EXPECT_EQ(got.size(), 4097u);
    }
    {
        ScriptedServer server(Script{false, "", 0, End::HANG});
        NET::SOCKET s;
        ASSERT_EQ(s.CLIENT("127.0.0.1", server.port(), 2000), NET::ERR_NONE);
        std::atomic<bool> cancel{false};
        NET::UntilLimits limits;
        limits.cancel = &cancel;
        std::thread canceller([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            cancel.store(true);
        });
        NET::UntilStop stop = NET::UntilStop::FOUND;
        s.GET_UNTIL("", limits, &stop);
        canceller.join();
        EXPECT_EQ(stop, NET::UntilStop::CANCELLED);
    }
}

// --- Closing ------------------------------------------------------------------------------------

TEST(SocketClose, CloseWakesAReadBlockedOnASilentPeer) {
    ScriptedServer server(Script{false, "", 0, End::HANG});
    NET::SOCKET s;
    ASSERT_EQ(s.CLIENT("127.0.0.1", server.port(), 2000), NET::ERR_NONE);
    std::atomic<bool> returned{false};
    std::thread reader([&] {
        s.GET_UNTIL("");
        returned.store(true);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(returned.load());  // the peer is silent: the read waits
    const double t0 = now_seconds();
    EXPECT_EQ(s.CLOSE(), 0);
    reader.join();
    EXPECT_TRUE(returned.load());
    EXPECT_LT(now_seconds() - t0, 0.5);
    EXPECT_TRUE(s.IS_CLOSED());
}

TEST(SocketClose, DestroyingAConnectedObjectReturnsPromptly) {
    ScriptedServer server(Script{false, "", 0, End::HANG});
    const double t0 = now_seconds();
    {
        NET::SOCKET s;
        ASSERT_EQ(s.CLIENT("127.0.0.1", server.port(), 2000), NET::ERR_NONE);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));  // receive thread now blocks
    }
    EXPECT_LT(now_seconds() - t0, 0.5);
}

TEST(SocketClose, AQueueThatCannotDrainIsDropped) {
    NET::SOCKET s;  // never connected
    const std::string line(100, 'q');
    EXPECT_EQ(s.PUT_DATA(line.data(), 100), 100);  // the raw put does not look at the connection
    const double t0 = now_seconds();
    EXPECT_EQ(s.CLOSE(), 0);
    EXPECT_LT(now_seconds() - t0, 0.2);
    EXPECT_EQ(queued(s), 0);
}

TEST(SocketClose, APeerThatStopsReadingCannotHoldCloseBack) {
    ScriptedServer server(Script{false, "", 0, End::STALL});
    NET::SOCKET s;
    ASSERT_EQ(s.CLIENT("127.0.0.1", server.port(), 2000), NET::ERR_NONE);
    // Fill the system's buffers until the queue stops draining.
    const std::string block(4096, 'z');
    const double until = now_seconds() + 10.0;
    auto queue = [&] {
        std::lock_guard<std::mutex> lock(s.P_SEND_LOCK);
        return std::make_pair(s.P_SEND_CARET, s.P_SEND_SIZE);
    };
    bool stuck = false;
    auto last = queue();
    double last_move = now_seconds();
    while (!stuck && now_seconds() < until) {
        s.PUT_DATA(block.data(), static_cast<int32_t>(block.size()));
        const auto now_queue = queue();
        if (now_queue != last) {
            last = now_queue;
            last_move = now_seconds();
        }
        stuck = now_seconds() - last_move > 0.3 && last.second > last.first;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    ASSERT_TRUE(stuck) << "the peer kept reading";
    const double t0 = now_seconds();
    s.CLOSE();
    const double took = now_seconds() - t0;
    EXPECT_GE(took, NET::SOCKET::CLOSE_LINGER_MS / 1000.0 - 0.05);  // it gave the queue a chance
    EXPECT_LT(took, NET::SOCKET::CLOSE_LINGER_MS / 1000.0 + 0.5);
    EXPECT_TRUE(s.IS_CLOSED());
    EXPECT_EQ(queued(s), 0);  // what could not leave was dropped
}

// --- Connecting ---------------------------------------------------------------------------------

namespace {
std::atomic<int> g_resolver_calls{0};
std::string g_resolver_last;
bool failing_resolver(const std::string& host, uint32_t&) {
    g_resolver_calls.fetch_add(1);
    g_resolver_last = host;
    return false;
}
bool loopback_resolver(const std::string& host, uint32_t& address) {
    g_resolver_calls.fetch_add(1);
    g_resolver_last = host;
    address = htonl(INADDR_LOOPBACK);
    return true;
}
struct ResolverGuard {
    explicit ResolverGuard(NET::Resolver r) { NET::set_resolver(r); }
    ~ResolverGuard() { NET::set_resolver(nullptr); }
};
}  // namespace

TEST(SocketConnect, UnresolvableHostFailsWithoutASocket) {
    ResolverGuard guard(failing_resolver);
    g_resolver_calls = 0;
    NET::SOCKET s;
    EXPECT_EQ(s.CLIENT("http://nowhere.test/version.php", 80, 1000), NET::ERR_RESOLVE);
    EXPECT_EQ(g_resolver_calls.load(), 1);
    EXPECT_EQ(g_resolver_last, "nowhere.test");  // scheme and path are not part of the name
    EXPECT_TRUE(s.IS_CLOSED());
    EXPECT_EQ(NET::TRANSLATE_ERROR(NET::ERR_RESOLVE), "Failed to resolve host");
    EXPECT_EQ(NET::RESOLVE("nowhere.test"), -1);
}

TEST(SocketConnect, DottedAddressesNeedNoResolverAndNamesUseIt) {
    ScriptedServer server(Script{false, "hi", 0, End::CLOSE});
    {
        ResolverGuard guard(failing_resolver);
        g_resolver_calls = 0;
        NET::SOCKET s;
        EXPECT_EQ(s.CLIENT("127.0.0.1", server.port(), 1000), NET::ERR_NONE);
        EXPECT_EQ(g_resolver_calls.load(), 0);
        EXPECT_EQ(NET::socket_info_text(s.CONNECTION_INFO()),
                  "{address: 127.0.0.1, port: " + std::to_string(server.port()) + "}");
        EXPECT_EQ(s.GET_UNTIL(""), "hi");
    }
    {
        ResolverGuard guard(loopback_resolver);
        NET::SOCKET s;
        EXPECT_EQ(s.CLIENT("versions.test", server.port(), 1000), NET::ERR_NONE);
        EXPECT_EQ(g_resolver_last, "versions.test");
        EXPECT_EQ(s.GET_UNTIL(""), "hi");
    }
}

TEST(SocketConnect, ClosedPortFailsAtOnceAndACancelledConnectGivesUp) {
    NET::SOCKET s;
    const double t0 = now_seconds();
    EXPECT_EQ(s.CLIENT("127.0.0.1", loopback::closed_port(), 3000), NET::ERR_CONNECT);
    EXPECT_LT(now_seconds() - t0, 1.0);
    EXPECT_TRUE(s.IS_CLOSED());
    EXPECT_EQ(s.CLIENT("127.0.0.1", 70000, 100), NET::ERR_CONNECT);  // no such port
    std::atomic<bool> cancel{true};
    EXPECT_EQ(s.CLIENT("127.0.0.1", loopback::closed_port(), 3000, &cancel), NET::ERR_CONNECT);
}

// --- Server side and typed transfers ------------------------------------------------------------

TEST(SocketServer, ListenAcceptsAndTypedValuesCrossIntact) {
    NET::SOCKET server;
    ASSERT_EQ(server.SERVER(0, 4), NET::ERR_NONE);
    const int port = NET::socket_info_port(server.CONNECTION_INFO());
    ASSERT_GT(port, 0);
    EXPECT_FALSE(server.IS_CLOSED());
    EXPECT_FALSE(server.LISTEN(0.05));  // nobody calls yet

    NET::SOCKET client;
    ASSERT_EQ(client.CLIENT("127.0.0.1", port, 2000), NET::ERR_NONE);
    NET::SOCKET accepted;
    ASSERT_TRUE(accepted.LISTEN_TO_NEW(server, 2.0));

    const int32_t ints[3] = {-7, 0, 123456789};
    const int16_t shorts[2] = {-2, 30000};
    const double reals[2] = {3.5, -1e300};
    int32_t n = 3;
    EXPECT_TRUE(client.PUT(ints, n, 0));
    EXPECT_EQ(n, 3);
    n = 2;
    EXPECT_TRUE(client.PUT(shorts, n, 0));
    n = 2;
    EXPECT_TRUE(client.PUT(reals, n, 0));
    int32_t text_n = 5;
    EXPECT_TRUE(client.PUT(std::string("hello"), text_n, 0));

    int32_t got_ints[3] = {};
    n = 3;
    EXPECT_TRUE(accepted.GET(got_ints, n, 2000, true));  // peek leaves them
    EXPECT_EQ(accepted.LENGTH() >= 12, true);
    n = 3;
    EXPECT_TRUE(accepted.GET(got_ints, n, 2000, false));
    EXPECT_EQ(got_ints[0], -7);
    EXPECT_EQ(got_ints[2], 123456789);
    int16_t got_shorts[2] = {};
    n = 2;
    EXPECT_TRUE(accepted.GET(got_shorts, n, 2000, false));
    EXPECT_EQ(got_shorts[1], 30000);
    double got_reals[2] = {};
    n = 2;
    EXPECT_TRUE(accepted.GET(got_reals, n, 2000, false));
    EXPECT_EQ(got_reals[1], -1e300);
    std::string text;
    text_n = 5;
    EXPECT_TRUE(accepted.GET(text, text_n, 2000, false));
    EXPECT_EQ(text, "hello");

    // A count whose bytes overflow is refused, not wrapped.
    n = INT32_MAX / 4 + 1;
    EXPECT_FALSE(client.PUT(ints, n, -1));
    EXPECT_EQ(n, 0);

    // Nothing more comes: a one-shot get reports none, a timed one gives up on time.
    uint8_t byte = 0;
    n = 1;
    EXPECT_FALSE(accepted.GET(&byte, n, -1, false));
    EXPECT_EQ(n, 0);
    const double t0 = now_seconds();
    n = 1;
    EXPECT_FALSE(accepted.GET(&byte, n, 100, false));
    EXPECT_NEAR(now_seconds() - t0, 0.1, 0.15);

    client.CLOSE();
    n = 1;
    EXPECT_FALSE(accepted.GET(&byte, n, 0, false));  // ends when the peer has gone
    EXPECT_EQ(server.CLOSE(), 0);
    EXPECT_TRUE(server.IS_CLOSED());
}

TEST(SocketServer, IrcLoginLinesAndDataDumping) {
    NET::SOCKET server;
    ASSERT_EQ(server.SERVER(0, 1), NET::ERR_NONE);
    NET::SOCKET client;
    ASSERT_EQ(client.CLIENT("127.0.0.1", NET::socket_info_port(server.CONNECTION_INFO()), 2000),
              NET::ERR_NONE);
    ASSERT_TRUE(server.LISTEN(2.0));
    EXPECT_TRUE(client.PUT_IRC_AUTH("nick", "user", ""));
    EXPECT_TRUE(client.PUT_IRC_AUTH("n2", "u2", "secret"));
    EXPECT_EQ(server.GET_LINE(), "USER user * * *");
    EXPECT_EQ(server.GET_LINE(), "NICK nick");
    EXPECT_EQ(server.GET_LINE(), "PASS secret");
    const std::string rest = "USER u2 * * *\r\nNICK n2\r\n";
    const double until = now_seconds() + 2.0;
    while (server.LENGTH() < static_cast<int32_t>(rest.size()) && now_seconds() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    EXPECT_FALSE(server.DUMP_DATA(static_cast<int32_t>(rest.size()) + 1));
    EXPECT_TRUE(server.DUMP_DATA(15));
    EXPECT_EQ(server.GET_LINE(), "NICK n2");
}

TEST(SocketServer, SendLimitCutsWhatOneWindowTakes) {
    NET::SOCKET s;
    s.SEND_LIMIT(1.0);  // 1024 bytes per second
    EXPECT_DOUBLE_EQ(s.SEND_LIMIT(), 1.0);
    s.RECV_LIMIT(0.5);
    EXPECT_DOUBLE_EQ(s.RECV_LIMIT(), 0.5);
    const std::string block(600, 'x');
    EXPECT_EQ(s.PUT_DATA(block.data(), 600), 600);
    EXPECT_EQ(s.PUT_DATA(block.data(), 600), 424);  // cut to what the window has left
    EXPECT_EQ(s.PUT_DATA(block.data(), 10), 0);     // nothing left in this window
    EXPECT_EQ(queued(s), 1024);
    s.SEND_LIMIT(0.0);
    EXPECT_EQ(s.PUT_DATA(block.data(), 600), 600);  // no limit: only the queue size counts
    const std::string big(NET::SOCKET_BUFFER_BYTES, 'y');
    EXPECT_EQ(s.PUT_DATA(big.data(), static_cast<int32_t>(big.size())), 0);  // does not fit
}
