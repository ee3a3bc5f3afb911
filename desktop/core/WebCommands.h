// The Help menu's web and mail commands as plain data and functions (no window, no Qt): the
// project's own addresses, the e-mail check of the "Updates & News by Email" dialog, and the
// support mail with the system information items in their fixed order, gathered from the system.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace desktop {

// The product's own pages, for the Help menu's web items.
inline constexpr std::string_view kHomepageAddress = "https://velmora.example.org/";
inline constexpr std::string_view kVideosAddress = "https://velmora.example.org/how-to/";
inline constexpr std::string_view kForumAddress = "https://velmora.example.org/forum/";
inline constexpr std::string_view kProductListAddress =
    "https://velmora.example.org/subscribe?list=velmora-de&email=";
inline constexpr std::string_view kNewsletterAddress =
    "https://velmora.example.org/subscribe?list=corvell-news&email=";
inline constexpr std::string_view kSupportMailbox = "support@velmora.example.org";
inline constexpr std::string_view kSupportSubject = "Velmora DE";
inline constexpr std::string_view kProductVersion = "1.23";

inline constexpr std::string_view kEmailDialogTitle = "Updates & News by Email";
inline constexpr std::string_view kEmailPrompt =
    "Please enter your email address, for example: name@example.com";

// "&Submit" accepts an address of at least two characters that holds an at sign.
bool IsAcceptableEmail(std::string_view address);

// The subscription page's address with the typed address appended (percent-encoded, so that
// the address stays one query value).
std::string SubscriptionAddress(std::string_view page, std::string_view email);

// One system information item: its name and value.
using SystemItem = std::pair<std::string, std::string>;

// The items of the support mail, in this order: "Product Version", "Processors",
// "Processor Level", "CPU Manufacturer", "CPU Speed", "Application Memory Used", "Total
// Physical Memory", "Physical Memory Available", "Total Virtual Memory", "Operating System",
// "OS Version", "Service Pack", "Build". Read from /proc and uname.
std::vector<SystemItem> GatherSystemInformation();

// The mail body: a line of dashes, then one "name : value" line per item.
std::string SupportMailBody(const std::vector<SystemItem>& items);

// The "mailto:" address of the support mail: mailbox, subject and body, percent-encoded.
std::string SupportMailAddress(const std::vector<SystemItem>& items);

// Percent-encodes everything but unreserved characters (RFC 3986).
std::string PercentEncode(std::string_view text);

}  // namespace desktop
