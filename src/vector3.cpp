#include "vector3.h"

#include <cstring>
#include <ostream>
#include <sstream>
#include <string_view>

Vector3* Vector3::add(Vector3* other) const {
    return new Vector3(*this + *other);
}

Vector3* Vector3::subtract(Vector3* const& other) const {
    return new Vector3(*this - *other);
}

Vector3* Vector3::inverse() const {
    return new Vector3(-*this);
}

bool Vector3::equals(Vector3* other) const {
    return *this == *other;
}

double Vector3::dot(Vector3* const& other) const {
    return *this * *other;
}

Vector3 Vector3::cross(const Vector3& o) const {
    return Vector3(y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x);
}

std::string Vector3::str() const {
    std::ostringstream out;
    out << *this;
    return out.str();
}

const char* Vector3::c_str() const {
    const std::string text = str();
    char* copy = new char[text.size() + 1];
    std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

char* format_vector(const Vector3& v, char* out) {
    *out++ = '<';
    out = format_number(v.x, out);
    *out++ = ',';
    *out++ = ' ';
    out = format_number(v.y, out);
    *out++ = ',';
    *out++ = ' ';
    out = format_number(v.z, out);
    *out++ = '>';
    return out;
}

std::ostream& operator<<(std::ostream& out, const Vector3& v) {
    char text[kVectorTextSize];
    return out << std::string_view(text, static_cast<std::size_t>(format_vector(v, text) - text));
}
