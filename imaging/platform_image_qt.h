#pragma once

#include "runtime/object_number.h"

class QImage;

// For the toolkit's platform layer: the QImage of a live platform image (Format_RGBA8888, not
// premultiplied), or nullptr. The pointer stays valid while the caller holds a reference
// (retainPlatformImage); copies of the QImage keep the pixels alive on their own.
const QImage* platformImageOf(Handle handle);
