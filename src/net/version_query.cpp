// The exchange with the version server (see version_query.h).
#include "net/version_query.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "net/socket.h"

namespace NET {

namespace {
bool printable(unsigned char c) { return c >= 32 && c <= 126; }

std::string seconds_text(double s) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", s);
    return buf;
}
}  // namespace

VersionAnswer version_parse_reply(const std::string& reply) {
    VersionAnswer a;
    if (reply.empty()) {
        a.why = "the server closed the connection without a reply";
        return a;
    }
    const size_t line_end = reply.find("\r\n");
    const std::string status = reply.substr(0, line_end);
    // "HTTP/1.x 200 ..." : the code is the second blank-separated word.
    const size_t blank = status.find(' ');
    if (status.compare(0, 5, "HTTP/") != 0 || blank == std::string::npos) {
        a.why = "the reply is not HTTP";
        return a;
    }
    const std::string code = status.substr(blank + 1, 3);
    if (code != "200" || (status.size() > blank + 4 && status[blank + 4] != ' ')) {
        std::string shown;
        for (unsigned char c : status.substr(blank + 1, 40)) shown += printable(c) ? static_cast<char>(c) : '?';
        a.why = "the server answered \"" + shown + "\" instead of 200";
        return a;
    }
    const size_t header_end = reply.find("\r\n\r\n");
    if (header_end == std::string::npos) {
        a.why = "the reply has no end of header";
        return a;
    }
    const std::string body = reply.substr(header_end + 4);
    if (body.empty()) {
        a.why = "the reply holds no version text";
        return a;
    }
    if (body.size() > VERSION_TEXT_MAX_BYTES) {
        a.why = "the version text is " + std::to_string(body.size()) + " bytes long (at most " +
                std::to_string(VERSION_TEXT_MAX_BYTES) + ")";
        return a;
    }
    size_t text_end = body.size();
    if (body.size() >= 2 && body.compare(body.size() - 2, 2, "\r\n") == 0) text_end -= 2;
    for (size_t i = 0; i < text_end; ++i) {
        if (!printable(static_cast<unsigned char>(body[i]))) {
            a.why = "the version text holds an unprintable byte at " + std::to_string(i);
            return a;
        }
    }
    if (text_end == 0) {
        a.why = "the reply holds no version text";
        return a;
    }
    a.ok = true;
    a.version = body;
    return a;
}

VersionAnswer version_query(const std::string& host, int32_t port, const VersionLimits& limits,
                            const std::atomic<bool>* cancel) {
    const double deadline = monotonic_seconds() + limits.total_seconds;
    const std::string where = host + ":" + std::to_string(port);
    VersionAnswer a;
    SOCKET sock;
    const int32_t left_ms = static_cast<int32_t>((deadline - monotonic_seconds()) * 1000.0);
    const int32_t connect_ms = std::max<int32_t>(1, std::min(limits.connect_ms, left_ms));
    const int32_t code = sock.CLIENT(host, port, connect_ms, cancel);
    if (code != ERR_NONE) {
        a.why = "cannot reach " + where + ": " + TRANSLATE_ERROR(code);
        if (cancel && cancel->load()) a.why = "given up";
        return a;
    }
    if (!sock.PUT_HTTP_REQUEST(host + "/version.php", "GET", "", 0)) {
        a.why = "the connection to " + where + " closed before the request was sent";
        return a;
    }
    UntilLimits until;
    until.deadline = deadline;
    until.max_bytes = limits.reply_max_bytes;
    until.cancel = cancel;
    UntilStop stop = UntilStop::CLOSED;
    const std::string reply = sock.GET_UNTIL("", until, &stop);
    switch (stop) {
        case UntilStop::DEADLINE:
            a.why = "no complete reply from " + where + " within " + seconds_text(limits.total_seconds) + " s";
            return a;
        case UntilStop::TOO_LONG:
            a.why = "the reply from " + where + " is longer than " + std::to_string(limits.reply_max_bytes) + " bytes";
            return a;
        case UntilStop::CANCELLED:
            a.why = "given up";
            return a;
        default:
            break;
    }
    a = version_parse_reply(reply);
    if (!a.ok) a.why = where + ": " + a.why;
    return a;
}

bool version_parse_server(const std::string& text, std::string& host, int32_t& port, std::string& why) {
    const size_t colon = text.rfind(':');
    std::string h = colon == std::string::npos ? text : text.substr(0, colon);
    int32_t p = 80;
    if (colon != std::string::npos) {
        const std::string digits = text.substr(colon + 1);
        char* end = nullptr;
        const long v = digits.empty() ? 0 : std::strtol(digits.c_str(), &end, 10);
        if (digits.empty() || *end != '\0' || v < 1 || v > 65535 || digits[0] == '-' || digits[0] == '+') {
            why = "expected a port from 1 to 65535 after the colon in \"" + text + "\"";
            return false;
        }
        p = static_cast<int32_t>(v);
    }
    if (h.empty()) {
        why = "expected a host name or address before the port in \"" + text + "\"";
        return false;
    }
    for (unsigned char c : h) {
        if (c <= 32 || c >= 127 || c == '/') {
            why = "the host \"" + h + "\" holds a blank, a slash or an unprintable byte";
            return false;
        }
    }
    host = h;
    port = p;
    return true;
}

// ---------------------------------------------------------------------------------------------

VersionCheckJob::~VersionCheckJob() { abandon(); }

bool VersionCheckJob::start(const std::string& host, int32_t port, const VersionLimits& limits) {
    if (state_) return false;
    auto state = std::make_shared<State>();
    state_ = state;
    total_seconds_ = limits.total_seconds;
    deadline_ = monotonic_seconds() + limits.total_seconds;
    worker_ = std::thread([state, host, port, limits] {
        VersionAnswer a = version_query(host, port, limits, &state->cancel);
        state->answer = std::move(a);
        state->done.store(true, std::memory_order_release);
    });
    return true;
}

bool VersionCheckJob::poll(VersionAnswer& out) {
    if (!state_) return false;
    if (state_->done.load(std::memory_order_acquire)) {
        if (worker_.joinable()) worker_.join();
        out = state_->answer;
        state_.reset();
        return true;
    }
    // The worker keeps its own deadline; this one catches a lookup that never returns (a
    // moment of grace lets an answer that is on its way arrive first).
    if (monotonic_seconds() >= deadline_ + 0.25) {
        out = VersionAnswer{};
        out.why = "no answer within " + seconds_text(total_seconds_) + " s";
        let_go();
        return true;
    }
    return false;
}

void VersionCheckJob::abandon() {
    if (!state_) return;
    state_->cancel.store(true);
    // A connect or a read notices the cancel within about 50 ms; only a name lookup can take
    // longer, and then the worker is left to finish on its own.
    const double until = monotonic_seconds() + 0.3;
    while (!state_->done.load(std::memory_order_acquire) && monotonic_seconds() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    let_go();
}

void VersionCheckJob::let_go() {
    if (!state_) return;
    state_->cancel.store(true);
    if (worker_.joinable()) {
        if (state_->done.load(std::memory_order_acquire)) worker_.join();
        else worker_.detach();  // it owns its state through the shared pointer
    }
    state_.reset();
}

}  // namespace NET
