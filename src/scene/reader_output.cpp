#include "scene/reader_output.h"

#include <algorithm>
#include <cstring>
#include <iostream>

#include "scene/number_text.h"

OutputLine& OutputLine::appendLong(std::string_view text) {
    writeOut();
    if (text.size() >= kCapacity) {
        std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
        return *this;
    }
    std::memcpy(m_text + m_size, text.data(), text.size());
    m_size += text.size();
    return *this;
}

OutputLine& OutputLine::operator<<(double value) {
    if (m_size + kNumberTextSize >= kCapacity) {
        writeOut();
    }
    m_size = static_cast<std::size_t>(format_number(value, m_text + m_size) - m_text);
    return *this;
}

OutputLine& OutputLine::operator<<(const Vector3& v) {
    if (m_size + kVectorTextSize >= kCapacity) {
        writeOut();
    }
    m_size = static_cast<std::size_t>(format_vector(v, m_text + m_size) - m_text);
    return *this;
}

void OutputLine::writeOut() {
    const auto size = static_cast<std::streamsize>(m_size);
    m_size = 0;
    // What write does for a good stream with no tied stream to flush, no
    // flush after each output and no exceptions to throw, without building
    // its sentry for every line.
    std::streambuf* const buffer = std::cout.rdbuf();
    if (std::cout.good() && std::cout.tie() == nullptr &&
        (std::cout.flags() & std::ios::unitbuf) == 0 &&
        std::cout.exceptions() == std::ios::goodbit && buffer != nullptr) {
        bool written = false;
        try {
            written = buffer->sputn(m_text, size) == size;
        } catch (...) {  // as write takes a failing buffer
        }
        if (!written) {
            std::cout.setstate(std::ios::badbit);
        }
        return;
    }
    std::cout.write(m_text, size);
}

HeldOutput::HeldOutput(std::ostream& stream) : m_stream(stream) {
    if (stream.good() && stream.rdbuf() != nullptr) {
        m_original = stream.rdbuf(this);
        // The store is made before the scene's objects: grown between them,
        // it left holes in the heap that raised the program's peak memory.
        m_held.resize(2 * kBlock);
    }
}

HeldOutput::~HeldOutput() {
    if (m_original != nullptr) {
        const bool passed = passOn();
        m_stream.rdbuf(m_original);
        if (!passed || m_failed) {
            m_stream.setstate(std::ios::badbit);
        }
    }
}

void HeldOutput::passOnIfLarge() {
    if (m_size >= kBlock) {
        m_failed = !passOn() || m_failed;
    }
}

bool HeldOutput::passOn() {
    const auto size = static_cast<std::streamsize>(m_size);
    const bool passed = size == 0 || m_original->sputn(m_held.data(), size) == size;
    m_size = 0;
    return passed;
}

HeldOutput::int_type HeldOutput::overflow(int_type c) {
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        const char text = traits_type::to_char_type(c);
        hold(&text, 1);
    }
    return traits_type::not_eof(c);
}

std::streamsize HeldOutput::xsputn(const char* text, std::streamsize count) {
    hold(text, static_cast<std::size_t>(count));
    return count;
}

void HeldOutput::hold(const char* text, std::size_t count) {
    if (count == 0) {
        return;
    }
    if (count > m_held.size() - m_size) {
        m_held.resize(std::max(2 * m_held.size(), std::max(m_size + count, 2 * kBlock)));
    }
    std::memcpy(m_held.data() + m_size, text, count);
    m_size += count;
}
