// Writes the generated test tiles into a folder, for looking at snapshots by hand:
//   make-test-tiles DIR
#include <cstdio>
#include <string>

#include "tests/pictures/test_tiles.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-test-tiles DIR\n");
        return 2;
    }
    std::string folder = argv[1];
    if (folder.empty() || folder.back() != '/') folder += '/';
    if (!WriteTestTiles(folder)) {
        std::fprintf(stderr, "make-test-tiles: cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
