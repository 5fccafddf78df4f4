#pragma once

#include <boost/shared_ptr.hpp>
#include <string>
#include <vector>

#include "Material.h"
#include "PolygonFace.h"
#include "Vertex.h"

class CTexture;

// A polygon mesh as an OBJ file describes it: separate arrays of positions,
// texture coordinates and normals, and faces whose corners index into them.
// Each array keeps a placeholder (0, 0, 0) at index 0, so the file's 1-based
// indices address it directly; the placeholder is never counted and never
// moves the bounds. One material and an optional texture serve the whole mesh.
class CMesh {
public:
    SVertex m_minVert;  // componentwise minimum of the positions; +FLT_MAX when none
    SVertex m_maxVert;  // componentwise maximum; -FLT_MAX when none

    CMesh();

    // Empties the arrays and the bounds; texture and material stay.
    void clear();
    void addVertex(const SVertex& vertex);
    void addTextureCoord(const SVertex& texCoord);
    void addNormal(const SVertex& normal);
    void addFace(const SPolygonFace& face);
    void setMaterial(const SMaterial& material);
    void setTexture(const boost::shared_ptr<CTexture>& texture);
    // Decodes the image (may throw CImageLoadException, keeping the previous
    // texture).
    void setTexture(const std::string& fileName);

    bool hasNormals() const;
    bool hasTextureCoords() const;
    bool hasTexture() const;
    int getNumVertices() const;
    int getNumTextureCoords() const;
    int getNumNormals() const;
    int getNumFaces() const;
    // Element access with the file's indices: 1 is the first element read,
    // 0 the placeholder.
    const SVertex& getVertex(int index) const;
    const SVertex& getTextureCoord(int index) const;
    const SVertex& getNormal(int index) const;
    const SPolygonFace& getFace(int index) const;  // 0-based
    const SMaterial& getMaterial() const;
    // Every setMaterial since the last clear(), with the number of faces
    // there were then: faces from that count on take that material.
    struct SMaterialRun {
        int firstFace;
        SMaterial material;
    };
    const std::vector<SMaterialRun>& getMaterialRuns() const { return m_materialRuns; }

    // Whether a face can be drawn and given a normal: at least three corners,
    // three lists of the same length, every position index addressing a
    // position read (1 to the count) and every texture-coordinate and normal
    // index an element or the placeholder. Faces that fail are skipped by
    // draw(), mydraw() and generateFlatNormals().
    bool hasValidIndices(const SPolygonFace& face) const;

    // Unless the mesh has normals: one unit normal per face from its first
    // three corners (right-hand rule), shared by all its corners.
    void generateFlatNormals();
    // Memory held by the arrays, spare capacity included, in bytes.
    int getByteSize() const;
    // Gives back the arrays' spare capacity.
    void shrinkToFit();
    void dumpBounds() const;
    // Loads the material's map_Kd texture when the mesh has none, and hands
    // an unregistered texture to OpenGL. The argument is not used.
    void animate(float time);

    // The drawing operations need a current OpenGL context; they change no matrix.
    // With material and texture (bound, not enabled); a transparent texture
    // turns the depth test off while drawing.
    void draw() const;
    // The preview's drawing: normal, texture coordinate and position for every corner.
    void mydraw() const;
    // The bounds as a magenta wire box with its corners as points.
    void drawBox() const;

private:
    static constexpr int FIRST_INDEX = 1;

    std::vector<SVertex> m_vertVector;
    std::vector<SVertex> m_texVector;
    std::vector<SVertex> m_normVector;
    std::vector<SPolygonFace> m_faceVector;
    boost::shared_ptr<CTexture> m_pTexture;  // may be empty
    SMaterial m_material;
    std::vector<SMaterialRun> m_materialRuns;
};
