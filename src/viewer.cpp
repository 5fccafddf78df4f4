#include <cstdio>

#include "main.h"

int runInteractive(int*, char**) {
    std::fprintf(stderr, "the window modes are not built yet\n");
    return 1;
}
