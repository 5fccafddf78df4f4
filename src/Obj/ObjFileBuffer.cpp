#include "ObjFileBuffer.h"

CObjFileBuffer::CObjFileBuffer(std::FILE* file) : m_file(file), m_buffer(1 << 16) {}

CObjFileBuffer::~CObjFileBuffer() { std::fclose(m_file); }

CObjFileBuffer::int_type CObjFileBuffer::underflow() {
    const std::size_t count = std::fread(m_buffer.data(), 1, m_buffer.size(), m_file);
    if (count == 0) {
        return traits_type::eof();
    }
    m_bufferEnd += static_cast<std::streamoff>(count);
    setg(m_buffer.data(), m_buffer.data(), m_buffer.data() + count);
    return traits_type::to_int_type(m_buffer[0]);
}
