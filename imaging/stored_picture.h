#pragma once

#include "runtime/object_number.h"

#include <cstddef>
#include <cstdint>

// The pictures built into the program, as complete PNG files. The dialog icons have the numbers
// that message dialogs use for them.
enum class StoredPicture {
    DialogQuestion = 0, // 120 x 90, a question mark
    DialogProhibition = 1, // 120 x 90, a circle with a diagonal bar
    DialogLightBulb = 2, // 120 x 90, a light bulb
    DialogInformation = 3, // 120 x 90, a lower-case letter i
    DialogPadlock = 4, // 120 x 90, an open padlock
    Pen = 5, // 24 x 24 RGBA, a pencil drawn diagonally
};

// The dialog icons are 8-bit palette PNGs whose palette index 0 (the background) is fully
// transparent through a one-entry tRNS chunk; the drawing is black with grey edges.
inline constexpr int DIALOG_ICON_COUNT = 5;

struct StoredPictureBytes {
    const std::uint8_t* data;
    std::size_t size;
};

// The PNG bytes of a picture; { nullptr, 0 } for a value that names none.
StoredPictureBytes storedPicture(StoredPicture picture);
// Decodes the picture into an image, with the results of decodeImageMemory.
Handle decodeStoredPicture(int number, StoredPicture picture);
