#include "Mesh.h"

#include <GL/gl.h>

#include <cassert>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <type_traits>

#include "Logger.h"
#include "Texture.h"

static_assert(std::is_same<GLfloat, float>::value, "materials go to glMaterialfv as they are");

namespace {

// One OpenGL primitive through corners of the box lo..hi, each numbered by
// three bits: 4 takes x, 2 takes y and 1 takes z from hi, else from lo.
void drawCorners(GLenum mode, const SVertex& lo, const SVertex& hi,
                 std::initializer_list<int> corners) {
    glBegin(mode);
    for (const int corner : corners) {
        glVertex3f(corner & 4 ? hi.x : lo.x, corner & 2 ? hi.y : lo.y, corner & 1 ? hi.z : lo.z);
    }
    glEnd();
}

const float FLT_BIG = std::numeric_limits<float>::max();
const SVertex PLACEHOLDER(0, 0, 0);

bool inRange(int index, int first, std::size_t size) {
    return index >= first && static_cast<std::size_t>(index) < size;
}

// Leaves the capacity equal to the size. The elements are moved, not
// copied, so a vector of faces never exists twice.
template <typename List>
void shrinkVector(List& v) {
    if (v.capacity() != v.size()) {
        v.shrink_to_fit();
    }
}

}  // namespace

CMesh::CMesh() : m_minVert(FLT_BIG, FLT_BIG, FLT_BIG), m_maxVert(-FLT_BIG, -FLT_BIG, -FLT_BIG) {
    clear();
}

void CMesh::clear() {
    m_minVert.set(FLT_BIG, FLT_BIG, FLT_BIG);
    m_maxVert.set(-FLT_BIG, -FLT_BIG, -FLT_BIG);
    m_vertVector.assign(1, PLACEHOLDER);
    m_texVector.assign(1, PLACEHOLDER);
    m_normVector.assign(1, PLACEHOLDER);
    m_faceVector.clear();
    m_materialRuns.clear();
}

void CMesh::addVertex(const SVertex& vertex) {
    m_vertVector.push_back(vertex);
    if (m_minVert.x > vertex.x) m_minVert.x = vertex.x;
    if (vertex.x > m_maxVert.x) m_maxVert.x = vertex.x;
    if (m_minVert.y > vertex.y) m_minVert.y = vertex.y;
    if (vertex.y > m_maxVert.y) m_maxVert.y = vertex.y;
    if (m_minVert.z > vertex.z) m_minVert.z = vertex.z;
    if (vertex.z > m_maxVert.z) m_maxVert.z = vertex.z;
}

void CMesh::addTextureCoord(const SVertex& texCoord) { m_texVector.push_back(texCoord); }

void CMesh::addNormal(const SVertex& normal) { m_normVector.push_back(normal); }

void CMesh::addFace(const SPolygonFace& face) { m_faceVector.push_back(face); }

void CMesh::setMaterial(const SMaterial& material) {
    m_material = material;
    m_materialRuns.push_back({getNumFaces(), material});
}

void CMesh::setTexture(const boost::shared_ptr<CTexture>& texture) { m_pTexture = texture; }

void CMesh::setTexture(const std::string& fileName) { m_pTexture.reset(new CTexture(fileName)); }

bool CMesh::hasNormals() const { return m_normVector.size() > FIRST_INDEX; }

bool CMesh::hasTextureCoords() const { return m_texVector.size() > FIRST_INDEX; }

bool CMesh::hasTexture() const { return static_cast<bool>(m_pTexture); }

int CMesh::getNumVertices() const { return static_cast<int>(m_vertVector.size()) - FIRST_INDEX; }

int CMesh::getNumTextureCoords() const {
    return static_cast<int>(m_texVector.size()) - FIRST_INDEX;
}

int CMesh::getNumNormals() const { return static_cast<int>(m_normVector.size()) - FIRST_INDEX; }

int CMesh::getNumFaces() const { return static_cast<int>(m_faceVector.size()); }

const SVertex& CMesh::getVertex(int index) const {
    assert(inRange(index, 0, m_vertVector.size()));
    return m_vertVector[index];
}

const SVertex& CMesh::getTextureCoord(int index) const {
    assert(inRange(index, 0, m_texVector.size()));
    return m_texVector[index];
}

const SVertex& CMesh::getNormal(int index) const {
    assert(inRange(index, 0, m_normVector.size()));
    return m_normVector[index];
}

const SPolygonFace& CMesh::getFace(int index) const {
    assert(inRange(index, 0, m_faceVector.size()));
    return m_faceVector[index];
}

const SMaterial& CMesh::getMaterial() const { return m_material; }

bool CMesh::hasValidIndices(const SPolygonFace& face) const {
    const std::size_t corners = face.v.size();
    if (corners < 3 || face.vt.size() != corners || face.vn.size() != corners) {
        return false;
    }
    for (std::size_t i = 0; i < corners; ++i) {
        // Position 0 is only the placeholder, never a point of the model.
        if (!inRange(face.v[i], FIRST_INDEX, m_vertVector.size()) ||
            !inRange(face.vt[i], 0, m_texVector.size()) ||
            !inRange(face.vn[i], 0, m_normVector.size())) {
            return false;
        }
    }
    return true;
}

void CMesh::generateFlatNormals() {
    if (hasNormals()) {
        return;
    }
    for (SPolygonFace& face : m_faceVector) {
        if (!hasValidIndices(face)) {
            continue;
        }
        const SVertex& p0 = m_vertVector[face.v[0]];
        const SVertex& p1 = m_vertVector[face.v[1]];
        const SVertex& p2 = m_vertVector[face.v[2]];
        const float e1x = p1.x - p0.x, e1y = p1.y - p0.y, e1z = p1.z - p0.z;
        const float e2x = p2.x - p0.x, e2y = p2.y - p0.y, e2z = p2.z - p0.z;
        SVertex n(e1y * e2z - e1z * e2y, e1z * e2x - e1x * e2z, e1x * e2y - e1y * e2x);
        const float len = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
        // A degenerate face keeps the zero vector.
        if (len > 0) {
            const float inv = 1 / len;
            n.set(n.x * inv, n.y * inv, n.z * inv);
        }
        m_normVector.push_back(n);
        face.vn.assign(face.vn.size(), static_cast<int>(m_normVector.size()) - 1);
    }
}

int CMesh::getByteSize() const {
    std::size_t bytes =
        (m_vertVector.capacity() + m_texVector.capacity() + m_normVector.capacity()) *
            sizeof(SVertex) +
        m_faceVector.capacity() * sizeof(SPolygonFace);
    for (const SPolygonFace& face : m_faceVector) {
        bytes += (face.v.capacity() + face.vt.capacity() + face.vn.capacity()) * sizeof(int);
    }
    return static_cast<int>(bytes);
}

void CMesh::shrinkToFit() {
    shrinkVector(m_vertVector);
    shrinkVector(m_texVector);
    shrinkVector(m_normVector);
    shrinkVector(m_faceVector);
    for (SPolygonFace& face : m_faceVector) {
        shrinkVector(face.v);
        shrinkVector(face.vt);
        shrinkVector(face.vn);
    }
}

void CMesh::dumpBounds() const {
    CLogger::get() << "Mesh bounds: (" << m_minVert.x << ", " << m_minVert.y << ", " << m_minVert.z
                   << ") , (" << m_maxVert.x << ", " << m_maxVert.y << ", " << m_maxVert.z
                   << ").\n";
}

void CMesh::animate(float) {
    if (!hasTexture() && !m_material.map_Kd.empty()) {
        setTexture(m_material.map_Kd);
    }
    if (hasTexture() && !m_pTexture->isRegistred()) {
        m_pTexture->registerGL();
    }
}

void CMesh::draw() const {
    bool transparent = false;
    if (hasTexture()) {
        glBindTexture(GL_TEXTURE_2D, m_pTexture->getID());
        transparent = m_pTexture->isTransparent();
    }
    const bool depthTest = glIsEnabled(GL_DEPTH_TEST) == GL_TRUE;
    if (transparent) {
        glDisable(GL_DEPTH_TEST);
    }
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, m_material.Ka);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, m_material.Kd);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, m_material.Ks);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, m_material.Ns);

    const bool textured = hasTexture() && hasTextureCoords();
    for (const SPolygonFace& face : m_faceVector) {
        if (!hasValidIndices(face)) {
            continue;
        }
        glColor3f(1, 1, 0);
        glBegin(GL_POLYGON);
        for (std::size_t i = 0; i < face.v.size(); ++i) {
            glNormal3fv(m_normVector[face.vn[i]].getVertex3fv());
            if (textured) {
                glTexCoord3fv(m_texVector[face.vt[i]].getVertex3fv());
            }
            glVertex3fv(m_vertVector[face.v[i]].getVertex3fv());
        }
        glEnd();
    }

    if (depthTest) {
        glEnable(GL_DEPTH_TEST);
    } else {
        glDisable(GL_DEPTH_TEST);
    }
}

void CMesh::mydraw() const {
    for (const SPolygonFace& face : m_faceVector) {
        if (!hasValidIndices(face)) {
            continue;
        }
        glColor3f(1, 1, 0);
        glBegin(GL_POLYGON);
        for (std::size_t i = 0; i < face.v.size(); ++i) {
            glNormal3fv(m_normVector[face.vn[i]].getVertex3fv());
            glTexCoord3fv(m_texVector[face.vt[i]].getVertex3fv());
            glVertex3fv(m_vertVector[face.v[i]].getVertex3fv());
        }
        glEnd();
    }
}

void CMesh::drawBox() const {
    glColor3f(1, 0, 1);
    glPointSize(3);
    drawCorners(GL_POINTS, m_minVert, m_maxVert, {0, 1, 2, 3, 4, 5, 6, 7});
    // Bottom face (min y), then top face (max y).
    drawCorners(GL_LINE_LOOP, m_minVert, m_maxVert, {0, 1, 5, 4});
    drawCorners(GL_LINE_LOOP, m_minVert, m_maxVert, {7, 6, 2, 3});
    // The four edges parallel to y.
    drawCorners(GL_LINES, m_minVert, m_maxVert, {7, 5, 2, 0, 3, 1, 6, 4});
}
