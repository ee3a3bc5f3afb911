#include "desktop/core/BatchProgress.h"

namespace desktop {

namespace {

std::string DurationText(std::chrono::seconds duration) {
    long long seconds = duration.count();
    if (seconds < 60) return std::to_string(seconds) + " s";
    long long minutes = seconds / 60;
    if (minutes < 60)
        return std::to_string(minutes) + " min " + std::to_string(seconds % 60) + " s";
    return std::to_string(minutes / 60) + " h " + std::to_string(minutes % 60) + " min";
}

}  // namespace

std::string BatchProgressText(const BatchProgress& progress) {
    if (progress.last && !progress.outcome.empty()) return progress.outcome;
    std::string text =
        std::to_string(progress.done) + " of " + std::to_string(progress.total) + " rows done";
    if (progress.left && !progress.last && progress.done < progress.total) {
        text += ", about " + DurationText(*progress.left) + " left";
    }
    return text;
}

BatchProgress BatchClock::At(int done, Clock::time_point now) const {
    BatchProgress progress{done, m_total, std::nullopt};
    if (done <= 0) return progress;
    auto elapsed = std::chrono::duration_cast<std::chrono::duration<double>>(now - m_start);
    double perRow = elapsed.count() / done;
    double left = perRow * (m_total - done);
    progress.left = std::chrono::seconds(static_cast<long long>(left + 0.5));
    return progress;
}

}  // namespace desktop
