// The exchange with the version server: one HTTP/1.0 GET of "/version.php" through NET::SOCKET,
// bounded in time and size, and the judgement of the reply. The answer is plain text (the
// version, or why there is none); what the game does with it is the menu's business.
//
// A check runs on a worker thread (VersionCheckJob) so the caller's frames never wait on the
// network: the caller polls once a frame, and a check that has not answered within its
// deadline is given up and reported as such.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

namespace NET {

inline constexpr double VERSION_CHECK_SECONDS = 5.0;      // the whole check, real time
inline constexpr int32_t VERSION_CONNECT_MS = 3000;       // the connect alone
inline constexpr std::size_t VERSION_REPLY_MAX_BYTES = 4096;
inline constexpr std::size_t VERSION_TEXT_MAX_BYTES = 32;

struct VersionAnswer {
    bool ok = false;
    std::string version;  // the reply body when ok
    std::string why;      // one line saying why there is no version when not ok
};

struct VersionLimits {
    double total_seconds = VERSION_CHECK_SECONDS;
    int32_t connect_ms = VERSION_CONNECT_MS;
    std::size_t reply_max_bytes = VERSION_REPLY_MAX_BYTES;
};

// Judges a whole reply: only a "200" status line, a header end (CR LF CR LF) and a body of 1 to
// 32 bytes, all printable except that one trailing CR LF is kept as part of the text.
VersionAnswer version_parse_reply(const std::string& reply);

// One blocking check against host:port. Ends within limits.total_seconds (name resolution
// through the installed resolver aside), or soon after cancel is set.
VersionAnswer version_query(const std::string& host, int32_t port, const VersionLimits& limits,
                            const std::atomic<bool>* cancel);

// "HOST" or "HOST:PORT" (port 1-65535, default 80). False with a reason otherwise.
bool version_parse_server(const std::string& text, std::string& host, int32_t& port, std::string& why);

// A check on its own thread.
class VersionCheckJob {
public:
    VersionCheckJob() = default;
    ~VersionCheckJob();
    VersionCheckJob(const VersionCheckJob&) = delete;
    VersionCheckJob& operator=(const VersionCheckJob&) = delete;

    // Starts a check unless one is running (false then).
    bool start(const std::string& host, int32_t port, const VersionLimits& limits = VersionLimits{});
    bool running() const { return state_ != nullptr; }
    // True once, when the check has ended: out holds the answer. A check still running past its
    // deadline (a name lookup that will not return) is abandoned and answered as timed out.
    bool poll(VersionAnswer& out);
    // Gives up a running check without waiting for it beyond a short moment.
    void abandon();

private:
    struct State {
        std::atomic<bool> done{false};
        std::atomic<bool> cancel{false};
        VersionAnswer answer;  // written by the worker before done, read by the owner after
    };
    void let_go();

    std::shared_ptr<State> state_;
    std::thread worker_;
    double deadline_ = 0.0;
    double total_seconds_ = VERSION_CHECK_SECONDS;
};

}  // namespace NET
