#pragma once

#include <png.h>

// How libpng reports to the PNG decoder: an error keeps its message as the load's failure
// reason and returns through png_longjmp to the decoder's setjmp; warnings (damaged ancillary
// chunks and the like, which libpng recovers from) are dropped.
//
// Creates a read structure with these handlers and the limits every load obeys: sides of at
// most MAX_IMAGE_SIDE and bounded memory for ancillary chunks. nullptr when libpng has no memory.
png_structp createPngReader();
