#include "imaging_fixture.h"

#include "imaging/platform_image_qt.h"

#include <QColor>
#include <QImage>

namespace {

Rgba gradient(int x, int y)
{
    return { std::uint8_t(3 * x), std::uint8_t(5 * y), 99, std::uint8_t(128 + x) };
}

Rgba qtPixel(Handle handle, int x, int y)
{
    const QColor c = platformImageOf(handle)->pixelColor(x, y);
    return { std::uint8_t(c.red()), std::uint8_t(c.green()), std::uint8_t(c.blue()),
        std::uint8_t(c.alpha()) };
}

using PlatformImageTest = ImagingTest;

TEST_F(PlatformImageTest, ShowsTheBufferAsStraightRgba)
{
    const Handle handle = makePattern(1, 7, 5, gradient);
    const QImage* image = platformImageOf(handle);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->format(), QImage::Format_RGBA8888);
    EXPECT_EQ(image->width(), 7);
    EXPECT_EQ(image->height(), 5);
    EXPECT_EQ(image->constBits(), imagePixels(1)); // no copy was made
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(qtPixel(handle, x, y), gradient(x, y)) << x << ", " << y;
    }
    EXPECT_EQ(platformImageOf(0), nullptr);
    EXPECT_EQ(platformImageOf(handle + 12345), nullptr);
}

TEST_F(PlatformImageTest, AHeldPlatformImageOutlivesWhatHappensToItsImage)
{
    const Handle original = makePattern(1, 20, 20, gradient);
    keep(original);
    const QImage copy = *platformImageOf(original); // a gadget may also keep a QImage copy

    ASSERT_EQ(scaleImage(1, 40, 40), 1);
    const Handle scaled = imagePlatformHandle(1);
    keep(scaled);
    {
        ScopedDrawing drawing(imageDrawTarget(1));
        drawBox(0, 0, 40, 40, 0xFF00FF00);
    }
    const Handle drawn = imagePlatformHandle(1);
    releaseImage(1);

    // Each still shows what the image held when it was made: held platform images never change.
    EXPECT_NE(scaled, original);
    EXPECT_NE(drawn, scaled);
    EXPECT_EQ(platformImageReferences(original), 1);
    EXPECT_EQ(platformImageReferences(drawn), 0);
    EXPECT_EQ(qtPixel(original, 19, 19), gradient(19, 19));
    EXPECT_EQ(platformImageOf(scaled)->width(), 40);
    EXPECT_EQ(qtPixel(scaled, 0, 0)[0], 0);
    EXPECT_EQ(qtPixel(scaled, 0, 0)[1], 0);
    const QColor fromCopy = copy.pixelColor(19, 19);
    EXPECT_EQ(fromCopy.green(), 95);
}

TEST_F(PlatformImageTest, DrawingCopiesPixelsOnlyWhenAHeldPlatformImageShowsThem)
{
    makeImage(1, 30, 30, 32);
    const std::uint8_t* unshared = imagePixels(1);
    {
        ScopedDrawing drawing(imageDrawTarget(1));
        drawBox(0, 0, 1, 1, 0xFFFFFF);
    }
    EXPECT_EQ(imagePixels(1), unshared); // nobody held the platform image: drawn in place

    const Handle shown = imagePlatformHandle(1);
    keep(shown);
    {
        ScopedDrawing drawing(imageDrawTarget(1));
        drawBox(1, 0, 1, 1, 0xFFFFFF);
        drawBox(2, 0, 1, 1, 0xFFFFFF); // the second box needs no further copy
    }
    EXPECT_NE(imagePixels(1), unshared);
    EXPECT_EQ(qtPixel(shown, 1, 0), (Rgba { 0, 0, 0, 255 }));
    EXPECT_EQ(qtPixel(shown, 0, 0), (Rgba { 255, 255, 255, 255 }));
    EXPECT_EQ(qtPixel(imagePlatformHandle(1), 1, 0), (Rgba { 255, 255, 255, 255 }));
    EXPECT_EQ(qtPixel(imagePlatformHandle(1), 2, 0), (Rgba { 255, 255, 255, 255 }));

    // Only reading (as the magnifier reads the diagram) copies nothing, held or not.
    const std::uint8_t* before = imagePixels(1);
    keep(imagePlatformHandle(1));
    {
        ScopedDrawing drawing(imageDrawTarget(1));
        copyAreaToImage(2, 0, 0, 10, 10);
    }
    EXPECT_EQ(imagePixels(1), before);
}

TEST_F(PlatformImageTest, ReferencesAndHandles)
{
    const Handle first = makeImage(1, 2, 2, 32);
    retainPlatformImage(first);
    retainPlatformImage(first);
    EXPECT_EQ(platformImageReferences(first), 3);
    releasePlatformImage(first);
    releasePlatformImage(first);
    EXPECT_EQ(platformImageReferences(first), 1);
    releaseImage(1);
    EXPECT_EQ(platformImageReferences(first), 0);
    EXPECT_EQ(platformImageOf(first), nullptr);
    releasePlatformImage(first); // no longer live: nothing happens
    retainPlatformImage(first);
    EXPECT_EQ(platformImageReferences(first), 0);

    // Handles are not reused, so a stale one never finds a newer image.
    const Handle second = makeImage(1, 2, 2, 32);
    EXPECT_NE(second, first);
    EXPECT_EQ(makePlatformImage(nullptr), 0);
}

TEST_F(PlatformImageTest, ReferenceHoldersRetainAndRelease)
{
    const Handle first = makeImage(1, 2, 2, 32);
    const Handle second = makeImage(2, 2, 2, 32);
    {
        PlatformImageReference shown(first);
        PlatformImageReference copy = shown;
        EXPECT_EQ(platformImageReferences(first), 3);
        PlatformImageReference moved = std::move(copy);
        EXPECT_EQ(copy.handle(), 0);
        EXPECT_EQ(platformImageReferences(first), 3);
        moved.reset(second);
        EXPECT_EQ(platformImageReferences(first), 2);
        EXPECT_EQ(platformImageReferences(second), 2);
        shown = moved;
        EXPECT_EQ(platformImageReferences(first), 1);
        EXPECT_EQ(platformImageReferences(second), 3);
        releaseImage(2);
        EXPECT_NE(platformImageOf(second), nullptr); // still shown
    }
    EXPECT_EQ(platformImageReferences(second), 0);
    EXPECT_EQ(platformImageReferences(first), 1);
}

} // namespace
