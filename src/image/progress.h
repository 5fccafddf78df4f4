#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <iosfwd>
#include <mutex>
#include <string>

// One updating line on standard error for renders that last: the share done,
// rays per second and the time left. It shows only once the work has run for
// the delay, is redrawn a few times a second, and is erased by finish() or
// destruction. advance() may be called from several threads at once.
class ProgressLine {
public:
    // enabled false: writes nothing at all. total: units of work in the render.
    ProgressLine(std::ostream& out, bool enabled, std::uint64_t total, double delaySeconds = 1.0);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Records finished units and the rays they took; may redraw the line.
    void advance(std::uint64_t units, std::uint64_t rays);
    void finish();

private:
    using Clock = std::chrono::steady_clock;

    std::ostream& m_out;
    const bool m_enabled;
    const std::uint64_t m_total;
    const Clock::time_point m_start;
    std::atomic<std::uint64_t> m_done{0};
    std::atomic<std::uint64_t> m_rays{0};
    std::atomic<std::int64_t> m_nextDrawNs;  // since the start
    std::mutex m_drawing;                    // guards the terminal and m_shown
    std::size_t m_shown = 0;                 // characters of the line on screen
};

// A count in units, thousands or millions: 812, 81.2k, 8.1M with one
// decimal of the millions, 8.12M with two.
std::string countText(double value, int millionsDecimals);
// The line's text: "Tracing 42%, 1.3M rays/s, 12 s left"; a negative time
// left is shown as unknown.
std::string progressText(double fraction, double raysPerSecond, double secondsLeft);
