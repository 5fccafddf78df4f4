#include "Exception.h"

CException::CException(const std::string& message) : m_message(message) {}

const char* CException::getMessage() const { return m_message.c_str(); }

CFileNotFoundException::CFileNotFoundException(const std::string& fileName)
    : CException("file \"" + fileName + "\" not found") {}

CEmptyFileException::CEmptyFileException() : CException("empty file") {}

CParseErrorException::CParseErrorException(const std::string& fileName, int line)
    : CException("parse error in file \"" + fileName + "\""),
      m_line(line),
      m_fullMessage(std::string(CException::getMessage()) + " (line " + std::to_string(m_line) +
                    ")") {}

const char* CParseErrorException::getMessage() const { return m_fullMessage.c_str(); }

CImageLoadException::CImageLoadException(const std::string& reason)
    : CException("failed to load image (\"" + reason + "\")") {}
