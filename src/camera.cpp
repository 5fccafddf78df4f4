#include "camera.h"

#include <cassert>
#include <cmath>
#include <iostream>
#include <sstream>
#include <string_view>

#include "parser.h"
#include "scene/reader_output.h"

Camera::Camera(const Vector3& in_eye, const Vector3& in_up, const Vector3& in_right,
               const Vector3& in_lookAt, int in_xRes, int in_yRes)
    : eye(in_eye), up(in_up), right(in_right), lookAt(in_lookAt), xRes(in_xRes), yRes(in_yRes) {}

namespace {

// The image window's sides are |right| and |up|; unless they stand as the
// image's width to its height, the picture is stretched. Noted at the right
// key (at the statement when there is none), with the right that would fit.
template <typename Tokens>
void noteStretch(const Tokens& tokens, std::size_t rightAt, const Vector3& up, const Vector3& right,
                 int xRes, int yRes) {
    const double height = up.magnitude();
    const double width = right.magnitude();
    if (!(height > 0) || xRes < 1 || yRes < 1) {
        return;  // no picture to stretch: the basis check refuses such a camera
    }
    const double fitting = height * xRes / yRes;
    if (std::fabs(width / fitting - 1) <= 0.01) {
        return;
    }
    const Vector3 fit = width > 0 ? right * (fitting / width) : Vector3(fitting, 0, 0);
    std::ostringstream text;
    if (width > 0) {
        text << "the camera's right " << right << " and up " << up << " do not match the image's "
             << xRes << " x " << yRes << " pixels; the picture will be stretched";
    } else {
        text << "the camera has no right, or a zero one: every column of the picture will be the "
                "same";
    }
    text << ". 'right " << fit << "' would fit";
    note_warning(tokens, rightAt, text.str());
}

template <typename Tokens>
double readNumberWithin(Tokens& tokens, const char* key, double low, double high,
                        bool lowIncluded = false) {
    if (tokens.empty()) {
        throw SceneError::endOfFile("a number");
    }
    const double value = parse_number(tokens.front());
    if (!((value > low || (lowIncluded && value == low)) && value < high)) {
        const std::string range = std::string(lowIncluded ? "from " : "above ") +
                                  std::to_string(low) + " below " + std::to_string(high);
        throw SceneError(std::string(key) + " " + range, "a number " + range,
                         SceneError::quoted(tokens.front()));
    }
    tokens.pop_front();
    (OutputLine() << "set camera \"" << key << "\" to " << value).print();
    return value;
}

// The keys for the field of view and the lens; false, nothing consumed, for
// any other.
template <typename Tokens>
bool readLensKey(Tokens& tokens, std::string_view key, Lens& lens, double& angle) {
    if (key == "angle") {
        tokens.pop_front();
        angle = readNumberWithin(tokens, "angle", 0, 180);
    } else if (key == "aperture") {
        tokens.pop_front();
        lens.aperture = readNumberWithin(tokens, "aperture", 0, 1e300, true);
    } else if (key == "blur_samples") {
        tokens.pop_front();
        lens.blurSamples =
            static_cast<int>(readNumberWithin(tokens, "blur_samples", 0, kMaxBlurSamples + 1));
    } else if (key == "focal_point") {
        tokens.pop_front();
        lens.focalPoint = Parser::parse_vector(tokens);
        (OutputLine() << "set camera \"focal_point\" to " << lens.focalPoint).print();
    } else {
        return false;
    }
    return true;
}

template <typename Tokens>
Camera readCamera(Tokens& tokens, int xRes, int yRes) {
    // The keyword plus four keys of three numbers each.
    const std::size_t tokensLeft = 17;
    if (tokens.size() < tokensLeft) {
        throw SceneError("tokens.size() >= tokensLeft",
                         "at least " + std::to_string(tokensLeft) +
                             " tokens from \"camera\" to the end of the file",
                         std::to_string(tokens.size()));
    }
    assert(tokens.front() == "camera");
    const std::size_t statementAt = tokens.size();
    tokens.pop_front();
    std::size_t rightAt = statementAt;

    const Vector3 zero(0, 0, 0);
    Vector3 eye = zero;
    Vector3 up = zero;
    Vector3 right = zero;
    Vector3 lookAt = zero;
    Lens lens;
    double angle = -1;  // none
    // The key is looked at in place: it goes only once it is known.
    while (!tokens.empty()) {
        const std::string_view key = tokens.front();
        if (key == "location") {
            tokens.pop_front();
            eye = Parser::parse_vector(tokens);
            (OutputLine() << "set camera \"location\" (eye) to " << eye).print();
        } else if (key == "up") {
            tokens.pop_front();
            up = Parser::parse_vector(tokens);
            (OutputLine() << "set camera \"up\" to " << up).print();
        } else if (key == "right") {
            rightAt = tokens.size();
            tokens.pop_front();
            right = Parser::parse_vector(tokens);
            (OutputLine() << "set camera \"right\" to " << right).print();
        } else if (key == "look_at") {
            tokens.pop_front();
            lookAt = Parser::parse_vector(tokens);
            (OutputLine() << "set camera \"look_at\" to " << lookAt).print();
        } else if (readLensKey(tokens, key, lens, angle)) {
            continue;
        } else {
            break;
        }
    }
    if (angle >= 0) {
        right = Vector3(windowWidth(angle), 0, 0);
    }
    noteStretch(tokens, rightAt, up, right, xRes, yRes);
    Camera read(eye, up, right, lookAt, xRes, yRes);
    read.lens = lens;
    return read;
}

}  // namespace

double windowWidth(double angleDegrees) {
    // In long double, so that a right angle gives exactly 2, the width of a
    // right of length 2.
    const long double half = angleDegrees * 3.14159265358979323846264338327950288L / 360.0L;
    return static_cast<double>(2.0L * std::tan(half));
}

Camera Camera::parse(std::deque<std::string>& tokens, int xRes, int yRes) {
    return readCamera(tokens, xRes, yRes);
}

Camera Camera::parse(TokenViews& tokens, int xRes, int yRes) {
    return readCamera(tokens, xRes, yRes);
}

namespace {

// Neighbouring pixels are a window size over (resolution - 1) apart; a one-pixel
// image would divide by zero, so it uses a step of the whole window.
double pixelStepDivisor(int resolution) {
    return resolution > 1 ? resolution - 1 : 1;
}

}  // namespace

double Camera::pixelToScreenX(int x) const {
    const double width = right.magnitude();
    return -width / 2 + (x + 0.5) * width / pixelStepDivisor(xRes);
}

double Camera::pixelToScreenY(int y) const {
    const double height = up.magnitude();
    return height / 2 - (y + 0.5) * height / pixelStepDivisor(yRes);
}

Vector3 Camera::pixelToScreen(int x, int y) const {
    return Vector3(pixelToScreenX(x), pixelToScreenY(y), -1.0);
}

Vector3 Camera::screenPoint(double x, double y) const {
    return Vector3(screenX(x), screenY(y), -1.0);
}

double Camera::screenX(double x) const {
    const double width = right.magnitude();
    return -width / 2 + x * width / pixelStepDivisor(xRes);
}

double Camera::screenY(double y) const {
    const double height = up.magnitude();
    return height / 2 - y * height / pixelStepDivisor(yRes);
}

namespace {

struct Basis {
    Vector3 u;
    Vector3 v;
    Vector3 w;
};

Basis basisOf(const Camera& camera) {
    Basis basis;
    basis.w = (camera.eye - camera.lookAt).normalize();
    basis.u = camera.up.cross(basis.w).normalize();
    basis.v = basis.w.cross(basis.u).normalize();
    return basis;
}

Matrix4x4 checkedRotation(const Basis& basis) {
    const Vector3& u = basis.u;
    const Vector3& v = basis.v;
    const Vector3& w = basis.w;
    // Written so that a NaN fails the check too.
    const char* failed = nullptr;
    if (!(std::fabs(u * v) < 0.00000001)) {
        failed = "fabs(u * v) < 0.00000001";
    } else if (!(std::fabs(w * v) < 0.00000001)) {
        failed = "fabs(w * v) < 0.00000001";
    } else if (!(std::fabs(w * u) < 0.00000001)) {
        failed = "fabs(w * u) < 0.00000001";
    }
    if (failed != nullptr) {
        throw SceneError(
            "the camera's location, look_at and up give no usable view directions (condition '" +
            std::string(failed) + "')");
    }
    return Matrix4x4(u.x, v.x, w.x, 0, u.y, v.y, w.y, 0, u.z, v.z, w.z, 0, 0, 0, 0, 1);
}

}  // namespace

Matrix4x4 Camera::vectorTransform() const {
    const Basis basis = basisOf(*this);
    std::cout << "u: " << basis.u << "\n"
              << "v: " << basis.v << "\n"
              << "w: " << basis.w << "\n";
    return checkedRotation(basis);
}

Matrix4x4 Camera::quietVectorTransform() const {
    return checkedRotation(basisOf(*this));
}

Matrix4x4 Camera::translate() const {
    return Matrix4x4(1, 0, 0, eye.x, 0, 1, 0, eye.y, 0, 0, 1, eye.z, 0, 0, 0, 1);
}

Matrix4x4 Camera::transform() const {
    return vectorTransform() * translate();
}

void Camera::zoom(double mag) {
    const Vector3 zoomVec = mag * (lookAt - eye).normalize();
    eye = eye + zoomVec;
    lookAt = lookAt + zoomVec;
}
