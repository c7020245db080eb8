// The file library: the program identifier of a compiled image, read with the image reader.
#include "vevadi32.h"

#include "image/image.h"

H2_API uint32_t RUX_GetFileDescription(const char* path) try {
    if (path == nullptr || *path == '\0') return 0;
    return rux::image::fileProgramId(path);
} catch (...) {
    return 0;
}
