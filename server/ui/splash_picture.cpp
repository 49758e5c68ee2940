// grainlink-splash-picture: writes the built-in picture as the Splash.bmp installed beside the
// program, so that a normal installation finds its picture file.
#include <cstdio>

#include "server/ui/product_picture.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.bmp\n", argv[0]);
        return 2;
    }
    if (grainlink::BuiltInProductPicture().save(QString::fromLocal8Bit(argv[1]), "BMP")) return 0;
    std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
    return 1;
}
