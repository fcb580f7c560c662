#include "imaging/stored_picture.h"

#include "imaging/embedded_pictures.h"
#include "imaging/image.h"

StoredPictureBytes storedPicture(StoredPicture picture)
{
    const auto index = static_cast<std::size_t>(picture);
    if (index >= EMBEDDED_PICTURE_COUNT)
        return { nullptr, 0 };
    return { EMBEDDED_PICTURES[index].bytes, EMBEDDED_PICTURES[index].size };
}

Handle decodeStoredPicture(int number, StoredPicture picture)
{
    const StoredPictureBytes bytes = storedPicture(picture);
    return bytes.data ? decodeImageMemory(number, bytes.data, bytes.size) : 0;
}
