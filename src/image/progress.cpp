#include "image/progress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ostream>

namespace {

const std::int64_t kRedrawNs = 250000000;

}  // namespace

ProgressLine::ProgressLine(std::ostream& out, bool enabled, std::uint64_t total,
                           double delaySeconds)
    : m_out(out),
      m_enabled(enabled),
      m_total(total),
      m_start(Clock::now()),
      m_nextDrawNs(static_cast<std::int64_t>(delaySeconds * 1e9)) {}

ProgressLine::~ProgressLine() { finish(); }

void ProgressLine::advance(std::uint64_t units, std::uint64_t rays) {
    const std::uint64_t done = m_done.fetch_add(units) + units;
    const std::uint64_t raysSoFar = m_rays.fetch_add(rays) + rays;
    if (!m_enabled) {
        return;
    }
    const std::int64_t elapsedNs =
        std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - m_start).count();
    if (elapsedNs < m_nextDrawNs.load()) {
        return;
    }
    // Whoever holds the terminal draws; the others go back to work.
    std::unique_lock<std::mutex> lock(m_drawing, std::try_to_lock);
    if (!lock.owns_lock()) {
        return;
    }
    m_nextDrawNs.store(elapsedNs + kRedrawNs);
    const double seconds = static_cast<double>(elapsedNs) * 1e-9;
    const double fraction =
        m_total > 0 ? static_cast<double>(done) / static_cast<double>(m_total) : 1.0;
    const double left = fraction > 0 ? seconds * (1 - fraction) / fraction : -1.0;
    const std::string text = progressText(fraction, static_cast<double>(raysSoFar) / seconds, left);
    // Spaces cover what is left of a longer previous line.
    const std::size_t width = std::max(text.size(), m_shown);
    m_out << '\r' << text << std::string(width - text.size(), ' ') << std::flush;
    m_shown = width;
}

void ProgressLine::finish() {
    std::lock_guard<std::mutex> lock(m_drawing);
    if (m_shown > 0) {
        m_out << '\r' << std::string(m_shown, ' ') << '\r' << std::flush;
        m_shown = 0;
    }
}

std::string countText(double value, int millionsDecimals) {
    char text[32];
    if (value >= 1e6) {
        std::snprintf(text, sizeof text, "%.*fM", millionsDecimals, value / 1e6);
    } else if (value >= 1e3) {
        std::snprintf(text, sizeof text, "%.1fk", value / 1e3);
    } else {
        std::snprintf(text, sizeof text, "%.0f", value);
    }
    return text;
}

std::string progressText(double fraction, double raysPerSecond, double secondsLeft) {
    const std::string rate = countText(raysPerSecond, 1);
    char left[32];
    if (secondsLeft >= 0) {
        std::snprintf(left, sizeof left, "%.0f s left", std::ceil(secondsLeft));
    } else {
        std::snprintf(left, sizeof left, "time left unknown");
    }
    char text[96];
    std::snprintf(text, sizeof text, "Tracing %.0f%%, %s rays/s, %s", std::floor(fraction * 100),
                  rate.c_str(), left);
    return text;
}
