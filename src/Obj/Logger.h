#pragma once

#include <ostream>

// The mesh library's one log, written to standard error. It adds nothing of
// its own (no prefix, level or line end): every message carries its own "\n",
// and callers flush where a partial line must show at once.
class CLogger {
public:
    // The single instance, created on first use.
    static CLogger& get();

    template <class T>
    CLogger& operator<<(const T& value) {
        m_stream << value;
        return *this;
    }
    CLogger& operator<<(std::ostream& (*manipulator)(std::ostream&));

    CLogger(const CLogger&) = delete;
    CLogger& operator=(const CLogger&) = delete;

private:
    CLogger();

    // Shares standard error's buffer; its format flags stay the defaults, so
    // floats show six significant digits.
    std::ostream m_stream;
};
