// Servers the network tests talk to, all on 127.0.0.1 and a free port chosen by the system:
// an in-process scripted TCP server (what it sends, how it ends: close, reset, hang, drip) that
// records what it received, and a real HTTP server (python3 -m http.server) serving a
// directory. Plain POSIX calls, so the tests do not depend on the socket code they check.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace loopback {

inline double now_seconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// How a scripted connection ends after the reply is sent: close, reset, keep it open reading
// what comes, or keep it open without reading anything more.
enum class End { CLOSE, RESET, HANG, STALL };

struct Script {
    bool read_request = true;   // wait for a blank line (CR LF CR LF) before replying
    std::string reply;          // bytes sent at once
    int drip_ms = 0;            // > 0: after the reply, one more byte "9" every drip_ms, forever
    End end = End::CLOSE;
};

class ScriptedServer {
public:
    explicit ScriptedServer(Script script) : script_(std::move(script)) {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = 0;
        bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(listener_, 8);
        socklen_t len = sizeof a;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { run(); });
    }
    ~ScriptedServer() {
        stop_.store(true);
        thread_.join();
        close(listener_);
    }
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    int port() const { return port_; }
    std::string received() {
        std::lock_guard<std::mutex> lock(lock_);
        return received_;
    }
    int connections() const { return connections_.load(); }
    // Waits until the server has seen at least `bytes` bytes or `seconds` have passed.
    std::string wait_received(size_t bytes, double seconds) {
        const double until = now_seconds() + seconds;
        while (received().size() < bytes && now_seconds() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return received();
    }

private:
    bool stopped() const { return stop_.load(); }

    void run() {
        while (!stopped()) {
            pollfd p{listener_, POLLIN, 0};
            if (poll(&p, 1, 10) <= 0) continue;
            const int fd = accept(listener_, nullptr, nullptr);
            if (fd < 0) continue;
            connections_.fetch_add(1);
            serve(fd);
        }
    }

    void take(int fd, int wait_ms) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, wait_ms) <= 0) return;
        char buf[4096];
        const ssize_t n = recv(fd, buf, sizeof buf, MSG_DONTWAIT);
        if (n > 0) {
            std::lock_guard<std::mutex> lock(lock_);
            received_.append(buf, static_cast<size_t>(n));
        }
    }

    void serve(int fd) {
        if (script_.read_request) {
            const double until = now_seconds() + 5.0;
            while (!stopped() && now_seconds() < until && received().find("\r\n\r\n") == std::string::npos)
                take(fd, 10);
        }
        size_t sent = 0;
        while (sent < script_.reply.size() && !stopped()) {
            const ssize_t n = send(fd, script_.reply.data() + sent, script_.reply.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) break;
            sent += static_cast<size_t>(n);
        }
        if (script_.drip_ms > 0) {
            while (!stopped() && send(fd, "9", 1, MSG_NOSIGNAL) == 1)
                std::this_thread::sleep_for(std::chrono::milliseconds(script_.drip_ms));
        }
        if (script_.end == End::HANG) {
            while (!stopped()) take(fd, 10);
        } else if (script_.end == End::STALL) {
            while (!stopped()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        } else if (script_.end == End::RESET) {
            linger l{1, 0};
            setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
        }
        close(fd);
    }

    Script script_;
    int listener_ = -1;
    int port_ = 0;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<int> connections_{0};
    std::mutex lock_;
    std::string received_;
};

// A port that was free a moment ago and now has nobody listening on it.
inline int closed_port() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    close(fd);
    return ntohs(a.sin_port);
}

inline bool can_connect(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<uint16_t>(port));
    const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    close(fd);
    return ok;
}

// python3 -m http.server bound to 127.0.0.1 on a free port, serving a private directory that
// holds version.php with the given bytes. ok() is false when python3 is missing or does not
// come up within 10 s.
class HttpServer {
public:
    explicit HttpServer(const std::string& version_php) {
        namespace fs = std::filesystem;
        std::string tmpl = (fs::temp_directory_path() / "kv_http_XXXXXX").string();
        std::vector<char> buf(tmpl.begin(), tmpl.end());
        buf.push_back('\0');
        if (!mkdtemp(buf.data())) return;
        dir_ = buf.data();
        std::ofstream(dir_ + "/version.php", std::ios::binary) << version_php;
        for (int attempt = 0; attempt < 3 && !ok_; ++attempt) {
            port_ = closed_port();
            const std::string port_text = std::to_string(port_);
            posix_spawn_file_actions_t quiet;
            posix_spawn_file_actions_init(&quiet);
            posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
            posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
            std::string a0 = "python3", a1 = "-m", a2 = "http.server", a4 = "--bind", a5 = "127.0.0.1",
                        a6 = "--directory";
            std::string port_arg = port_text, dir_arg = dir_;
            char* argv[] = {a0.data(), a1.data(), a2.data(), port_arg.data(), a4.data(), a5.data(),
                            a6.data(), dir_arg.data(), nullptr};
            if (posix_spawnp(&pid_, "python3", &quiet, nullptr, argv, environ) != 0) pid_ = -1;
            posix_spawn_file_actions_destroy(&quiet);
            if (pid_ <= 0) return;
            const double until = now_seconds() + 10.0;
            while (now_seconds() < until && !ok_) {
                int status = 0;
                if (waitpid(pid_, &status, WNOHANG) == pid_) {
                    pid_ = -1;
                    break;
                }
                ok_ = can_connect(port_);
                if (!ok_) std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        }
    }
    ~HttpServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        std::error_code ec;
        if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
    }
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    bool ok() const { return ok_; }
    int port() const { return port_; }

private:
    std::string dir_;
    int port_ = 0;
    pid_t pid_ = -1;
    bool ok_ = false;
};

}  // namespace loopback
