#pragma once

#include <exception>
#include <string>

// Root of the mesh library's failures. what() keeps the standard library's
// generic text; the message is read with getMessage().
class CException : public std::exception {
public:
    explicit CException(const std::string& message);

    virtual const char* getMessage() const;

private:
    std::string m_message;
};

// file "NAME" not found
class CFileNotFoundException : public CException {
public:
    explicit CFileNotFoundException(const std::string& fileName);
};

// empty file
class CEmptyFileException : public CException {
public:
    CEmptyFileException();
};

// parse error in file "NAME" (line N)
class CParseErrorException : public CException {
public:
    // The line goes into m_line, not into the stored message.
    CParseErrorException(const std::string& fileName, int line);

    // The stored message followed by " (line N)".
    const char* getMessage() const override;

private:
    int m_line;
    std::string m_fullMessage;  // what getMessage() returns, owned here
};

// failed to load image ("REASON"), the reason being the image library's text
class CImageLoadException : public CException {
public:
    explicit CImageLoadException(const std::string& reason);
};
