#include "app_identity.h"

#include "imaging/embedded_pictures.h"
#include "toolkit/application.h"

extern const EmbeddedPicture APP_ICON_PICTURES[];
extern const std::size_t APP_ICON_PICTURE_COUNT;

void announceApplicationIdentity()
{
    const EmbeddedPicture icon
        = APP_ICON_PICTURE_COUNT > 0 ? APP_ICON_PICTURES[0] : EmbeddedPicture { nullptr, 0 };
    setApplicationIdentity(APPLICATION_ID, icon.bytes, icon.size);
}
