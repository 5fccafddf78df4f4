#include "pigment/image_map.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <string>
#include <string_view>
#include <utility>

#include "parser.h"
#include "scene/reader_output.h"
#include "tex.h"

using namespace std::string_view_literals;

namespace {

constexpr double kPi = 3.14159265358979323846;

// The most pixels a map may have (2048 x 2048, or any shape of that area),
// whatever the file's header says: each takes a Color of 24 bytes.
constexpr unsigned long long kMaxPixels = 1ull << 22;

bool fitsInMemory(unsigned long long width, unsigned long long height) {
    return width >= 1 && height >= 1 && width <= kMaxPixels && height <= kMaxPixels &&
           width * height <= kMaxPixels;
}

const char* const kTooLarge = "more than 4194304 pixels (2048 x 2048)";

double wrapped(double x) { return x - std::floor(x); }

std::vector<Color> fromBytes(const unsigned char* bytes, int width, int height, bool bottomUp) {
    std::vector<Color> pixels;
    pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int row = 0; row < height; ++row) {
        const int stored = bottomUp ? height - 1 - row : row;
        const unsigned char* p =
            bytes + static_cast<std::size_t>(stored) * static_cast<std::size_t>(width) * 3;
        for (int column = 0; column < width; ++column, p += 3) {
            pixels.emplace_back(p[0] / 255.0, p[1] / 255.0, p[2] / 255.0);
        }
    }
    return pixels;
}

[[noreturn]] void refuse(const std::string& path, const std::string& why) {
    throw SceneError("cannot read image map \"" + path + "\": " + why);
}

// The scene file the tokens come from; a queue of strings names none.
std::string_view sceneFileOf(const std::deque<std::string>&) { return {}; }
std::string_view sceneFileOf(const TokenViews& tokens) { return tokens.sceneFile(); }

// The file name as written, quotes taken off, from the scene file's folder.
std::string scenePath(std::string_view token, std::string_view sceneFile) {
    std::string name(token);
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"') {
        name = name.substr(1, name.size() - 2);
    }
    const std::string_view::size_type slash = sceneFile.rfind('/');
    if (name.empty() || name[0] == '/' || slash == std::string_view::npos) {
        return name;
    }
    return std::string(sceneFile.substr(0, slash + 1)) + name;
}

template <typename Tokens>
std::shared_ptr<const ImageMap> readMap(Tokens& tokens) {
    tokens.pop_front();  // image_map
    if (tokens.empty()) {
        throw SceneError::endOfFile(R"("png" or "bmp")");
    }
    const bool png = tokens.front() == "png"sv;
    if (!png && tokens.front() != "bmp"sv) {
        throw SceneError("png or bmp", R"("png" or "bmp")", SceneError::quoted(tokens.front()));
    }
    tokens.pop_front();
    if (tokens.empty()) {
        throw SceneError::endOfFile("a file name");
    }
    const std::string path = scenePath(tokens.front(), sceneFileOf(tokens));
    tokens.pop_front();
    int mapType = 0;
    bool once = false;
    bool interpolate = false;
    while (!tokens.empty()) {
        if (tokens.front() == "map_type"sv) {
            tokens.pop_front();
            const double value = Parser::parse_double(tokens);
            if (!(value == 0 || value == 1 || value == 2)) {
                throw SceneError("map_type 0, 1 or 2");
            }
            mapType = static_cast<int>(value);
        } else if (tokens.front() == "once"sv) {
            tokens.pop_front();
            once = true;
        } else if (tokens.front() == "interpolate"sv) {
            tokens.pop_front();
            interpolate = Parser::parse_double(tokens) == 2;
        } else {
            break;
        }
    }
    int width = 0;
    int height = 0;
    std::vector<Color> pixels = readPicture(path, png, width, height);
    (OutputLine() << "image map " << path << ": " << width << "x" << height).print();
    return std::make_shared<const ImageMap>(width, height, std::move(pixels),
                                            static_cast<ImageMap::Projection>(mapType), once,
                                            interpolate);
}

}  // namespace

std::vector<Color> readPicture(const std::string& path, bool png, int& width, int& height) {
    if (!png) {
        Image image{};
        if (ImageLoad(path.c_str(), &image) == 0) {
            refuse(path, "not a BMP the loader takes");
        }
        const bool fits = fitsInMemory(image.sizeX, image.sizeY);
        if (fits) {
            width = static_cast<int>(image.sizeX);
            height = static_cast<int>(image.sizeY);
        }
        std::vector<Color> pixels;
        if (fits) {
            pixels = fromBytes(image.data, width, height, true);
        }
        std::free(image.data);
        if (!fits) {
            refuse(path, kTooLarge);
        }
        return pixels;
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
        refuse(path, image.message);
    }
    if (!fitsInMemory(image.width, image.height)) {
        png_image_free(&image);
        refuse(path, kTooLarge);
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> bytes(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr) == 0) {
        refuse(path, image.message);
    }
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    return fromBytes(bytes.data(), width, height, false);
}

ImageMap::ImageMap(int width, int height, std::vector<Color> pixels, Projection projection,
                   bool once, bool interpolate)
    : m_width(width),
      m_height(height),
      m_pixels(std::move(pixels)),
      m_projection(projection),
      m_once(once),
      m_interpolate(interpolate) {}

Color ImageMap::at(const Point& p) const {
    double u = p.x;
    double v = p.y;
    if (m_projection != Projection::Planar) {
        u = 0.5 + std::atan2(p.x, p.z) / (2 * kPi);
        if (m_projection == Projection::Spherical) {
            const double length = p.magnitude();
            v = length > 0 ? 0.5 + std::asin(std::max(-1.0, std::min(1.0, p.y / length))) / kPi
                           : 0.5;
        }
    }
    if (!std::isfinite(u) || !std::isfinite(v)) {
        return Color(0, 0, 0);
    }
    if (m_once && (u < 0 || u >= 1 || v < 0 || v >= 1)) {
        return Color(0, 0, 0);
    }
    return sample(wrapped(u), wrapped(v));
}

const Color& ImageMap::pixel(long long column, long long row) const {
    // Wrapped, so that a filtered sample at an edge reads the opposite one.
    column = ((column % m_width) + m_width) % m_width;
    row = ((row % m_height) + m_height) % m_height;
    return m_pixels[static_cast<std::size_t>(row * m_width + column)];
}

Color ImageMap::sample(double u, double v) const {
    const double x = u * m_width;
    const double y = (1 - v) * m_height;  // rows from the top
    if (!m_interpolate) {
        return pixel(static_cast<long long>(std::floor(x)), static_cast<long long>(std::floor(y)));
    }
    const double fx = x - 0.5;
    const double fy = y - 0.5;
    const auto left = static_cast<long long>(std::floor(fx));
    const auto top = static_cast<long long>(std::floor(fy));
    const double s = fx - std::floor(fx);
    const double t = fy - std::floor(fy);
    const auto mix = [](const Color& a, const Color& b, double w) {
        return Color(a.r + (b.r - a.r) * w, a.g + (b.g - a.g) * w, a.b + (b.b - a.b) * w);
    };
    return mix(mix(pixel(left, top), pixel(left + 1, top), s),
               mix(pixel(left, top + 1), pixel(left + 1, top + 1), s), t);
}

Color ImageMap::average() const {
    double r = 0;
    double g = 0;
    double b = 0;
    for (const Color& c : m_pixels) {
        r += c.r;
        g += c.g;
        b += c.b;
    }
    const auto n = static_cast<double>(m_pixels.size());
    return Color(r / n, g / n, b / n);
}

std::shared_ptr<const ImageMap> readImageMap(std::deque<std::string>& tokens) {
    return readMap(tokens);
}

std::shared_ptr<const ImageMap> readImageMap(TokenViews& tokens) { return readMap(tokens); }
