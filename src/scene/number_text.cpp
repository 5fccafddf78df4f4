#include "scene/number_text.h"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <locale>
#include <sstream>
#include <system_error>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The powers of ten that a double holds exactly.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kLargestExactPower = 22;

constexpr char kTwoDigits[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// a * 10^k with one rounding, or a negative value when 10^k is not exact.
double scaledByPowerOfTen(double a, int k) {
    if (std::abs(k) > kLargestExactPower) {
        return -1;
    }
    return k >= 0 ? a * kExactPowersOfTen[k] : a / kExactPowersOfTen[-k];
}

// A magnitude rounded to six significant digits: mantissa, 100000 to 999999,
// times 10^(exponent - 5).
struct SixDigits {
    long mantissa;
    int exponent;
};

// The magnitude a (finite, not negative) rounded to six digits; false for
// values outside about 1e-17 to 1e27 and for a sixth digit that is a near
// tie. The value scaled to six integer digits carries one rounding error,
// below 6e-11 at that size: a fraction farther than 1e-9 from one half rounds
// the way the exact value does.
bool roundToSixDigits(double a, SixDigits* rounded) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &a, sizeof bits);
    // a lies in [2^b, 2^(b+1)) (subnormals aside, which the scaling refuses);
    // floor(b log10(2)) is the decimal exponent or one less.
    const int binaryExponent = static_cast<int>(bits >> 52) - 1023;
    int exponent = (binaryExponent * 78913) >> 18;
    double scaled = scaledByPowerOfTen(a, 5 - exponent);
    if (scaled >= 1e6) {
        ++exponent;
        scaled = scaledByPowerOfTen(a, 5 - exponent);
    }
    if (scaled < 0) {
        return false;
    }
    long mantissa = static_cast<long>(scaled);  // scaled is positive: the floor
    const double fraction = scaled - static_cast<double>(mantissa);
    if (std::fabs(fraction - 0.5) < 1e-9) {
        return false;
    }
    mantissa += fraction > 0.5 ? 1 : 0;
    if (mantissa == 1000000) {  // rounded up to the next power of ten
        mantissa = 100000;
        ++exponent;
    }
    if (mantissa < 100000 || mantissa > 999999) {
        return false;
    }
    *rounded = SixDigits{mantissa, exponent};
    return true;
}

// "%g"'s text of the rounded magnitude, after a '-' when negative; returns
// the end of the text. out has kNumberTextSize characters.
char* spellSixDigits(const SixDigits& rounded, bool negative, char* out) {
    const long mantissa = rounded.mantissa;
    const int exponent = rounded.exponent;
    // The six digits, then room for the fixed-size copies below.
    char digits[16] = {};
    const auto six = static_cast<unsigned>(mantissa);
    std::memcpy(digits, kTwoDigits + std::size_t{2} * (six / 10000), 2);
    std::memcpy(digits + 2, kTwoDigits + std::size_t{2} * (six / 100 % 100), 2);
    std::memcpy(digits + 4, kTwoDigits + std::size_t{2} * (six % 100), 2);
    int significant = 6;  // trailing zeros are not written
    while (significant > 1 && digits[significant - 1] == '0') {
        --significant;
    }
    // The digits go out in copies of eight bytes, whatever their count: out
    // has room for them, and the returned end drops what is not the number.
    char* p = out;
    if (negative) {
        *p++ = '-';
    }
    if (exponent >= -4 && exponent < 6) {
        // Fixed notation: all integer digits, the fraction without its zeros.
        if (exponent >= 0) {
            const int integerDigits = exponent + 1;
            std::memcpy(p, digits, 8);
            p += integerDigits;
            if (integerDigits < significant) {
                *p++ = '.';
                std::memcpy(p, digits + integerDigits, 8);
                p += significant - integerDigits;
            }
            return p;
        }
        static constexpr char kFractionStart[8] = {'0', '.', '0', '0', '0', '0', '0', '0'};
        std::memcpy(p, kFractionStart, 8);
        p += 1 - exponent;
        std::memcpy(p, digits, 8);
        return p + significant;
    }
    *p++ = digits[0];
    if (significant > 1) {
        *p++ = '.';
        for (int next = 1; next < significant; ++next) {
            *p++ = digits[next];
        }
    }
    *p++ = 'e';
    *p++ = exponent < 0 ? '-' : '+';
    const int magnitude = std::abs(exponent);
    *p++ = static_cast<char>('0' + magnitude / 10);
    *p++ = static_cast<char>('0' + magnitude % 10);
    return p;
}

// "%g" for finite values between about 1e-17 and 1e27 whose sixth digit is
// not a near tie; nullptr for the rest.
char* formatSixDigits(double value, char* out) {
    SixDigits rounded{};
    if (!roundToSixDigits(std::fabs(value), &rounded)) {
        return nullptr;
    }
    return spellSixDigits(rounded, std::signbit(value), out);
}

// Adds the digits from p on, up to end, to the significand; past 19 digits
// it wraps, which the caller's digit count rules out.
const char* addDigits(const char* p, const char* end, std::uint64_t& significand) {
    for (; p != end; ++p) {
        const unsigned digit = static_cast<unsigned char>(*p) - unsigned{'0'};
        if (digit > 9) {
            return p;
        }
        significand = significand * 10 + digit;
    }
    return p;
}

}  // namespace

bool read_number(std::string_view token, double& value) {
    // The stream's scan: sign, digits, one point, digits, an exponent.
    const char* const begin = token.data();
    const char* const end = begin + token.size();
    const char* p = begin;
    const bool negative = p != end && *p == '-';
    if (negative) {
        ++p;
    }
    std::uint64_t significand = 0;
    const char* const integer = p;
    p = addDigits(p, end, significand);
    std::ptrdiff_t digitCount = p - integer;
    std::ptrdiff_t fractionDigits = 0;
    if (p != end && *p == '.') {
        const char* const fraction = p + 1;
        p = addDigits(fraction, end, significand);
        fractionDigits = p - fraction;
        digitCount += fractionDigits;
    }
    if (digitCount == 0) {
        // Including a leading "+" and leading white space.
        return read_number_by_stream(token, value);
    }
    int scale = -static_cast<int>(std::min<std::ptrdiff_t>(fractionDigits, 100000));
    if (p != end && (*p == 'e' || *p == 'E')) {
        const char* exponent = p + 1;
        const bool negativeExponent = exponent != end && *exponent == '-';
        if (exponent != end && (*exponent == '+' || *exponent == '-')) {
            ++exponent;
        }
        int power = 0;
        for (p = exponent; p != end && isDigit(*p); ++p) {
            power = std::min(power * 10 + (*p - '0'), 100000);
        }
        if (p == exponent) {
            return read_number_by_stream(token, value);
        }
        scale += negativeExponent ? -power : power;
    }
    // Up to 19 digits fit the integer; up to 2^53 it is an exact double, and
    // with an exact power of ten the one rounding is strtod's.
    if (digitCount <= 19 && std::abs(scale) <= kLargestExactPower &&
        significand <= (std::uint64_t{1} << 53)) {
        const auto exact = static_cast<double>(significand);
        value = scale >= 0 ? exact * kExactPowersOfTen[scale] : exact / kExactPowersOfTen[-scale];
        value = negative ? -value : value;
        return true;
    }
    // The scanned text is a complete decimal number, which from_chars reads
    // as strtod does; out of range it reports an error and the stream decides.
    const std::from_chars_result result = std::from_chars(begin, p, value);
    if (result.ec != std::errc() || result.ptr != p) {
        return read_number_by_stream(token, value);
    }
    return true;
}

bool read_number_by_stream(std::string_view token, double& value) {
    std::stringstream ss(std::string(token), std::ios::in | std::ios::out);
    ss.imbue(std::locale::classic());
    value = 0;
    ss >> value;
    return static_cast<bool>(ss);
}

char* format_number(double value, char* out) {
    if (value == 0) {
        // Both zeros, which the scaling cannot place.
        char* p = out;
        if (std::signbit(value)) {
            *p++ = '-';
        }
        *p++ = '0';
        return p;
    }
    if (std::isfinite(value)) {
        if (char* const end = formatSixDigits(value, out)) {
            return end;
        }
    }
    const std::to_chars_result result =
        std::to_chars(out, out + kNumberTextSize, value, std::chars_format::general, 6);
    assert(result.ec == std::errc());
    return result.ptr;
}
