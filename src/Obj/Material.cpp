#include "Material.h"

SMaterial::SMaterial() { reset(); }

void SMaterial::reset() {
    Ns = 32;
    Ka[0] = 0;
    Ka[1] = 0;
    Ka[2] = 0;
    Ka[3] = 1;
    Kd[0] = 1;
    Kd[1] = 1;
    Kd[2] = 1;
    Kd[3] = 1;
    Ks[0] = 0.8f;
    Ks[1] = 0.8f;
    Ks[2] = 0.8f;
    Ks[3] = 1;
    illum = 2;
    d = 1;
    Ni = 1;
    map_Kd.clear();
}
