// A conversion request sent straight to the office server: the line it writes, and what each
// kind of answer (or none) from a listening socket becomes.
#include "desktop/core/OfficeRequest.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <thread>

#include "testing/Scratch.h"

namespace {

using desktop::OfficeRequest;
using platform::RunOutcome;
using namespace std::chrono_literals;

// Stands in for the server: takes one connection, keeps the request line, then answers
// `answer`; an empty answer closes without one, "hold" keeps the connection until the client
// leaves.
class OneAnswerServer {
  public:
    OneAnswerServer(const std::string& address, std::string answer) : m_answer(std::move(answer)) {
        m_listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un socketAddress{};
        socketAddress.sun_family = AF_UNIX;
        // Bound from its folder: the test's folder may be deeper than a socket address holds.
        std::string folder = address.substr(0, address.rfind('/'));
        std::string name = address.substr(address.rfind('/') + 1);
        std::strcpy(socketAddress.sun_path, name.c_str());
        auto old = std::filesystem::current_path();
        std::filesystem::current_path(folder);
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&socketAddress), sizeof socketAddress);
        std::filesystem::current_path(old);
        ::listen(m_listener, 1);
        m_thread = std::thread([this] { Serve(); });
    }
    ~OneAnswerServer() {
        if (m_thread.joinable()) m_thread.join();
        ::close(m_listener);
    }
    const std::string& Request() {
        if (m_thread.joinable()) m_thread.join();
        return m_request;
    }

  private:
    void Serve() {
        int connection = ::accept(m_listener, nullptr, nullptr);
        char c;
        while (::recv(connection, &c, 1, 0) == 1 && c != '\n') m_request += c;
        if (m_answer == "hold") {
            while (::recv(connection, &c, 1, 0) > 0) {
            }
        } else {
            ::send(connection, m_answer.data(), m_answer.size(), MSG_NOSIGNAL);
        }
        ::close(connection);
    }

    std::string m_answer;
    std::string m_request;
    int m_listener = -1;
    std::thread m_thread;
};

TEST(OfficeRequestTest, NamesTravelAsAsciiJsonWithUndecodableBytesEscaped) {
    OfficeRequest request{"quillet", "/in/\"a\\b\"\n\xc3\xa9\xff.docx", "/t/out.pdf", 595, 842};
    EXPECT_EQ(
        desktop::OfficeRequestLine(request),
        "{\"program\": \"quillet\", \"input\": \"/in/\\\"a\\\\b\\\"\\u000a\\u00e9\\udcff.docx\", "
        "\"output\": \"/t/out.pdf\", \"width\": 595, \"height\": 842}\n");
}

TEST(OfficeRequestTest, EachAnswerBecomesTheConvertersOutcome) {
    struct Case {
        const char* answer;
        std::chrono::milliseconds timeout;
        bool cancel;
        RunOutcome outcome;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {"{\"status\": 0, \"message\": \"\"}\n", 0ms, false, RunOutcome::Exited, 0, ""},
        {"{\"status\": 1, \"message\": \"quillet: /x/\\u00e9\\udcff.doc is empty\"}\n", 0ms, false,
         RunOutcome::Exited, 1, "quillet: /x/\xc3\xa9\xff.doc is empty"},
        {"{\"message\": \"\\ud83d\\ude00 \\\"q\\\"\", \"status\": 3}\n", 0ms, false,
         RunOutcome::Exited, 3, "\xf0\x9f\x98\x80 \"q\""},
        {"{\"status\": 0}\n", 0ms, false, RunOutcome::Exited, 1,
         "quillet: the office server's answer cannot be read"},
        {"{\"status\": 0, \"message\": \"x\"} [\n", 0ms, false, RunOutcome::Exited, 1,
         "quillet: the office server's answer cannot be read"},
        {"", 0ms, false, RunOutcome::Exited, 1,
         "quillet: the office server ended during the conversion"},
        {"hold", 200ms, false, RunOutcome::TimedOut, -1, ""},
        {"hold", 0ms, true, RunOutcome::Cancelled, -1, ""},
    };
    testing_support::ScratchDir folder;
    // Deeper than a socket address holds: the client reaches it through its folder.
    std::string deep = folder.File(std::string(60, 'd') + "/" + std::string(60, 'e'));
    std::filesystem::create_directories(deep);
    for (const Case& c : cases) {
        std::string address = deep + "/requests";
        std::filesystem::remove(address);
        OneAnswerServer server(address, c.answer);
        std::string message;
        platform::RunResult run = desktop::SendOfficeRequest(
            address, {"quillet", "/x/a.doc", "/t/a.pdf", 0, 0}, c.timeout,
            [&c] { return !c.cancel; }, &message);
        EXPECT_EQ(run.outcome, c.outcome) << c.answer;
        EXPECT_EQ(run.exitCode, c.status) << c.answer;
        EXPECT_EQ(message, c.message) << c.answer;
        EXPECT_EQ(server.Request().rfind("{\"program\": \"quillet\"", 0), 0u) << c.answer;
    }
    std::string message;
    platform::RunResult none = desktop::SendOfficeRequest(
        folder.File("none"), {"brannock", "/x/a.ods", "/t/a.pdf", 0, 0}, 0ms, {}, &message);
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(message, "brannock: the office server cannot be reached: No such file or directory");
}

}  // namespace
