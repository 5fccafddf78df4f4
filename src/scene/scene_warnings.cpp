#include "scene/scene_warnings.h"

#include <algorithm>
#include <utility>

#include "program_exit.h"
#include "scene/number_text.h"

using namespace std::string_view_literals;

namespace {

// Every word the reader knows, for the suggestions: a new statement or
// modifier adds its row here.
constexpr std::string_view kKeywords[] = {
    // statements
    "camera"sv,
    "light_source"sv,
    "sphere"sv,
    "plane"sv,
    "triangle"sv,
    "box"sv,
    "cylinder"sv,
    "cone"sv,
    "disc"sv,
    "smooth_triangle"sv,
    "mesh"sv,
    "obj_mesh"sv,
    "background"sv,
    "fog"sv,
    // object modifiers and the colour's words
    "pigment"sv,
    "finish"sv,
    "color"sv,
    "rgb"sv,
    "rgbf"sv,
    "translate"sv,
    "rotate"sv,
    "scale"sv,
    "checker"sv,
    "image_map"sv,
    "map_type"sv,
    "interpolate"sv,
    // light modifiers
    "spotlight"sv,
    "parallel"sv,
    "area_light"sv,
    "shadowless"sv,
    "fade_distance"sv,
    "fade_power"sv,
    "point_at"sv,
    "falloff"sv,
    "tightness"sv,
    // finish items
    "ambient"sv,
    "diffuse"sv,
    "specular"sv,
    "roughness"sv,
    "ior"sv,
    "reflection"sv,
    "refraction"sv,
    // camera keys
    "location"sv,
    "look_at"sv,
    "up"sv,
    "right"sv,
    "angle"sv,
    "aperture"sv,
    "focal_point"sv,
    "blur_samples"sv,
};

}  // namespace

void SceneWarnings::add(std::size_t line, std::size_t column, std::string text) {
    m_warnings.push_back(SceneWarning{line, column, std::move(text)});
}

void SceneWarnings::addForFile(std::string text) {
    m_warnings.push_back(SceneWarning{0, 0, std::move(text)});
}

std::vector<std::string> SceneWarnings::lines(const std::string& fileName) const {
    // In the order of the file, those about the whole of it last.
    std::vector<SceneWarning> sorted = m_warnings;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const SceneWarning& a, const SceneWarning& b) {
                         if ((a.line == 0) != (b.line == 0)) {
                             return b.line == 0;
                         }
                         return a.line < b.line || (a.line == b.line && a.column < b.column);
                     });
    std::vector<std::string> result;
    for (const SceneWarning& warning : sorted) {
        std::string place = fileName;
        if (warning.line != 0) {
            place += ":" + std::to_string(warning.line) + ":" + std::to_string(warning.column);
        }
        result.push_back(place + ": warning: " + warning.text);
    }
    return result;
}

void SceneWarnings::print(const std::string& fileName) const {
    for (const std::string& line : lines(fileName)) {
        printErrorLine(line);
    }
}

std::size_t editDistance(std::string_view a, std::string_view b) {
    // Three rows of the table of distances between prefixes.
    std::vector<std::size_t> before(b.size() + 1);
    std::vector<std::size_t> last(b.size() + 1);
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        last[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t substitution = last[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
            row[j] = std::min({last[j] + 1, row[j - 1] + 1, substitution});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                row[j] = std::min(row[j], before[j - 2] + 1);
            }
        }
        before.swap(last);
        last.swap(row);
    }
    return last[b.size()];
}

std::string_view suggestKeyword(std::string_view word) {
    double number = 0;
    if (word.size() < 3 || read_number(word, number)) {
        return {};
    }
    std::string_view best;
    std::size_t bestDistance = 3;
    for (const std::string_view keyword : kKeywords) {
        const std::size_t distance = editDistance(word, keyword);
        if (distance == 0) {
            return {};
        }
        if (distance < bestDistance && distance < keyword.size()) {
            best = keyword;
            bestDistance = distance;
        }
    }
    return best;
}
