#pragma once

#include <cstddef>
#include <string_view>

// Numbers as the scene reader reads and prints them. The definitions are the
// standard streams' (formatted extraction and insertion in the classic
// locale, default flags); these functions give the same results without a
// stream, and their tests compare them with the streams.

// Reads a number as `stream >> value` does: the longest prefix of the form
// [sign] digits [. digits] [e [sign] digits], whatever follows ignored.
// False, value unspecified, where the extraction fails: no digits, an
// exponent without digits, or a value beyond the double range.
bool read_number(std::string_view token, double& value);
// The same through a string stream: the definition read_number follows, and
// its way for every spelling that its own scan does not take.
bool read_number_by_stream(std::string_view token, double& value);

// Room that format_number needs: "-1.23457e-308" and its like.
constexpr std::size_t kNumberTextSize = 16;
// Writes the value as `stream << value` does by default, which is printf's
// "%g": six significant digits, general notation, "inf", "-nan" and so on.
// Returns the end of the text; out must have kNumberTextSize characters,
// and any of them past the end may be overwritten.
char* format_number(double value, char* out);
