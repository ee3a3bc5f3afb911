#include "desktop/core/WebCommands.h"

#include <sys/resource.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

namespace desktop {

bool IsAcceptableEmail(std::string_view address) {
    return address.size() >= 2 && address.find('@') != std::string_view::npos;
}

std::string PercentEncode(std::string_view text) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                          (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' || c == '~';
        if (unreserved) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string SubscriptionAddress(std::string_view page, std::string_view email) {
    return std::string(page) + PercentEncode(email);
}

namespace {

std::string Trim(std::string text) {
    size_t a = text.find_first_not_of(" \t");
    size_t b = text.find_last_not_of(" \t\r\n");
    if (a == std::string::npos) return {};
    return text.substr(a, b - a + 1);
}

// "key : value" lines of a /proc file, the first occurrence of each key.
std::map<std::string, std::string> ProcFields(const char* path) {
    std::map<std::string, std::string> fields;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        std::string key = Trim(line.substr(0, colon));
        if (!fields.count(key)) fields[key] = Trim(line.substr(colon + 1));
    }
    return fields;
}

std::string Megabytes(long long kilobytes) {
    return std::to_string(kilobytes / 1024) + " MB";
}

long long KiloField(const std::map<std::string, std::string>& fields, const std::string& key) {
    auto it = fields.find(key);
    if (it == fields.end()) return 0;
    return std::atoll(it->second.c_str());
}

std::string OsReleaseField(const std::string& key) {
    std::ifstream in("/etc/os-release");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key + "=", 0) != 0) continue;
        std::string value = line.substr(key.size() + 1);
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        return value;
    }
    return {};
}

}  // namespace

std::vector<SystemItem> GatherSystemInformation() {
    std::vector<SystemItem> items;
    auto cpu = ProcFields("/proc/cpuinfo");
    auto memory = ProcFields("/proc/meminfo");
    auto status = ProcFields("/proc/self/status");
    struct utsname names {};
    uname(&names);

    long processors = sysconf(_SC_NPROCESSORS_ONLN);
    std::string level = cpu.count("cpu family") ? cpu["cpu family"] : std::string(names.machine);
    if (cpu.count("model")) level += ", model " + cpu["model"];
    std::string maker = cpu.count("vendor_id")         ? cpu["vendor_id"]
                        : cpu.count("CPU implementer") ? cpu["CPU implementer"]
                                                       : "unknown";
    std::string speed = cpu.count("cpu MHz") ? cpu["cpu MHz"] + " MHz" : "unknown";
    if (cpu.count("model name")) maker += " (" + cpu["model name"] + ")";

    long long total = KiloField(memory, "MemTotal");
    long long available = KiloField(memory, "MemAvailable");
    long long swap = KiloField(memory, "SwapTotal");
    std::string used = status.count("VmRSS") ? Megabytes(KiloField(status, "VmRSS")) : "unknown";

    std::string osName = OsReleaseField("PRETTY_NAME");
    if (osName.empty()) osName = names.sysname;
    std::string build = names.version;

    items.emplace_back("Product Version", std::string(kProductVersion));
    items.emplace_back("Processors", std::to_string(processors));
    items.emplace_back("Processor Level", level);
    items.emplace_back("CPU Manufacturer", maker);
    items.emplace_back("CPU Speed", speed);
    items.emplace_back("Application Memory Used", used);
    items.emplace_back("Total Physical Memory", Megabytes(total));
    items.emplace_back("Physical Memory Available", Megabytes(available));
    items.emplace_back("Total Virtual Memory", Megabytes(total + swap));
    items.emplace_back("Operating System", osName);
    items.emplace_back("OS Version", std::string(names.sysname) + " " + names.release);
    items.emplace_back("Service Pack", "none");
    items.emplace_back("Build", build);
    return items;
}

std::string SupportMailBody(const std::vector<SystemItem>& items) {
    std::string body = "\n\n" + std::string(40, '-') + "\n";
    for (const auto& [name, value] : items) body += name + " : " + value + "\n";
    return body;
}

std::string SupportMailAddress(const std::vector<SystemItem>& items) {
    return "mailto:" + std::string(kSupportMailbox) + "?subject=" + PercentEncode(kSupportSubject) +
           "&body=" + PercentEncode(SupportMailBody(items));
}

}  // namespace desktop
