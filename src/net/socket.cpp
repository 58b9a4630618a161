// NET::SOCKET and the address helpers (see socket.h).
#include "net/socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>

namespace NET {

namespace {

std::atomic<Resolver> g_resolver{nullptr};

bool system_resolve(const std::string& host, uint32_t& address) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return false;
    bool ok = false;
    for (addrinfo* a = found; a; a = a->ai_next) {
        if (a->ai_family == AF_INET && a->ai_addrlen >= sizeof(sockaddr_in)) {
            address = reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr.s_addr;
            ok = true;
            break;
        }
    }
    freeaddrinfo(found);
    return ok;
}

void sleep_1ms() { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }

bool starts_with(const std::string& s, const char* prefix) {
    return s.compare(0, std::strlen(prefix), prefix) == 0;
}

std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// Whole milliseconds from now until a monotonic deadline, at least 0.
int ms_until(double deadline) {
    double left = (deadline - monotonic_seconds()) * 1000.0;
    return left <= 0 ? 0 : static_cast<int>(std::ceil(left));
}

// A time limit for the typed puts and gets: -1 one attempt, 0 none, > 0 milliseconds.
struct Patience {
    explicit Patience(int32_t time_ms) : ms(time_ms), until(monotonic_seconds() + time_ms / 1000.0) {}
    // True when another attempt may follow (after a 1 ms sleep).
    bool again() const { return ms == 0 || (ms > 0 && monotonic_seconds() < until); }
    int32_t ms;
    double until;
};
}  // namespace

std::string TRANSLATE_ERROR(int32_t code) {
    switch (code) {
        case ERR_NONE: return "No error";
        case ERR_INIT: return "Failed initialization";
        case ERR_RESOLVE: return "Failed to resolve host";
        case ERR_CONNECT: return "Failed connection";
        case ERR_REUSE: return "Failed to reuse socket";
        case ERR_BIND: return "Failed to bind socket";
        case ERR_LISTEN: return "Failed listening";
        default: return "Unknown error " + std::to_string(code);
    }
}

std::string socket_info_text(const SOCKET_INFO& info) {
    char dotted[INET_ADDRSTRLEN] = "0.0.0.0";
    inet_ntop(AF_INET, &info.ADDR.sin_addr, dotted, sizeof dotted);
    return std::string("{address: ") + dotted + ", port: " + std::to_string(socket_info_port(info)) + "}";
}

int32_t socket_info_port(const SOCKET_INFO& info) { return ntohs(info.ADDR.sin_port); }

double monotonic_seconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void set_resolver(Resolver resolver) { g_resolver.store(resolver); }
Resolver current_resolver() {
    Resolver r = g_resolver.load();
    return r ? r : system_resolve;
}

int64_t RESOLVE(const std::string& host) {
    in_addr dotted{};
    if (inet_pton(AF_INET, host.c_str(), &dotted) == 1) return dotted.s_addr;
    std::string name = host;
    if (starts_with(name, "http://")) name.erase(0, 7);
    const size_t slash = name.find('/');
    if (slash != std::string::npos) name.erase(slash);
    if (name.empty()) return -1;
    if (inet_pton(AF_INET, name.c_str(), &dotted) == 1) return dotted.s_addr;
    uint32_t address = 0;
    if (!current_resolver()(name, address)) return -1;
    return address;
}

SOCKET_INFO NEW_SOCKADDR(uint32_t address, int32_t port) {
    SOCKET_INFO info;
    info.ADDR.sin_family = AF_INET;
    info.ADDR.sin_port = htons(static_cast<uint16_t>(port));
    info.ADDR.sin_addr.s_addr = address;
    return info;
}

bool NEW_SOCKADDR(const std::string& host, int32_t port, SOCKET_INFO& out) {
    const int64_t address = RESOLVE(host);
    if (address < 0) return false;
    out = NEW_SOCKADDR(static_cast<uint32_t>(address), port);
    return true;
}

bool IS_READABLE(int handle) {
    if (handle < 0) return false;
    pollfd p{handle, POLLIN, 0};
    return poll(&p, 1, 0) > 0 && (p.revents & (POLLIN | POLLHUP | POLLERR));
}

// ---------------------------------------------------------------------------------------------
// Construction, the two threads and closing.

SOCKET::SOCKET() {
    const double now = monotonic_seconds();
    P_SEND_TIMER = P_SEND_DISP_TIMER = P_RECV_TIMER = P_RECV_DISP_TIMER = now;
    P_RECV_THREAD = std::thread(&SOCKET::RECV_PROC, this);
    P_SEND_THREAD = std::thread(&SOCKET::SEND_PROC, this);
}

SOCKET::~SOCKET() {
    CLOSE();
    P_DEAD.store(-1);
    if (P_RECV_THREAD.joinable()) P_RECV_THREAD.join();
    if (P_SEND_THREAD.joinable()) P_SEND_THREAD.join();
}

void SOCKET::RECV_PROC() {
    while (P_DEAD.load() == 0) {
        sleep_1ms();
        {
            SOCKET_LOCK lock(P_RECV_LOCK);
            rate_sample(P_RECV_LIMIT, P_RECV_ACCUM, P_RECV_DISP_TIMER, P_RECV_RATE);
        }
        recv_busy_.store(true);
        const int fd = P_SOCKET.load();
        if (fd < 0) {
            recv_busy_.store(false);
            continue;
        }
        int32_t at = 0, space = 0;
        {
            SOCKET_LOCK lock(P_RECV_LOCK);
            if (P_RECV_SIZE == P_RECV_CARET && P_RECV_SIZE > 0) P_RECV_SIZE = P_RECV_CARET = 0;
            at = P_RECV_SIZE;
            space = SOCKET_BUFFER_BYTES - P_RECV_SIZE;
        }
        if (space <= 0) {  // the owner has not read yet: nothing can be taken in
            recv_busy_.store(false);
            continue;
        }
        // Only this thread writes past P_RECV_SIZE, so the bytes land outside the lock.
        const ssize_t got = recv(fd, P_RECV_DATA + at, static_cast<size_t>(space), 0);
        if (got < 1) {
            if (got < 0 && (errno == EINTR || errno == EAGAIN)) {
                recv_busy_.store(false);
                continue;
            }
            close_connection(&recv_busy_);
            continue;
        }
        recv_busy_.store(false);
        SOCKET_LOCK lock(P_RECV_LOCK);
        P_RECV_SIZE += static_cast<int32_t>(got);
        if (P_RECV_SIZE >= SOCKET_BUFFER_BYTES / 2 && P_RECV_CARET > 0) {
            std::memmove(P_RECV_DATA, P_RECV_DATA + P_RECV_CARET,
                         static_cast<size_t>(P_RECV_SIZE - P_RECV_CARET));
            P_RECV_SIZE -= P_RECV_CARET;
            P_RECV_CARET = 0;
        }
    }
}

void SOCKET::SEND_PROC() {
    while (P_DEAD.load() == 0) {
        sleep_1ms();
        int32_t from = 0, bytes = 0;
        {
            SOCKET_LOCK lock(P_SEND_LOCK);
            rate_sample(P_SEND_LIMIT, P_SEND_ACCUM, P_SEND_DISP_TIMER, P_SEND_RATE);
            from = P_SEND_CARET;
            bytes = P_SEND_SIZE - P_SEND_CARET;
        }
        if (bytes <= 0) continue;
        send_busy_.store(true);
        const int fd = P_SOCKET.load();
        if (fd < 0) {
            send_busy_.store(false);
            continue;
        }
        // The owner only appends past P_SEND_SIZE, so these bytes are stable outside the lock.
        const ssize_t sent = send(fd, P_SEND_DATA + from, static_cast<size_t>(bytes), MSG_NOSIGNAL);
        if (sent < 1) {
            if (sent < 0 && (errno == EINTR || errno == EAGAIN)) {
                send_busy_.store(false);
                continue;
            }
            {
                SOCKET_LOCK lock(P_SEND_LOCK);
                P_SEND_CARET = P_SEND_SIZE = 0;
            }
            close_connection(&send_busy_);
            continue;
        }
        send_busy_.store(false);
        SOCKET_LOCK lock(P_SEND_LOCK);
        P_SEND_CARET += static_cast<int32_t>(sent);
        if (P_SEND_CARET >= P_SEND_SIZE) P_SEND_CARET = P_SEND_SIZE = 0;
    }
}

int SOCKET::close_connection(std::atomic<bool>* self_busy) {
    if (self_busy) self_busy->store(false);
    const int fd = P_SOCKET.exchange(-1);
    if (fd < 0) return 0;
    // Wake a thread blocked in recv or send on this handle, then wait until neither thread can
    // still be inside a call on it before the number is given back to the system.
    shutdown(fd, SHUT_RDWR);
    while ((&recv_busy_ != self_busy && recv_busy_.load()) ||
           (&send_busy_ != self_busy && send_busy_.load()))
        sleep_1ms();
    return close(fd);
}

int32_t SOCKET::CLOSE() {
    // Let queued bytes leave while the connection lasts, but never wait on a queue that cannot
    // drain (no connection, or a peer that stopped reading).
    const double give_up = monotonic_seconds() + CLOSE_LINGER_MS / 1000.0;
    for (;;) {
        {
            SOCKET_LOCK lock(P_SEND_LOCK);
            if (P_SEND_SIZE - P_SEND_CARET <= 0) break;
            if (P_SOCKET.load() < 0 || monotonic_seconds() >= give_up) {
                P_SEND_CARET = P_SEND_SIZE = 0;
                break;
            }
        }
        sleep_1ms();
    }
    int result = close_connection(nullptr);
    const int listener = P_LISTENER.exchange(-1);
    if (listener >= 0 && close(listener) != 0) result = -1;
    return result == 0 ? 0 : -1;
}

bool SOCKET::IS_CLOSED() const { return P_SOCKET.load() < 0 && P_LISTENER.load() < 0; }

int32_t SOCKET::LENGTH() {
    SOCKET_LOCK lock(P_RECV_LOCK);
    return P_RECV_SIZE - P_RECV_CARET;
}

// ---------------------------------------------------------------------------------------------
// Connecting, listening, accepting.

int32_t SOCKET::CLIENT(const std::string& host, int32_t port, int32_t timeout_ms,
                       const std::atomic<bool>* cancel) {
    const int64_t address = RESOLVE(host);
    if (address < 0) return ERR_RESOLVE;
    return CLIENT(static_cast<uint32_t>(address), port, timeout_ms, cancel);
}

int32_t SOCKET::CLIENT(uint32_t ip, int32_t port, int32_t timeout_ms, const std::atomic<bool>* cancel) {
    if (port < 0 || port > 65535) return ERR_CONNECT;
    CLOSE();
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return ERR_INIT;
    const int one = 1;
    if (setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one) != 0) {
        close(fd);
        return ERR_REUSE;
    }
    const SOCKET_INFO info = NEW_SOCKADDR(ip, port);
    {
        SOCKET_LOCK lock(info_lock_);
        CNX_INFO = info;
    }
    // Connect without blocking and wait in short slices, so a deadline or a cancel is honoured
    // even against a host that never answers.
    const int flags = fcntl(fd, F_GETFL, 0);
    fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    int rc = connect(fd, reinterpret_cast<const sockaddr*>(&info.ADDR), sizeof info.ADDR);
    if (rc != 0 && errno != EINPROGRESS) {
        close(fd);
        return ERR_CONNECT;
    }
    if (rc != 0) {
        const double deadline = timeout_ms > 0 ? monotonic_seconds() + timeout_ms / 1000.0 : 0.0;
        for (;;) {
            if (cancel && cancel->load()) {
                close(fd);
                return ERR_CONNECT;
            }
            int slice = 50;
            if (deadline > 0) {
                const int left = ms_until(deadline);
                if (left <= 0) {
                    close(fd);
                    return ERR_CONNECT;
                }
                slice = std::min(slice, left);
            }
            pollfd p{fd, POLLOUT, 0};
            const int ready = poll(&p, 1, slice);
            if (ready < 0 && errno != EINTR) {
                close(fd);
                return ERR_CONNECT;
            }
            if (ready > 0) break;
        }
        int err = 0;
        socklen_t len = sizeof err;
        if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0 || err != 0) {
            close(fd);
            return ERR_CONNECT;
        }
    }
    fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    P_KIND.store(SOCK_TCP);
    P_SOCKET.store(fd);
    return ERR_NONE;
}

int32_t SOCKET::SERVER(int32_t port, int32_t backlog) {
    if (port < 0 || port > 65535) return ERR_BIND;
    CLOSE();
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return ERR_INIT;
    const int one = 1;
    if (setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one) != 0) {
        close(fd);
        return ERR_REUSE;
    }
    SOCKET_INFO info = NEW_SOCKADDR(htonl(INADDR_ANY), port);
    if (bind(fd, reinterpret_cast<const sockaddr*>(&info.ADDR), sizeof info.ADDR) != 0) {
        close(fd);
        return ERR_BIND;
    }
    if (listen(fd, backlog > 0 ? backlog : 1) != 0) {
        close(fd);
        return ERR_LISTEN;
    }
    socklen_t len = sizeof info.ADDR;
    getsockname(fd, reinterpret_cast<sockaddr*>(&info.ADDR), &len);
    {
        SOCKET_LOCK lock(info_lock_);
        CNX_INFO = info;
    }
    P_KIND.store(SOCK_TCP);
    P_LISTENER.store(fd);
    return ERR_NONE;
}

bool SOCKET::accept_from(int listener, double timeout) {
    if (listener < 0) return false;
    pollfd p{listener, POLLIN, 0};
    const int wait_ms = timeout < 0 ? -1 : static_cast<int>(std::lround(timeout * 1000.0));
    if (poll(&p, 1, wait_ms) <= 0) return false;
    sockaddr_in peer{};
    socklen_t len = sizeof peer;
    const int fd = accept4(listener, reinterpret_cast<sockaddr*>(&peer), &len, SOCK_CLOEXEC);
    if (fd < 0) return false;
    close_connection(nullptr);  // an earlier connection of this object ends here
    {
        SOCKET_LOCK lock(P_RECV_LOCK);
        P_RECV_CARET = P_RECV_SIZE = 0;
    }
    P_KIND.store(SOCK_TCP);
    P_SOCKET.store(fd);
    return true;
}

bool SOCKET::LISTEN(double timeout) { return accept_from(P_LISTENER.load(), timeout); }

bool SOCKET::LISTEN_TO_NEW(SOCKET& other, double timeout) {
    if (!accept_from(other.P_LISTENER.load(), timeout)) return false;
    sockaddr_in peer{};
    socklen_t len = sizeof peer;
    if (getpeername(P_SOCKET.load(), reinterpret_cast<sockaddr*>(&peer), &len) == 0) {
        SOCKET_LOCK lock(info_lock_);
        CNX_INFO.ADDR = peer;
    }
    return true;
}

SOCKET_INFO SOCKET::CONNECTION_INFO() {
    SOCKET_LOCK lock(info_lock_);
    return CNX_INFO;
}

// ---------------------------------------------------------------------------------------------
// Rate limits.

int32_t SOCKET::limit_allow(int32_t want, int32_t limit, int32_t& accum, double& timer) {
    if (limit <= 0) {
        accum += want;
        return want;
    }
    const double now = monotonic_seconds();
    if (now - timer >= 0.1) {
        accum = std::max(0, accum - limit / 10);
        timer = now;
    }
    const int32_t room = limit - accum;
    if (room <= 0) return 0;
    const int32_t allowed = std::min(want, room);
    accum += allowed;
    return allowed;
}

void SOCKET::rate_sample(int32_t limit, int32_t& accum, double& disp_timer, int32_t& rate) {
    const double now = monotonic_seconds();
    if (now - disp_timer < 1.0) return;
    disp_timer = now;
    rate = accum;
    if (limit <= 0) accum = 0;
}

double SOCKET::RECV_LIMIT() {
    SOCKET_LOCK lock(P_RECV_LOCK);
    return P_RECV_LIMIT / 1024.0;
}
void SOCKET::RECV_LIMIT(double kilobytes) {
    SOCKET_LOCK lock(P_RECV_LOCK);
    const double bytes = std::nearbyint(1024.0 * kilobytes);
    P_RECV_LIMIT = bytes <= 0 || !std::isfinite(bytes) ? 0 : static_cast<int32_t>(std::min(bytes, 2.0e9));
}
double SOCKET::SEND_LIMIT() {
    SOCKET_LOCK lock(P_SEND_LOCK);
    return P_SEND_LIMIT / 1024.0;
}
void SOCKET::SEND_LIMIT(double kilobytes) {
    SOCKET_LOCK lock(P_SEND_LOCK);
    const double bytes = std::nearbyint(1024.0 * kilobytes);
    P_SEND_LIMIT = bytes <= 0 || !std::isfinite(bytes) ? 0 : static_cast<int32_t>(std::min(bytes, 2.0e9));
}
int32_t SOCKET::SEND_RATE() {
    SOCKET_LOCK lock(P_SEND_LOCK);
    return P_SEND_LIMIT > 0 ? P_SEND_RATE * 10 : P_SEND_RATE;
}
int32_t SOCKET::RECV_RATE() {
    SOCKET_LOCK lock(P_RECV_LOCK);
    return P_RECV_LIMIT > 0 ? P_RECV_RATE * 10 : P_RECV_RATE;
}

// ---------------------------------------------------------------------------------------------
// Queueing and reading.

int32_t SOCKET::PUT_DATA(const void* data, int32_t bytes) {
    if (bytes <= 0 || !data) return 0;
    SOCKET_LOCK lock(P_SEND_LOCK);
    if (P_SEND_SIZE + bytes > SOCKET_BUFFER_BYTES) return 0;
    // Under a send limit the put is cut to what the current window still allows.
    const int32_t allowed = limit_allow(bytes, P_SEND_LIMIT, P_SEND_ACCUM, P_SEND_TIMER);
    if (allowed <= 0) return 0;
    std::memcpy(P_SEND_DATA + P_SEND_SIZE, data, static_cast<size_t>(allowed));
    P_SEND_SIZE += allowed;
    return allowed;
}

bool SOCKET::PUT_LINE(const std::string& text) {
    const std::string line = text + "\r\n";
    return PUT_DATA(line.data(), static_cast<int32_t>(line.size())) == static_cast<int32_t>(line.size());
}

bool SOCKET::PUT_STRING(const std::string& text) {
    int32_t count = static_cast<int32_t>(text.size());
    return PUT(text, count, 0);
}

template <typename T>
bool SOCKET::put_typed(const T* values, int32_t& count, int32_t time_ms) {
    const int32_t wanted = count;
    count = 0;
    if (P_SOCKET.load() < 0) return false;
    if (wanted <= 0 || !values) return wanted == 0;
    if (wanted > INT32_MAX / static_cast<int32_t>(sizeof(T))) return false;  // bytes would not fit a count
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(values);
    const int32_t total = wanted * static_cast<int32_t>(sizeof(T));
    int32_t done = 0;
    const Patience patience(time_ms);
    for (;;) {
        // Queue as many whole elements as fit now.
        int32_t room;
        {
            SOCKET_LOCK lock(P_SEND_LOCK);
            room = SOCKET_BUFFER_BYTES - P_SEND_SIZE;
        }
        int32_t chunk = std::min(total - done, room);
        chunk -= chunk % static_cast<int32_t>(sizeof(T));
        if (chunk > 0) done += PUT_DATA(bytes + done, chunk);
        if (done >= total || P_SOCKET.load() < 0 || !patience.again()) break;
        sleep_1ms();
    }
    count = done / static_cast<int32_t>(sizeof(T));
    return done >= total;
}

template <typename T>
bool SOCKET::get_typed(T* values, int32_t& count, int32_t time_ms, bool peek) {
    const int32_t wanted = count;
    count = 0;
    if (wanted <= 0 || !values) return wanted == 0;
    if (wanted > INT32_MAX / static_cast<int32_t>(sizeof(T))) return false;
    uint8_t* bytes = reinterpret_cast<uint8_t*>(values);
    const int32_t total = wanted * static_cast<int32_t>(sizeof(T));
    const int32_t size = static_cast<int32_t>(sizeof(T));
    int32_t done = 0;
    const Patience patience(time_ms);
    for (;;) {
        const int32_t unread = LENGTH();
        if (peek) {
            if (unread >= total || (P_SOCKET.load() < 0) || !patience.again()) {
                int32_t n = std::min(unread, total);
                n -= n % size;
                if (n > 0) done = GET_DATA(bytes, n, true);
                break;
            }
        } else {
            int32_t n = std::min(unread, total - done);
            n -= n % size;
            if (n > 0) done += GET_DATA(bytes + done, n, false);
            if (done >= total) break;
            if (P_SOCKET.load() < 0 && LENGTH() < size) break;
            if (!patience.again()) break;
        }
        sleep_1ms();
    }
    count = done / size;
    return done >= total;
}

bool SOCKET::PUT(const uint8_t* v, int32_t& count, int32_t t) { return put_typed(v, count, t); }
bool SOCKET::PUT(const int16_t* v, int32_t& count, int32_t t) { return put_typed(v, count, t); }
bool SOCKET::PUT(const int32_t* v, int32_t& count, int32_t t) { return put_typed(v, count, t); }
bool SOCKET::PUT(const double* v, int32_t& count, int32_t t) { return put_typed(v, count, t); }
bool SOCKET::PUT(const std::string& text, int32_t& count, int32_t t) {
    count = std::clamp<int32_t>(count, 0, static_cast<int32_t>(std::min<size_t>(text.size(), INT32_MAX)));
    return put_typed(reinterpret_cast<const uint8_t*>(text.data()), count, t);
}
bool SOCKET::GET(uint8_t* v, int32_t& count, int32_t t, bool peek) { return get_typed(v, count, t, peek); }
bool SOCKET::GET(int16_t* v, int32_t& count, int32_t t, bool peek) { return get_typed(v, count, t, peek); }
bool SOCKET::GET(int32_t* v, int32_t& count, int32_t t, bool peek) { return get_typed(v, count, t, peek); }
bool SOCKET::GET(double* v, int32_t& count, int32_t t, bool peek) { return get_typed(v, count, t, peek); }
bool SOCKET::GET(std::string& text, int32_t& count, int32_t t, bool peek) {
    text.assign(static_cast<size_t>(std::max(count, 0)), '\0');
    const bool all = get_typed(reinterpret_cast<uint8_t*>(text.data()), count, t, peek);
    text.resize(static_cast<size_t>(count));
    return all;
}

int32_t SOCKET::GET_DATA(void* data, int32_t bytes, bool peek) {
    if (bytes <= 0 || !data) return 0;
    SOCKET_LOCK lock(P_RECV_LOCK);
    if (P_RECV_SIZE - P_RECV_CARET < bytes) return 0;
    const int32_t allowed = limit_allow(bytes, P_RECV_LIMIT, P_RECV_ACCUM, P_RECV_TIMER);
    if (allowed <= 0) return 0;
    std::memcpy(data, P_RECV_DATA + P_RECV_CARET, static_cast<size_t>(allowed));
    if (peek) P_RECV_ACCUM -= allowed;  // looking is not a transfer
    else P_RECV_CARET += allowed;
    return allowed;
}

bool SOCKET::DUMP_DATA(int32_t bytes) {
    if (bytes <= 0) return bytes == 0;
    SOCKET_LOCK lock(P_RECV_LOCK);
    if (P_RECV_SIZE - P_RECV_CARET < bytes) return false;
    P_RECV_CARET += bytes;
    return true;
}

std::string SOCKET::GET_LINE() {
    std::string line = GET_UNTIL("\r\n");
    if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0) line.resize(line.size() - 2);
    return line;
}

std::string SOCKET::GET_UNTIL(const std::string& delimiter) {
    return GET_UNTIL(delimiter, UntilLimits{}, nullptr);
}

std::string SOCKET::GET_UNTIL(const std::string& delimiter, const UntilLimits& limits, UntilStop* stop) {
    std::string gathered;
    UntilStop why = UntilStop::CLOSED;
    uint8_t chunk[SOCKET_BUFFER_BYTES];
    for (;;) {
        sleep_1ms();
        int32_t unread = LENGTH();
        if (unread > 0) {
            if (limits.max_bytes > 0 && gathered.size() + static_cast<size_t>(unread) > limits.max_bytes)
                unread = static_cast<int32_t>(limits.max_bytes - std::min(limits.max_bytes, gathered.size())) + 1;
            const int32_t got = GET_DATA(chunk, unread, true);
            const size_t before = gathered.size();
            gathered.append(reinterpret_cast<const char*>(chunk), static_cast<size_t>(got));
            // Search only where a new occurrence can start.
            const size_t from = before >= delimiter.size() ? before - delimiter.size() + 1 : 0;
            const size_t at = delimiter.empty() ? std::string::npos : gathered.find(delimiter, from);
            if (at != std::string::npos) {
                const size_t end = at + delimiter.size();
                DUMP_DATA(static_cast<int32_t>(end - before));
                gathered.resize(end);
                why = UntilStop::FOUND;
                break;
            }
            DUMP_DATA(got);
            if (limits.max_bytes > 0 && gathered.size() > limits.max_bytes) {
                why = UntilStop::TOO_LONG;
                break;
            }
        } else if (P_SOCKET.load() < 0 && LENGTH() == 0) {
            why = UntilStop::CLOSED;
            break;
        }
        if (limits.cancel && limits.cancel->load()) {
            why = UntilStop::CANCELLED;
            break;
        }
        if (limits.deadline > 0 && monotonic_seconds() >= limits.deadline) {
            why = UntilStop::DEADLINE;
            break;
        }
    }
    if (stop) *stop = why;
    return gathered;
}

// ---------------------------------------------------------------------------------------------
// Requests.

bool SOCKET::PUT_HTTP_REQUEST(const std::string& url_in, const std::string& method,
                              const std::string& data, int32_t keep_url) {
    const std::string kind = upper(method);
    if (kind != "GET" && kind != "POST") return false;
    std::string url = url_in;
    std::string path = "/";
    if (keep_url == 0 && starts_with(url, "http://")) url.erase(0, 7);
    const size_t p = url.find('/');
    if (p != std::string::npos) {
        if (keep_url == 0) {
            path.append(url, p + 1, std::string::npos);
            url.erase(p);
        } else {
            path = url + "/";
        }
    }
    std::string host = url;
    if (starts_with(host, "http://")) host.erase(0, 7);
    const size_t cut = host.find('/');
    if (cut != std::string::npos) host.erase(cut);

    std::string text = method + " " + path + " HTTP/1.0\r\n";
    text += "Host: " + host + "\r\n";
    text += "Accept: text/html\r\n";
    text += "User-Agent: quorlix .01. Have a nice day!\r\n";
    text += "Connection: Close\r\n";
    if (method == "POST") {
        text += "Content-Type: application/x-www-form-urlencoded\r\n";
        text += "Content-Length: " + std::to_string(data.size()) + "\r\n";
        text += "\r\n";
        text += data;
    }
    text += "\r\n";
    int32_t count = static_cast<int32_t>(text.size());
    return PUT(text, count, 0);  // false when the connection is gone
}

bool SOCKET::PUT_IRC_AUTH(const std::string& nick, const std::string& user, const std::string& password) {
    bool ok = true;
    if (!password.empty()) ok = PUT_LINE("PASS " + password) && ok;
    ok = PUT_LINE("USER " + user + " * * *") && ok;
    ok = PUT_LINE("NICK " + nick) && ok;
    return ok;
}

}  // namespace NET
