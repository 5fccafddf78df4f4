// Number reading and writing against their definitions, the standard
// streams: the input as a token must read as stream extraction reads it, both
// as a string and as a view of the input itself, which has no closing null
// to stop a scan that runs past its end; and its first eight bytes as a
// double must print as the stream prints it. A difference aborts.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "scene/number_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string token(reinterpret_cast<const char*>(data), size);
    double fast = 0;
    double reference = 0;
    const bool read = read_number(token, fast);
    if (read != read_number_by_stream(token, reference) ||
        (read && std::memcmp(&fast, &reference, sizeof fast) != 0)) {
        std::fprintf(stderr, "read_number differs from the stream\n");
        std::abort();
    }
    double viewed = 0;
    const std::string_view view(reinterpret_cast<const char*>(data), size);
    if (read_number(view, viewed) != read ||
        (read && std::memcmp(&viewed, &reference, sizeof viewed) != 0)) {
        std::fprintf(stderr, "read_number reads a view differently\n");
        std::abort();
    }

    double value = 0;
    std::memcpy(&value, data, std::min(size, sizeof value));
    char text[kNumberTextSize];
    std::ostringstream expected;
    expected << value;
    if (std::string(text, format_number(value, text)) != expected.str()) {
        std::fprintf(stderr, "format_number differs from the stream for %a\n", value);
        std::abort();
    }
    return 0;
}
