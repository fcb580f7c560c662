#include "magnifier.h"

#include "app_ids.h"

#include "imaging/drawing.h"
#include "imaging/image.h"
#include "toolkit/gadgets.h"

namespace {

// The cross-hair: four bars 18 pixels long and 3 thick around an open square at 88 .. 91.
struct Bar {
    int x;
    int y;
    int width;
    int height;
};
constexpr Bar CROSS_HAIR[] = {
    { 89, 70, 3, 18 },
    { 89, 92, 3, 18 },
    { 70, 89, 18, 3 },
    { 92, 89, 18, 3 },
};
constexpr unsigned BLACK = 0;

} // namespace

void drawMagnifier(int x, int y)
{
    if (!beginDrawing(imageDrawTarget(IMAGE_DIAGRAM)))
        return;
    copyAreaToImage(
        IMAGE_MAGNIFIER, x - MAGNIFIED_AREA / 2, y - MAGNIFIED_AREA / 2, MAGNIFIED_AREA, MAGNIFIED_AREA);
    scaleImage(IMAGE_MAGNIFIER, MAGNIFIER_SIZE, MAGNIFIER_SIZE);
    endDrawing();
    if (beginDrawing(imageDrawTarget(IMAGE_MAGNIFIER))) {
        for (const Bar& bar : CROSS_HAIR)
            drawBox(bar.x, bar.y, bar.width, bar.height, BLACK);
        endDrawing();
    }
    setGadgetState(GADGET_MAGNIFIER, imagePlatformHandle(IMAGE_MAGNIFIER));
}
