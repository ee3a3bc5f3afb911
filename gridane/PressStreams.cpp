#include "gridane/PressStreams.h"

#include <cstdlib>
#include <ctime>

#include "gridane/ContentStreams.h"
#include "gridane/PressContent.h"
#include "gridane/PressSheet.h"
#include "platform/Text.h"

namespace gridane {
namespace {

int WriteStream(ImpositionJob& job, std::string_view content) {
    int number = job.output.BeginNewObject();
    job.output.Write(StreamObjectText(number, content));
    return number;
}

// The day of the run; SOURCE_DATE_EPOCH (seconds, UTC) stands for the clock when it is set, so
// that a build or a test makes the same file twice.
std::string RunDate() {
    std::time_t now = std::time(nullptr);
    bool utc = false;
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) {
        char* end = nullptr;
        long long seconds = std::strtoll(epoch, &end, 10);
        if (end != epoch && *end == '\0' && seconds >= 0) {
            now = static_cast<std::time_t>(seconds);
            utc = true;
        }
    }
    std::tm day{};
    if ((utc ? gmtime_r(&now, &day) : localtime_r(&now, &day)) == nullptr) return "?";
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d", &day);
    return text;
}

std::string WithoutExtension(std::string_view name) {
    size_t dot = name.rfind('.');
    return std::string(dot == std::string_view::npos || dot == 0 ? name : name.substr(0, dot));
}

std::string Reference(int number) {
    return " " + std::to_string(number) + " 0 R";
}

}  // namespace

void NotePressNames(ImpositionJob& job) {
    if (job.settings.slug.empty()) return;
    job.press.file = std::string(platform::FileNamePart(job.inputName));
    job.press.job = WithoutExtension(platform::FileNamePart(job.outputName));
    job.press.date = RunDate();
}

std::string SlugFontReference(ImpositionJob& job, const PlannedSide& side) {
    if (!side.press.slug) return {};
    if (job.press.font == 0) {
        job.press.font = job.output.BeginNewObject();
        job.output.Write(std::to_string(job.press.font) + " 0 obj\n" + std::string(kSlugFontDict) +
                         "\nendobj\n");
    }
    return std::to_string(job.press.font) + " 0 R";
}

std::string WritePressStreams(ImpositionJob& job, const PlannedSide& side,
                              std::string_view fontName) {
    const PressItems& items = side.press;
    std::string references;
    if (!items.targets.empty() || items.patches > 0) {
        if (job.press.marksNumber == 0 || !(job.press.marks == items)) {
            job.press.marks = items;
            job.press.marksNumber = WriteStream(job, PressMarksContent(items));
        }
        references += Reference(job.press.marksNumber);
    }
    if (items.slug && !fontName.empty() && !items.label.empty()) {
        references += Reference(WriteStream(job, SlugContent(items, items.label, fontName)));
    } else if (items.slug && !fontName.empty()) {
        SlugFields fields{job.press.file,
                          job.press.date,
                          job.press.job,
                          side.sheetNumber,
                          static_cast<int>((job.plan.sides.size() + 1) / 2),
                          side.back};
        std::string text = ExpandSlug(job.settings.slug, fields);
        references += Reference(WriteStream(job, SlugContent(items, text, fontName)));
    }
    return references.empty() ? references : references + " ";
}

}  // namespace gridane
