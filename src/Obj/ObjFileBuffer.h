#pragma once

#include <cstdio>
#include <streambuf>
#include <vector>

// An OBJ file as a buffered input stream that knows its read position
// without asking the system, since the progress report wants it at every
// statement, and that lets the reader look at the buffered characters
// directly. Owns the file and closes it.
class CObjFileBuffer final : public std::streambuf {
public:
    explicit CObjFileBuffer(std::FILE* file);
    ~CObjFileBuffer() override;
    CObjFileBuffer(const CObjFileBuffer&) = delete;
    CObjFileBuffer& operator=(const CObjFileBuffer&) = delete;

    // Offset of the next character to be read.
    std::streamoff position() const { return m_bufferEnd - (egptr() - gptr()); }
    // The buffered characters not read yet, and the step past some of them.
    const char* next() const { return gptr(); }
    const char* end() const { return egptr(); }
    void consume(const char* to) { gbump(static_cast<int>(to - gptr())); }

protected:
    int_type underflow() override;

private:
    std::FILE* m_file;
    std::vector<char> m_buffer;
    std::streamoff m_bufferEnd = 0;  // file offset just past the buffered characters
};
