#include "parser.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <locale>
#include <sstream>

namespace {

const char* const delimiters = " \n\t<>,{}";

// Tokens are whatever the file holds: a carriage return or an escape
// sequence would garble the message on a terminal, and a token of megabytes
// would bury it. Control characters are shown as escapes (UTF-8 text stays
// as it is), and only the start of a long token is shown.
std::string printable(const std::string& token) {
    const std::string::size_type shown = 64;
    std::string text;
    for (std::string::size_type i = 0; i < token.size() && i < shown; ++i) {
        const auto c = static_cast<unsigned char>(token[i]);
        if (c == '\r') {
            text += "\\r";
        } else if (c < 0x20 || c == 0x7f) {
            const char* const hex = "0123456789abcdef";
            text += "\\x";
            text += hex[c >> 4];
            text += hex[c & 0xf];
        } else {
            text += token[i];
        }
    }
    if (token.size() > shown) {
        text += "... (" + std::to_string(token.size()) + " characters)";
    }
    return text;
}

std::string describe(const std::string& condition, const std::string& token) {
    std::string text = "fatal scene error: condition '" + condition + "' failed";
    if (!token.empty()) {
        text += " at token \"" + printable(token) + "\"";
    }
    return text;
}

}  // namespace

SceneError::SceneError(const std::string& condition, const std::string& token)
    : std::runtime_error(describe(condition, token)) {}

SceneError::SceneError(const std::string& message) : std::runtime_error(message) {}

void tokenize_line(const std::string& str, std::deque<std::string>& tokens) {
    std::string::size_type lastPos = str.find_first_not_of(delimiters, 0);
    std::string::size_type pos = str.find_first_of(delimiters, lastPos);
    while (pos != std::string::npos || lastPos != std::string::npos) {
        std::string token = str.substr(lastPos, pos - lastPos);
        // A comment starts only at the beginning of a token.
        if (token.size() > 1 && token[0] == '/' && token[1] == '/') {
            return;
        }
        tokens.push_back(std::move(token));
        lastPos = str.find_first_not_of(delimiters, pos);
        pos = str.find_first_of(delimiters, lastPos);
    }
}

void tokenize_file(const std::string& fileName, std::deque<std::string>& tokens) {
    // A directory opens as a stream but never reads; say so instead.
    struct stat info;
    if (stat(fileName.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        throw SceneError("cannot read scene file: " + std::string(std::strerror(EISDIR)));
    }
    std::ifstream in(fileName.c_str());
    if (!in) {
        throw SceneError("cannot open scene file: " + std::string(std::strerror(errno)));
    }
    tokenize_stream(in, tokens);
}

void tokenize_stream(std::istream& in, std::deque<std::string>& tokens) {
    std::string str;
    while (std::getline(in, str)) {
        tokenize_line(str, tokens);
    }
    if (in.bad()) {
        throw SceneError("cannot read scene file: " + std::string(std::strerror(errno)));
    }
}

SceneError SceneError::endOfFile() {
    return SceneError(describe("!tokens.empty()", "") +
                      ": the file ended in the middle of a statement");
}

void drop_front(std::deque<std::string>& tokens) {
    if (tokens.empty()) {
        throw SceneError::endOfFile();
    }
    tokens.pop_front();
}

// The by-value parameter is the reader's published signature.
double Parser::parse_double(std::string token) {  // NOLINT(performance-unnecessary-value-param)
    std::stringstream ss(token, std::ios::in | std::ios::out);
    ss.imbue(std::locale::classic());
    double value = 0;
    ss >> value;
    if (!ss) {
        throw SceneError("ss", token);
    }
    return value;
}

double Parser::parse_double(std::deque<std::string>& tokens) {
    if (tokens.empty()) {
        throw SceneError::endOfFile();
    }
    const double value = parse_double(tokens.front());
    tokens.pop_front();
    return value;
}

Vector3 Parser::parse_vector(std::deque<std::string>& tokens) {
    const double x = parse_double(tokens);
    const double y = parse_double(tokens);
    const double z = parse_double(tokens);
    return Vector3(x, y, z);
}

Color Parser::parse_color(std::deque<std::string>& tokens) {
    drop_front(tokens);
    drop_front(tokens);
    const Vector3 rgb = parse_vector(tokens);
    const Color color(rgb.x, rgb.y, rgb.z);
    std::cout << "parsed color: <" << color.r << ", " << color.g << ", " << color.b << ">\n";
    return color;
}
