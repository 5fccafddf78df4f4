#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "shapes/shape.h"

class ImageMap;

// Many triangles as one object, stored as arrays: shared positions and
// normals, three indices of each per face, and a small table of the
// materials that inner triangles carry. The faces are indexed one by one in
// a bounding volume hierarchy of their own. A face is hit where its flat
// triangle is, with the arithmetic of Triangle, so a mesh renders as its
// triangles written one by one; a face with normals is shaded with their
// blend, as a smooth triangle.
class Mesh final : public Shape {
public:
    static constexpr std::uint32_t kNone = 0xffffffffu;
    struct Face {
        std::uint32_t v[3];      // into positions
        std::uint32_t n[3];      // into normals, or kNone for a flat face
        std::uint32_t material;  // into materials, or kNone for the mesh's own
    };
    struct Material {
        Color color;
        Finish finish;
        std::shared_ptr<const Pigment> pattern;  // what finish.pattern points to
        // An OBJ model's map_Kd picture, laid on by the faces' texture
        // coordinates in place of color; null for none.
        std::shared_ptr<const ImageMap> texture;
    };
    // Texture coordinates (u, v) and, per face, the three indices into them
    // (kNone for a face without). Both empty unless a material has a texture.
    struct TextureCoord {
        double u;
        double v;
    };
    std::vector<TextureCoord> textureCoords;
    std::vector<std::array<std::uint32_t, 3>> faceTextureCoords;

    std::vector<Point> positions;
    std::vector<Vector3> normals;  // unit
    std::vector<Face> faces;
    std::vector<Material> materials;

    // Indexes the faces; call once they are all added, before tracing.
    // Every index must address its array, and the positions be finite.
    void build();

    double intersect(const Ray& ray, HitRec& hitrec) override;
    Vector3 surfaceNormal(const Point& p) override;
    Point getCorner1() const override { return m_lo; }
    Point getCorner2() const override { return m_hi; }
    void glDraw() const override;

    // Heap bytes held by the arrays and the index, per face.
    double bytesPerFace() const;

private:
    // A node's box as floats rounded outward; a leaf has count faces of
    // m_order from first on, an inner node its children at this + 1 (the
    // lower centroids along its split axis) and at first, and a count of
    // kInner plus that axis.
    struct Node {
        float lo[3];
        float hi[3];
        std::uint32_t first;
        std::uint32_t count;
    };
    static constexpr std::uint32_t kInner = 0xfffffff0u;
    struct BuildItem {
        float centroid[3];
        std::uint32_t face;
    };
    std::uint32_t buildNode(std::uint32_t begin, std::uint32_t end, std::vector<BuildItem>& items);
    // The nearest face hit (kNone when none) and its distance.
    std::uint32_t nearestFace(const Ray& ray, double& t) const;
    double faceDistance(const Face& face, const Ray& ray) const;
    void record(std::uint32_t face, double t, const Ray& ray, HitRec& hitrec) const;
    Color textureColor(const Material& material, std::uint32_t f, const Point& a, const Point& b,
                       const Point& c, const Point& p) const;

    std::vector<Node> m_nodes;
    std::vector<std::uint32_t> m_order;  // faces in leaf order
    Point m_lo{0, 0, 0};
    Point m_hi{0, 0, 0};
    double m_pad = 0;  // how far boxes grow against rounding
};
