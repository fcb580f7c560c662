#include "toolkit/fonts.h"
#include "toolkit/platform/qt_font.h"

#include "toolkit_test_support.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

namespace {

using FontsTest = ToolkitTest;

QString drawingFamily(Handle handle)
{
    const QFont* font = qtFontOfHandle(handle);
    return font ? QFontInfo(*font).family() : QString();
}

TEST_F(FontsTest, ArialIsFoundThroughTheDesktopsMetricAlias)
{
    if (!QFontDatabase::families().contains(QStringLiteral("Liberation Sans")))
        GTEST_SKIP() << "fonts-liberation is not installed";
    const Handle handle = loadFont(0, "Arial", 20);
    ASSERT_NE(handle, 0);
    EXPECT_EQ(fontID(0), handle);
    EXPECT_EQ(drawingFamily(handle), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(qtFontOfHandle(handle)->pixelSize(), 20);
}

TEST_F(FontsTest, SizesArePixelSizesWhateverTheScreensResolution)
{
    for (int size : { 9, 14, 20, 48 }) {
        const QFont* font = qtFontOfHandle(loadFont(0, "Arial", size));
        ASSERT_NE(font, nullptr) << size;
        EXPECT_EQ(font->pixelSize(), size);
        // The face that draws is that size too, not size points at the screen's dots per inch.
        EXPECT_EQ(QFontInfo(*font).pixelSize(), size);
    }
}

TEST_F(FontsTest, AnUnknownFamilyStillGivesTheDesktopsDefaultFace)
{
    const Handle handle = loadFont(0, "Qzx Nonexistent Face", 12);
    ASSERT_NE(handle, 0);
    EXPECT_NE(isFont(0), 0);
    EXPECT_FALSE(drawingFamily(handle).isEmpty());
}

TEST_F(FontsTest, NothingUsableFailsAndKeepsWhatTheNumberHeld)
{
    const Handle held = loadFont(0, "Arial", 20);
    ASSERT_NE(held, 0);
    struct Case {
        const char* family;
        int size;
    };
    const Case cases[] = { { nullptr, 12 }, { "", 12 }, { "Arial", 0 }, { "Arial", -3 }, { "Arial", 40000 } };
    for (const Case& c : cases) {
        EXPECT_EQ(loadFont(0, c.family, c.size), 0) << (c.family ? c.family : "null") << " " << c.size;
        EXPECT_EQ(fontID(0), held);
        EXPECT_EQ(loadFont(1, c.family, c.size), 0);
        EXPECT_EQ(isFont(1), 0);
        EXPECT_EQ(loadFont(DYNAMIC_NUMBER, c.family, c.size), 0);
    }
    EXPECT_EQ(loadFont(-5, "Arial", 12), 0);
}

TEST_F(FontsTest, FlagsGiveTheStyle)
{
    struct Case {
        int flags;
        bool bold, italic, underline;
    };
    const Case cases[] = {
        { 0, false, false, false },
        { FONT_BOLD, true, false, false },
        { FONT_ITALIC, false, true, false },
        { FONT_UNDERLINE, false, false, true },
        { FONT_BOLD | FONT_ITALIC | FONT_UNDERLINE, true, true, true },
    };
    for (const Case& c : cases) {
        const QFont* font = qtFontOfHandle(loadFont(0, "Arial", 14, c.flags));
        ASSERT_NE(font, nullptr) << c.flags;
        EXPECT_EQ(font->bold(), c.bold) << c.flags;
        EXPECT_EQ(font->italic(), c.italic) << c.flags;
        EXPECT_EQ(font->underline(), c.underline) << c.flags;
    }
}

TEST_F(FontsTest, ReloadingReplacesAndFreeingForgets)
{
    loadFont(0, "Arial", 20);
    const Handle second = loadFont(0, "Arial", 14, FONT_BOLD);
    EXPECT_EQ(fontID(0), second);
    EXPECT_EQ(qtFontOfHandle(second)->pixelSize(), 14);

    const int dynamic = static_cast<int>(loadFont(DYNAMIC_NUMBER, "Arial", 14, FONT_BOLD));
    EXPECT_GE(dynamic, 0x40000000);
    const Handle dynamicHandle = fontID(dynamic);
    EXPECT_NE(dynamicHandle, 0);
    EXPECT_NE(dynamicHandle, second);

    freeFont(dynamic);
    EXPECT_EQ(isFont(dynamic), 0);
    EXPECT_EQ(fontID(dynamic), 0);
    EXPECT_EQ(qtFontOfHandle(dynamicHandle), nullptr);
    freeFont(dynamic);

    loadFont(3, "Arial", 9);
    freeAllFonts();
    for (int number : { 0, 3 })
        EXPECT_EQ(isFont(number), 0) << number;
    EXPECT_EQ(qtFontOfHandle(second), nullptr);
}

} // namespace
