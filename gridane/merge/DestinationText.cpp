#include "gridane/merge/DestinationText.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include "pdf/CPdfRawEdit.h"
#include "pdf/CPdfRawTokens.h"
#include "platform/ClassicNumbers.h"

namespace gridane {

namespace {

enum class Axis { X, Y, Other };

// Which coordinate each argument of a fit is.
std::optional<std::vector<Axis>> AxesOf(std::string_view fit) {
    if (fit == "XYZ") return std::vector<Axis>{Axis::X, Axis::Y, Axis::Other};
    if (fit == "FitH" || fit == "FitBH") return std::vector<Axis>{Axis::Y};
    if (fit == "FitV" || fit == "FitBV") return std::vector<Axis>{Axis::X};
    if (fit == "FitR") return std::vector<Axis>{Axis::X, Axis::Y, Axis::X, Axis::Y};
    if (fit == "Fit" || fit == "FitB") return std::vector<Axis>{};
    return std::nullopt;
}

std::string Number(double value) {
    platform::ClassicNumbers decimalPoint;
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

std::optional<double> ParseNumber(std::string_view text) {
    std::string copy(text);
    char* end = nullptr;
    platform::ClassicNumbers decimalPoint;
    double value = std::strtod(copy.c_str(), &end);
    if (copy.empty() || end != copy.c_str() + copy.size()) return std::nullopt;
    return value;
}

double Place(double value, Axis axis, const PagePlacement& p) {
    double origin = axis == Axis::X ? p.originX : p.originY;
    return p.turned ? origin - p.scale * value : origin + p.scale * value;
}

std::string RectText(const DestinationTarget& target, double x1, double y1, double x2, double y2) {
    const PagePlacement& p = target.placement;
    double a = Place(x1, Axis::X, p), b = Place(x2, Axis::X, p);
    double c = Place(y1, Axis::Y, p), d = Place(y2, Axis::Y, p);
    return " /FitR " + Number(std::min(a, b)) + " " + Number(std::min(c, d)) + " " +
           Number(std::max(a, b)) + " " + Number(std::max(c, d));
}

// The destination array that opens at token `k`: its fit name token and the index of its "]".
struct DestinationTokens {
    RefToken page;
    size_t fit = 0;
    size_t close = 0;
};

std::optional<DestinationTokens> DestinationAt(std::string_view text,
                                               const std::vector<PdfToken>& tokens, size_t k) {
    if (tokens[k].kind != PdfTokenKind::ArrayOpen) return std::nullopt;
    auto page = RefAtToken(text, tokens, k + 1);
    size_t fit = k + 4;
    if (!page || fit >= tokens.size() || tokens[fit].kind != PdfTokenKind::Name) {
        return std::nullopt;
    }
    std::string_view name =
        text.substr(tokens[fit].begin + 1, tokens[fit].end - tokens[fit].begin - 1);
    std::optional<std::vector<Axis>> axes = AxesOf(name);
    if (!axes) return std::nullopt;
    for (size_t m = fit + 1; m < tokens.size(); ++m) {
        if (tokens[m].kind == PdfTokenKind::ArrayClose) {
            // Some writers leave out the trailing nulls of /XYZ; any other count is no
            // destination of this fit.
            size_t count = m - fit - 1;
            bool fits = name == "XYZ" ? count <= axes->size() : count == axes->size();
            if (!fits) return std::nullopt;
            return DestinationTokens{*page, fit, m};
        }
        if (tokens[m].kind != PdfTokenKind::Word) return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace

std::string PlacedDestinationText(const DestinationTarget& target, std::string_view fit,
                                  const std::vector<std::string_view>& arguments) {
    std::string text =
        "[" + std::to_string(target.number) + " " + std::to_string(target.generation) + " R";
    const auto& v = target.visible;
    std::optional<std::vector<Axis>> axes = AxesOf(fit);
    if (axes && axes->empty()) return text + RectText(target, v[0], v[1], v[2], v[3]) + "]";
    if (fit == "FitR" && arguments.size() == 4) {
        std::array<std::optional<double>, 4> n;
        for (size_t k = 0; k < 4; ++k) n[k] = ParseNumber(arguments[k]);
        if (n[0] && n[1] && n[2] && n[3])
            return text + RectText(target, *n[0], *n[1], *n[2], *n[3]) + "]";
    }
    text += " /";
    text += fit;
    for (size_t k = 0; k < arguments.size(); ++k) {
        Axis axis = axes && k < axes->size() ? (*axes)[k] : Axis::Other;
        std::optional<double> value = ParseNumber(arguments[k]);
        text += " ";
        text += axis != Axis::Other && value ? Number(Place(*value, axis, target.placement))
                                             : std::string(arguments[k]);
    }
    return text + "]";
}

std::string RewriteDestinations(std::string_view text, const DestinationPages& pages) {
    std::vector<PdfToken> tokens = TokenizePdfText(text);
    std::string result;
    size_t copied = 0;
    for (size_t k = 0; k < tokens.size(); ++k) {
        std::optional<DestinationTokens> found = DestinationAt(text, tokens, k);
        if (!found || !pages.isPage(found->page.number)) {
            std::optional<RefToken> other =
                pages.otherReference ? RefAtToken(text, tokens, k) : std::nullopt;
            if (!other) continue;
            result.append(text.substr(copied, other->begin - copied));
            result += pages.otherReference(*other);
            copied = other->end;
            k += 2;
            continue;
        }
        result.append(text.substr(copied, tokens[k].begin - copied));
        if (const DestinationTarget* target = pages.targetOf(found->page.number)) {
            std::vector<std::string_view> arguments;
            for (size_t m = found->fit + 1; m < found->close; ++m) {
                arguments.push_back(text.substr(tokens[m].begin, tokens[m].end - tokens[m].begin));
            }
            const PdfToken& fit = tokens[found->fit];
            result += PlacedDestinationText(
                *target, text.substr(fit.begin + 1, fit.end - fit.begin - 1), arguments);
        } else {
            result += "null";
        }
        copied = tokens[found->close].end;
        k = found->close;
    }
    if (copied == 0) return std::string(text);
    result.append(text.substr(copied));
    return result;
}

}  // namespace gridane
