#include "Tyra.h"

#include <cassert>

#include "GLSL_helper.h"
#include "Obj/Exception.h"
#include "Obj/Mesh.h"
#include "TyraMesh.h"
#include "program_exit.h"
#include "tex.h"

namespace {

// The mesh is drawn this many times its size, centred on the view's origin.
const GLfloat SCALE = 8;

}  // namespace

// The mesh takes no part in ray tracing; these are never called.
double Tyra::intersect(const Ray&, HitRec&) {
    assert(!"virtual double Tyra::intersect(const Ray&, HitRec&)");
    return -1.0;
}

Vector3 Tyra::surfaceNormal(const Point&) {
    assert(!"virtual Vector3 Tyra::surfaceNormal(const Point&)");
    return Vector3(0, 0, 0);
}

Point Tyra::getCorner1() const {
    assert(!"virtual Point Tyra::getCorner1() const");
    return Point(0, 0, 0);
}

Point Tyra::getCorner2() const {
    assert(!"virtual Point Tyra::getCorner2() const");
    return Point(0, 0, 0);
}

void Tyra::glDraw() const {
    if (m_loadFailed) {
        return;
    }
    const CMesh* mesh = nullptr;
    try {
        mesh = TyraMesh::get();
    } catch (const CException& e) {
        printErrorLine(e.getMessage());
        m_loadFailed = true;
        return;
    }
    const Vector3 lo(mesh->m_minVert.x, mesh->m_minVert.y, mesh->m_minVert.z);
    const Vector3 hi(mesh->m_maxVert.x, mesh->m_maxVert.y, mesh->m_maxVert.z);
    const Vector3 center = -0.5 * (lo + hi);

    printOglError("Tyra.h", 36);
    printOglError("Tyra.h", 40);
    glEnable(GL_TEXTURE_2D);
    // The core name of glActiveTextureARB: the GLVND library exports only core entry points.
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, TYRA_TEX_ID);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    printOglError("Tyra.h", 47);

    // R(SCALE (p - centre)), R turning the model's z-up to the view's y-up.
    glPushMatrix();
    glRotatef(-90, 1, 0, 0);
    glScalef(SCALE, SCALE, SCALE);
    glTranslatef(static_cast<GLfloat>(center.x), static_cast<GLfloat>(center.y),
                 static_cast<GLfloat>(center.z));
    mesh->mydraw();
    glPopMatrix();
    glDisable(GL_TEXTURE_2D);
}
