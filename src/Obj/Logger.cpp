#include "Logger.h"

#include <iostream>

CLogger& CLogger::get() {
    static CLogger theLogger;
    return theLogger;
}

CLogger::CLogger() : m_stream(std::cerr.rdbuf()) {}

CLogger& CLogger::operator<<(std::ostream& (*manipulator)(std::ostream&)) {
    m_stream << manipulator;
    return *this;
}
