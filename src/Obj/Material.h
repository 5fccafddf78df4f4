#pragma once

#include <string>

// A material as an MTL file describes it. The colours are RGBA so they can go
// to glMaterialfv as they are (float is OpenGL's GLfloat); MTL files only set
// the first three components.
struct SMaterial {
    std::string strName;  // newmtl
    float Ns;             // specular exponent (Ns)
    float Ka[4];          // ambient colour (Ka)
    float Kd[4];          // diffuse colour (Kd)
    float Ks[4];          // specular colour (Ks)
    int illum;            // illumination model (illum)
    // illum, d and Ni are stored only by the lenient reading (CMtlParser).
    float d;              // dissolve, 1 is opaque (d; Tr is 1 - d)
    float Ni;             // optical density, the index of refraction (Ni)
    std::string map_Kd;   // diffuse texture path, empty for none (map_Kd)

    SMaterial();

    // Every field but the name back to its default.
    void reset();
};
