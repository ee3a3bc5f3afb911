// A conversion asked of the office server (tools/office_service.py) straight from this
// program. The text, word-processor and spreadsheet converters do nothing but forward their
// arguments to the server as one request; when the server and those converters belong to one
// installation, sending that request here saves starting a converter program per document.
//
// The protocol is one JSON line each way on the server's socket: the request names the program
// (which the server's messages begin with), the input, the output and the page size; the answer
// holds the converter's exit status and message. File names that are not UTF-8 travel with
// each undecodable byte as the escape \udcXX, as Python's file-name decoding gives them.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/RunAndWait.h"

namespace desktop {

struct OfficeRequest {
    std::string program;  // the converter's name, e.g. "quillet"
    std::string input;    // absolute file names
    std::string output;
    int width = 0;  // points; 0 keeps the document's own page size
    int height = 0;

    bool operator==(const OfficeRequest&) const = default;
};

// The request as the line the server reads (ending with '\n').
std::string OfficeRequestLine(const OfficeRequest& request);

struct OfficeAnswer {
    int status = 0;
    std::string message;  // bytes as the server's names hold them
};

// The server's answer line read back; nullopt when it is not one.
std::optional<OfficeAnswer> ParseOfficeAnswer(std::string_view line);

// Sends `request` to the server listening at `address` and waits for its answer, asking
// `keepWaiting` every few tens of milliseconds; `timeout` 0 waits without a limit. The result
// reads as the converter program's would: Exited with the server's status (the message in
// `message`), Cancelled or TimedOut. A server that cannot be reached, ends without answering or
// answers something else gives the converter's failure status with a message saying so.
platform::RunResult SendOfficeRequest(const std::string& address, const OfficeRequest& request,
                                      std::chrono::milliseconds timeout,
                                      const std::function<bool()>& keepWaiting,
                                      std::string* message);

// Sends one control line (ending with '\n') to the server's socket at `address` and waits up
// to `timeout` for its answer; whether the server answered with status 0.
bool SendOfficeControl(const std::string& address, std::string_view line,
                       std::chrono::milliseconds timeout);

}  // namespace desktop
