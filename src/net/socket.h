// NET::SOCKET: one IPv4 TCP connection (client or accepted) or listener with a send queue and a
// receive buffer of 8192 bytes each, serviced by a receive thread and a send thread that live as
// long as the object. The owner queues bytes and reads what arrived; the threads move them.
//
// Closing never hangs: the handle is shut down before it is closed so a thread blocked in a
// receive or send wakes, and it is closed only once neither thread is inside a call on it. The
// threads and the owner share the handles through atomics; the buffers are guarded by one mutex
// per direction. Sends never raise SIGPIPE. Every wait is measured on a monotonic clock.
//
// Stands on the operating system's socket interface alone; knows nothing of the game.
#pragma once

#include <netinet/in.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace NET {

inline constexpr int32_t SOCKET_BUFFER_BYTES = 8192;

enum SOCKET_KINDS : int32_t { SOCK_TCP = 0, SOCK_UDP = 1, SOCK_UDP_CONNECTIONLESS = 2 };

// Result codes of the connection functions (TRANSLATE_ERROR gives their texts).
enum SOCKET_ERRORS : int32_t {
    ERR_NONE = 0,
    ERR_INIT = 1,
    ERR_RESOLVE = 2,
    ERR_CONNECT = 3,
    ERR_REUSE = 4,
    ERR_BIND = 5,
    ERR_LISTEN = 6,
};
std::string TRANSLATE_ERROR(int32_t code);

// Scoped holder of one of the object's mutexes (locks on creation, unlocks on destruction).
using SOCKET_LOCK = std::lock_guard<std::mutex>;

// One IPv4 socket address.
struct SOCKET_INFO {
    sockaddr_in ADDR{};
};
// "{address: 127.0.0.1, port: 80}"
std::string socket_info_text(const SOCKET_INFO& info);
// The port in host order.
int32_t socket_info_port(const SOCKET_INFO& info);

// Seconds on a monotonic clock (never the game's virtual clock).
double monotonic_seconds();

// Name resolution seam: a resolver turns a host name into an IPv4 address in network order and
// returns false when it cannot. The default asks the system; tests install their own.
using Resolver = bool (*)(const std::string& host, uint32_t& address);
void set_resolver(Resolver resolver);  // nullptr restores the system resolver
Resolver current_resolver();

// A dotted address is used as it stands; otherwise a leading "http://" and everything from the
// first "/" are removed and the name is resolved. The address in network order, -1 on failure.
int64_t RESOLVE(const std::string& host);
// A new address record for host and port; false when the host does not resolve.
bool NEW_SOCKADDR(const std::string& host, int32_t port, SOCKET_INFO& out);
SOCKET_INFO NEW_SOCKADDR(uint32_t address, int32_t port);
// Zero-timeout readiness test for reading.
bool IS_READABLE(int handle);

// How GET_UNTIL may end besides finding its delimiter.
struct UntilLimits {
    double deadline = 0.0;                       // monotonic_seconds() value; 0 = none
    std::size_t max_bytes = 0;                   // gathered text cap; 0 = none
    const std::atomic<bool>* cancel = nullptr;   // set by another thread to give up
};
enum class UntilStop : int8_t { FOUND, CLOSED, DEADLINE, TOO_LONG, CANCELLED };

class SOCKET {
public:
    SOCKET();
    ~SOCKET();
    SOCKET(const SOCKET&) = delete;
    SOCKET& operator=(const SOCKET&) = delete;

    // TCP client. timeout_ms > 0 bounds the connect (0 waits as long as the system does);
    // cancel, when given, abandons a connect in progress.
    int32_t CLIENT(const std::string& host, int32_t port, int32_t timeout_ms = 0,
                   const std::atomic<bool>* cancel = nullptr);
    int32_t CLIENT(uint32_t ip, int32_t port, int32_t timeout_ms = 0,
                   const std::atomic<bool>* cancel = nullptr);
    // Listening TCP socket on any local address; port 0 takes a free port (CONNECTION_INFO
    // then tells which).
    int32_t SERVER(int32_t port, int32_t backlog);
    // Accepts one connection from this object's listener (timeout in seconds, < 0 waits).
    bool LISTEN(double timeout);
    // Accepts one connection from another object's listener into this object.
    bool LISTEN_TO_NEW(SOCKET& other, double timeout);

    // Appends bytes to the send queue if they all fit (0 otherwise); under a send limit only
    // what the current window allows is taken. Bytes queued.
    int32_t PUT_DATA(const void* data, int32_t bytes);
    bool PUT_LINE(const std::string& text);
    bool PUT_STRING(const std::string& text);
    // Typed puts: queue count elements, as many as fit each time, retrying every 1 ms.
    // time_ms -1 = one attempt, 0 = no limit, > 0 = give up after that long. count returns the
    // whole elements queued; true only when all were. False at once on a closed socket.
    bool PUT(const uint8_t* values, int32_t& count, int32_t time_ms);
    bool PUT(const int16_t* values, int32_t& count, int32_t time_ms);
    bool PUT(const int32_t* values, int32_t& count, int32_t time_ms);
    bool PUT(const double* values, int32_t& count, int32_t time_ms);
    bool PUT(const std::string& text, int32_t& count, int32_t time_ms);  // count in bytes
    // Typed gets, the mirror image; peek leaves the data unread (and waits for all of it).
    bool GET(uint8_t* values, int32_t& count, int32_t time_ms, bool peek);
    bool GET(int16_t* values, int32_t& count, int32_t time_ms, bool peek);
    bool GET(int32_t* values, int32_t& count, int32_t time_ms, bool peek);
    bool GET(double* values, int32_t& count, int32_t time_ms, bool peek);
    bool GET(std::string& text, int32_t& count, int32_t time_ms, bool peek);  // count in bytes

    // Copies bytes out if that many are unread (0 otherwise), under the receive limit.
    int32_t GET_DATA(void* data, int32_t bytes, bool peek);
    std::string GET_LINE();
    // Text up to and including the first delimiter (the rest stays unread), or everything until
    // the peer closes when the delimiter is empty or never comes.
    std::string GET_UNTIL(const std::string& delimiter);
    std::string GET_UNTIL(const std::string& delimiter, const UntilLimits& limits, UntilStop* stop);
    bool DUMP_DATA(int32_t bytes);

    bool PUT_HTTP_REQUEST(const std::string& url, const std::string& method,
                          const std::string& data, int32_t keep_url);
    bool PUT_IRC_AUTH(const std::string& nick, const std::string& user, const std::string& password);

    // Waits (at most CLOSE_LINGER_MS) for the send queue to drain, drops what is left, closes
    // both handles. 0 when every close succeeded.
    int32_t CLOSE();
    bool IS_CLOSED() const;
    int32_t LENGTH();

    double RECV_LIMIT();              // kilobytes per second
    void RECV_LIMIT(double kilobytes);
    double SEND_LIMIT();
    void SEND_LIMIT(double kilobytes);
    int32_t SEND_RATE();
    int32_t RECV_RATE();
    SOCKET_INFO CONNECTION_INFO();

    static constexpr int32_t CLOSE_LINGER_MS = 1000;

    // The object's state, in the order the game's record lists it.
    uint8_t P_SEND_DATA[SOCKET_BUFFER_BYTES] = {};
    int32_t P_SEND_CARET = 0;
    int32_t P_SEND_SIZE = 0;
    std::thread P_SEND_THREAD;
    std::mutex P_SEND_LOCK;
    int32_t P_SEND_LIMIT = 0;
    int32_t P_SEND_ACCUM = 0;
    double P_SEND_TIMER = 0.0;
    double P_SEND_DISP_TIMER = 0.0;
    int32_t P_SEND_RATE = 0;
    SOCKET_INFO* P_SEND_INFO = nullptr;
    uint8_t P_RECV_DATA[SOCKET_BUFFER_BYTES] = {};
    int32_t P_RECV_CARET = 0;
    int32_t P_RECV_SIZE = 0;
    std::thread P_RECV_THREAD;
    std::mutex P_RECV_LOCK;
    int32_t P_RECV_LIMIT = 0;
    int32_t P_RECV_ACCUM = 0;
    double P_RECV_TIMER = 0.0;
    double P_RECV_DISP_TIMER = 0.0;
    int32_t P_RECV_RATE = 0;
    SOCKET_INFO P_RECV_INFO;
    SOCKET_INFO CNX_INFO;
    std::atomic<int> P_SOCKET{-1};
    std::atomic<int> P_LISTENER{-1};
    std::atomic<int32_t> P_DEAD{0};
    std::atomic<int32_t> P_KIND{SOCK_TCP};

private:
    void RECV_PROC();
    void SEND_PROC();
    // Takes the connected handle out of service: shutdown, wait until the other thread is out
    // of its call, close. `self_busy` is the caller's own busy flag (cleared first) or null.
    int close_connection(std::atomic<bool>* self_busy);
    bool accept_from(int listener, double timeout);
    template <typename T> bool put_typed(const T* values, int32_t& count, int32_t time_ms);
    template <typename T> bool get_typed(T* values, int32_t& count, int32_t time_ms, bool peek);
    // Rate-limit window of one direction (caller holds that direction's lock).
    static int32_t limit_allow(int32_t want, int32_t limit, int32_t& accum, double& timer);
    static void rate_sample(int32_t limit, int32_t& accum, double& disp_timer, int32_t& rate);

    std::atomic<bool> recv_busy_{false};
    std::atomic<bool> send_busy_{false};
    std::mutex info_lock_;
};

}  // namespace NET
