#include "toolkit/clipboard.h"
#include "toolkit/platform/qt_text.h"

#include "toolkit_test_support.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {

using ClipboardTest = ToolkitTest;

TEST_F(ClipboardTest, Latin1TextArrivesAsTheSameCharacters)
{
    const char* text = "Gr\xE4" "fin 3.50\t\xB0" "C";
    ASSERT_EQ(setClipboardText(text), 1);
    const QString onClipboard = QGuiApplication::clipboard()->text();
    EXPECT_EQ(onClipboard, QString::fromUtf8("Gr\xC3\xA4" "fin 3.50\t\xC2\xB0" "C"));
    EXPECT_EQ(latin1Text(onClipboard), QByteArray(text));
}

TEST_F(ClipboardTest, NullAndEmptyPutAnEmptyText)
{
    for (const char* text : { static_cast<const char*>(nullptr), "" }) {
        ASSERT_EQ(setClipboardText("something"), 1);
        ASSERT_EQ(setClipboardText(text), 1);
        EXPECT_TRUE(QGuiApplication::clipboard()->text().isEmpty());
    }
}

} // namespace
