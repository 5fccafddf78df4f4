#include "state.h"

int main(int argc, char** argv) {
    return raytracerMain(argc, argv);
}
