#include "toolkit/clipboard.h"
#include "toolkit/platform/qt_text.h"

#include "toolkit_test_support.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {

using ClipboardTest = ToolkitTest;

TEST_F(ClipboardTest, Latin1TextArrivesAsTheSameCharacters)
{
    const char* text = "K\xE4se 3.50\t\xB0 warm";
    ASSERT_EQ(setClipboardText(text), 1);
    const QString onClipboard = QGuiApplication::clipboard()->text();
    EXPECT_EQ(onClipboard, QString::fromUtf8("K\xC3\xA4se 3.50\t\xC2\xB0 warm"));
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
