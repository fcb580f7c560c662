#pragma once

#include <cstddef>
#include <cstdint>

// The PNG files of resources/ as the build embeds them (embed_pictures.cmake), in the order the
// imaging CMakeLists.txt names them.
struct EmbeddedPicture {
    const std::uint8_t* bytes;
    std::size_t size;
};

extern const EmbeddedPicture EMBEDDED_PICTURES[];
extern const std::size_t EMBEDDED_PICTURE_COUNT;
