#include "desktop/core/OfficeRequest.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/Utf.h"

namespace desktop {

namespace {

// The converters' exit status for a failed conversion (tools/converter_program.py).
constexpr int kConverterFailed = 1;
// The longest answer read; the server's answers are a status and one message.
constexpr size_t kMaxAnswerBytes = 1 << 20;
constexpr int kPollMilliseconds = 30;

// `text` as a JSON string of ASCII only: UTF-16 units beyond ASCII, and bytes that are not
// UTF-8 as their lone surrogates (platform/Utf.h), become \uXXXX escapes.
void AppendJsonString(std::string& out, std::string_view text) {
    out += '"';
    for (char16_t unit : platform::Utf8ToUtf16(text)) {
        if (unit == '"' || unit == '\\') {
            out += '\\';
            out += static_cast<char>(unit);
        } else if (unit >= 0x20 && unit < 0x7F) {
            out += static_cast<char>(unit);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(unit));
            out += escape;
        }
    }
    out += '"';
}

// Reads the JSON answer object {"status": N, "message": "..."} (other members of either kind
// are passed over); only what the server writes: whole numbers and strings, no nesting.
class AnswerReader {
  public:
    explicit AnswerReader(std::string_view text) : m_text(text) {}

    std::optional<OfficeAnswer> Read() {
        OfficeAnswer answer;
        bool hasStatus = false, hasMessage = false;
        if (!Take('{')) return std::nullopt;
        if (Take('}')) return std::nullopt;
        do {
            std::optional<std::string> key = String();
            if (!key || !Take(':')) return std::nullopt;
            SkipBlanks();
            if (m_at < m_text.size() && m_text[m_at] == '"') {
                std::optional<std::string> value = String();
                if (!value) return std::nullopt;
                if (*key == "message") answer.message = std::move(*value), hasMessage = true;
            } else {
                std::optional<int> value = Integer();
                if (!value) return std::nullopt;
                if (*key == "status") answer.status = *value, hasStatus = true;
            }
        } while (Take(','));
        if (!Take('}') || !hasStatus || !hasMessage) return std::nullopt;
        SkipBlanks();
        return m_at == m_text.size() ? std::optional(answer) : std::nullopt;
    }

  private:
    void SkipBlanks() {
        while (m_at < m_text.size() && std::strchr(" \t\r\n", m_text[m_at]) != nullptr) ++m_at;
    }
    bool Take(char c) {
        SkipBlanks();
        if (m_at >= m_text.size() || m_text[m_at] != c) return false;
        ++m_at;
        return true;
    }
    std::optional<int> Integer() {
        bool negative = Take('-');
        long long value = 0;
        size_t start = m_at;
        while (m_at < m_text.size() && m_text[m_at] >= '0' && m_text[m_at] <= '9') {
            value = value * 10 + (m_text[m_at++] - '0');
            if (value > 1'000'000'000) return std::nullopt;
        }
        if (m_at == start) return std::nullopt;
        return static_cast<int>(negative ? -value : value);
    }
    std::optional<char16_t> Escape() {
        char c = m_text[m_at++];
        switch (c) {
            case '"':
            case '\\':
            case '/':
                return c;
            case 'b':
                return '\b';
            case 'f':
                return '\f';
            case 'n':
                return '\n';
            case 'r':
                return '\r';
            case 't':
                return '\t';
            case 'u':
                break;
            default:
                return std::nullopt;
        }
        if (m_at + 4 > m_text.size()) return std::nullopt;
        unsigned unit = 0;
        for (int k = 0; k < 4; ++k) {
            char h = m_text[m_at++];
            int digit = h >= '0' && h <= '9'   ? h - '0'
                        : h >= 'a' && h <= 'f' ? h - 'a' + 10
                        : h >= 'A' && h <= 'F' ? h - 'A' + 10
                                               : -1;
            if (digit < 0) return std::nullopt;
            unit = unit * 16 + static_cast<unsigned>(digit);
        }
        return static_cast<char16_t>(unit);
    }
    // A string; its text as UTF-16 units (raw UTF-8 bytes decoded too), given back as bytes.
    std::optional<std::string> String() {
        if (!Take('"')) return std::nullopt;
        std::u16string units;
        size_t plain = m_at;
        auto flushPlain = [&] {
            units += platform::Utf8ToUtf16(m_text.substr(plain, m_at - plain));
        };
        while (m_at < m_text.size() && m_text[m_at] != '"') {
            if (m_text[m_at] != '\\') {
                ++m_at;
                continue;
            }
            flushPlain();
            if (++m_at >= m_text.size()) return std::nullopt;
            std::optional<char16_t> unit = Escape();
            if (!unit) return std::nullopt;
            units += *unit;
            plain = m_at;
        }
        if (m_at >= m_text.size()) return std::nullopt;
        flushPlain();
        ++m_at;
        return platform::Utf16ToUtf8(units);
    }

    std::string_view m_text;
    size_t m_at = 0;
};

// A socket connected to `address`. A name too long for a socket address is reached through
// its folder's descriptor, which keeps the working folder (shared by every thread) untouched.
int Connect(const std::string& address) {
    sockaddr_un socketAddress{};
    socketAddress.sun_family = AF_UNIX;
    std::string path = address;
    int folder = -1;
    if (path.size() >= sizeof socketAddress.sun_path) {
        size_t slash = address.rfind('/');
        if (slash == std::string::npos) return errno = ENAMETOOLONG, -1;
        folder = ::open(address.substr(0, slash).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (folder < 0) return -1;
        path = "/proc/self/fd/" + std::to_string(folder) + address.substr(slash);
        if (path.size() >= sizeof socketAddress.sun_path)
            return ::close(folder), errno = ENAMETOOLONG, -1;
    }
    std::memcpy(socketAddress.sun_path, path.c_str(), path.size() + 1);
    int connection = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int saved = 0;
    if (connection >= 0 && ::connect(connection, reinterpret_cast<sockaddr*>(&socketAddress),
                                     sizeof socketAddress) != 0) {
        saved = errno;
        ::close(connection);
        connection = -1;
    }
    if (folder >= 0) ::close(folder);
    if (saved != 0) errno = saved;
    return connection;
}

bool SendAll(int connection, std::string_view data) {
    while (!data.empty()) {
        ssize_t sent = ::send(connection, data.data(), data.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return false;
        data.remove_prefix(static_cast<size_t>(sent));
    }
    return true;
}

enum class Waited { Line, Ended, Cancelled, TimedOut, Unreachable };

// Reads up to the answer's line end, asking `keepWaiting` between short waits.
Waited ReadAnswerLine(int connection, std::chrono::milliseconds timeout,
                      const std::function<bool()>& keepWaiting, std::string& line) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    char buffer[4096];
    while (line.empty() || line.back() != '\n') {
        if (keepWaiting && !keepWaiting()) return Waited::Cancelled;
        if (timeout.count() > 0 && std::chrono::steady_clock::now() >= deadline) {
            return Waited::TimedOut;
        }
        pollfd waiting{connection, POLLIN, 0};
        int ready = ::poll(&waiting, 1, kPollMilliseconds);
        if (ready < 0 && errno != EINTR) return Waited::Ended;
        if (ready <= 0) continue;
        ssize_t got = ::recv(connection, buffer, sizeof buffer, 0);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return Waited::Ended;
        line.append(buffer, static_cast<size_t>(got));
        if (line.size() > kMaxAnswerBytes) return Waited::Ended;
    }
    return Waited::Line;
}

// Sends `line` to the server at `address` and reads its answer line into `answer`. When the
// server cannot be reached, errno says why.
Waited Exchange(const std::string& address, std::string_view line,
                std::chrono::milliseconds timeout, const std::function<bool()>& keepWaiting,
                std::string& answer) {
    int connection = Connect(address);
    if (connection < 0) return Waited::Unreachable;
    if (!SendAll(connection, line)) {
        int saved = errno;
        ::close(connection);
        errno = saved;
        return Waited::Unreachable;
    }
    Waited waited = ReadAnswerLine(connection, timeout, keepWaiting, answer);
    ::close(connection);
    return waited;
}

platform::RunResult Failed(std::string* message, std::string text) {
    *message = std::move(text);
    return {platform::RunOutcome::Exited, kConverterFailed, {}};
}

}  // namespace

std::string OfficeRequestLine(const OfficeRequest& request) {
    std::string line = "{\"program\": ";
    AppendJsonString(line, request.program);
    line += ", \"input\": ";
    AppendJsonString(line, request.input);
    line += ", \"output\": ";
    AppendJsonString(line, request.output);
    line += ", \"width\": " + std::to_string(request.width);
    line += ", \"height\": " + std::to_string(request.height) + "}\n";
    return line;
}

std::optional<OfficeAnswer> ParseOfficeAnswer(std::string_view line) {
    return AnswerReader(line).Read();
}

platform::RunResult SendOfficeRequest(const std::string& address, const OfficeRequest& request,
                                      std::chrono::milliseconds timeout,
                                      const std::function<bool()>& keepWaiting,
                                      std::string* message) {
    const std::string& program = request.program;
    std::string line;
    switch (Exchange(address, OfficeRequestLine(request), timeout, keepWaiting, line)) {
        case Waited::Unreachable:
            return Failed(message, program + ": the office server cannot be reached: " +
                                       std::strerror(errno));
        case Waited::Cancelled:
            return {platform::RunOutcome::Cancelled, -1, "cancelled"};
        case Waited::TimedOut:
            return {platform::RunOutcome::TimedOut, -1, "timed out"};
        case Waited::Ended:
            return Failed(message, program + ": the office server ended during the conversion");
        case Waited::Line:
            break;
    }
    std::optional<OfficeAnswer> answer = ParseOfficeAnswer(line);
    if (!answer) return Failed(message, program + ": the office server's answer cannot be read");
    *message = std::move(answer->message);
    return {platform::RunOutcome::Exited, answer->status, {}};
}

bool SendOfficeControl(const std::string& address, std::string_view line,
                       std::chrono::milliseconds timeout) {
    std::string answer;
    if (Exchange(address, line, timeout, {}, answer) != Waited::Line) return false;
    std::optional<OfficeAnswer> parsed = ParseOfficeAnswer(answer);
    return parsed && parsed->status == 0;
}

}  // namespace desktop
