#include "toolkit/keyboard_shortcuts.h"
#include "toolkit/platform/menu_registry.h"
#include "toolkit/platform/window_container.h"

#include "menu_test_support.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTest>

namespace {

QMenuBar* barOf(int window)
{
    WindowContainer* container = windowContainer(window);
    return container ? container->menuBar() : nullptr;
}

// The menu under the bar's title at index.
QMenu& titleMenu(int window, int index)
{
    QMenu* menu = barOf(window)->actions().at(index)->menu();
    EXPECT_NE(menu, nullptr);
    return *menu;
}

QAction* actionNamed(const QMenu& menu, const QString& text)
{
    for (QAction* action : menu.actions()) {
        if (action->text() == text)
            return action;
    }
    ADD_FAILURE() << "no item " << text.toStdString();
    return nullptr;
}

// Where the keyboard goes in the window: its focused widget, else the window itself.
QWidget* keyTarget(int window)
{
    WindowContainer* container = windowContainer(window);
    QWidget* focus = container->focusWidget();
    return focus ? focus : container;
}

void openActiveWindow(int number)
{
    openWindow(number, 20, 20, 300, 200, "menus", WINDOW_CLOSE_BOX | WINDOW_SIZE_BOX);
    QApplication::setActiveWindow(windowContainer(number));
    settle();
}

TEST_F(MenuTest, TheBarShowsLabelsWithoutAmpersandsAndKeyEquivalentsAsQtShortcuts)
{
    openActiveWindow(0);
    EXPECT_EQ(createMenu(0, windowHandle(0)), 1);
    menuTitle("&File\tCMD+F");
    EXPECT_EQ(menuItem(1, "&Open\tCMD+O"), 1);
    menuSeparator();
    EXPECT_EQ(menuItem(2, "Fish && Chips\tALT+DEL"), 3);
    menuTitle("Data");
    EXPECT_EQ(menuItem(9, "Catch Points\tALT+P"), 1);

    ASSERT_NE(barOf(0), nullptr);
    ASSERT_EQ(barOf(0)->actions().size(), 2);
    EXPECT_EQ(barOf(0)->actions().at(0)->text(), QStringLiteral("File"));
    EXPECT_EQ(barOf(0)->actions().at(1)->text(), QStringLiteral("Data"));
    EXPECT_EQ(actionTexts(titleMenu(0, 0)),
        (std::vector<QString> {
            QStringLiteral("Open"), QStringLiteral("-"), QStringLiteral("Fish  Chips") }));
    EXPECT_EQ(titleMenu(0, 0).actions().at(0)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    EXPECT_EQ(titleMenu(0, 0).actions().at(2)->shortcut(), QKeySequence(Qt::ALT | Qt::Key_Delete));
    EXPECT_EQ(titleMenu(0, 1).actions().at(0)->shortcut(), QKeySequence(Qt::ALT | Qt::Key_P));

    // The key equivalents work while the bar's window is active; the mouse gives the same.
    QTest::keyClick(keyTarget(0), Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(keyTarget(0), Qt::Key_P, Qt::AltModifier);
    titleMenu(0, 0).actions().at(2)->trigger();
    EXPECT_EQ(menuEvents(), (std::vector<MenuEvent> { { 1, 0 }, { 9, 0 }, { 2, 0 } }));
}

TEST_F(MenuTest, NumbersWindowsAndMissingCurrentMenus)
{
    openActiveWindow(0);
    EXPECT_EQ(menuItem(1, "Nothing current"), 0);
    menuSeparator();
    menuTitle("Nothing current");

    EXPECT_EQ(createMenu(0, 12345), 0); // no toolkit window
    EXPECT_EQ(createMenu(-7, windowHandle(0)), 0);
    EXPECT_EQ(createPopupMenu(-7), 0);
    const int dynamic = createMenu(DYNAMIC_NUMBER, windowHandle(0));
    EXPECT_GE(dynamic, 0x40000000);
    // A menu bar before its first title has nowhere to put items.
    EXPECT_EQ(menuItem(1, "Before a title"), 0);
    menuTitle("Title");
    EXPECT_EQ(menuItem(1, "After a title"), 1);

    const Handle popup = createPopupMenu(DYNAMIC_NUMBER);
    EXPECT_GE(popup, 0x40000000);
    EXPECT_NE(qtPopupMenu(static_cast<int>(popup)), nullptr);
    const Handle fixed = createPopupMenu(3);
    EXPECT_EQ(reinterpret_cast<QMenu*>(fixed), qtPopupMenu(3));
    EXPECT_EQ(qtPopupMenu(dynamic), nullptr);
}

TEST_F(MenuTest, QuitGoesLastIntoTheFirstMenuAndReportsTheBarsWindowOnce)
{
    openActiveWindow(3);
    createMenu(0, windowHandle(3));
    EXPECT_EQ(menuItem(MENU_ITEM_QUIT, "Quit\tCMD+Q"), 0); // no menu yet to hold it
    menuTitle("File");
    menuItem(1, "Open\tCMD+O");
    menuSeparator();
    menuItem(4, "Copy Data\tCMD+C");
    menuTitle("Data");
    menuItem(9, "Catch Points\tALT+P");

    EXPECT_EQ(actionTexts(titleMenu(3, 0)),
        (std::vector<QString> { QStringLiteral("Open"), QStringLiteral("-"), QStringLiteral("Copy Data"),
            QStringLiteral("-"), QStringLiteral("Quit") }));
    EXPECT_EQ(actionTexts(titleMenu(3, 1)), (std::vector<QString> { QStringLiteral("Catch Points") }));
    QAction* quit = actionNamed(titleMenu(3, 0), QStringLiteral("Quit"));
    ASSERT_NE(quit, nullptr);
    EXPECT_EQ(quit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));

    quit->trigger();
    EXPECT_EQ(menuEvents(), (std::vector<MenuEvent> { { MENU_ITEM_QUIT, 3 } }));
    // The items that went above Quit report as well.
    actionNamed(titleMenu(3, 0), QStringLiteral("Open"))->trigger();
    actionNamed(titleMenu(3, 0), QStringLiteral("Copy Data"))->trigger();
    EXPECT_EQ(menuEvents(), (std::vector<MenuEvent> { { 1, 3 }, { 4, 3 } }));
    QTest::keyClick(keyTarget(3), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(menuEvents(), (std::vector<MenuEvent> { { MENU_ITEM_QUIT, 3 } }));
}

TEST_F(MenuTest, PreferencesStandAboveQuitAndAboutLastInTheLastMenu)
{
    openActiveWindow(0);
    createMenu(0, windowHandle(0));
    menuTitle("Only");
    menuItem(1, "Open");
    EXPECT_EQ(menuItem(MENU_ITEM_ABOUT, "About Graphonite"), 3);
    menuItem(MENU_ITEM_QUIT, "");
    EXPECT_EQ(actionTexts(titleMenu(0, 0)),
        (std::vector<QString> { QStringLiteral("Open"), QStringLiteral("-"),
            QStringLiteral("About Graphonite"), QStringLiteral("Quit") }));

    menuTitle("Help");
    menuItem(7, "Manual\tF1");
    EXPECT_EQ(menuItem(MENU_ITEM_PREFERENCES, "Settings..."), 3);
    menuTitle("Last");
    EXPECT_EQ(actionTexts(titleMenu(0, 0)),
        (std::vector<QString> { QStringLiteral("Open"), QStringLiteral("-"), QStringLiteral("Settings..."),
            QStringLiteral("Quit") }));
    EXPECT_EQ(actionTexts(titleMenu(0, 1)), (std::vector<QString> { QStringLiteral("Manual") }));
    EXPECT_EQ(actionTexts(titleMenu(0, 2)),
        (std::vector<QString> { QStringLiteral("-"), QStringLiteral("About Graphonite") }));

    // Made again, an item replaces the old one.
    menuItem(MENU_ITEM_ABOUT, "About");
    EXPECT_EQ(actionTexts(titleMenu(0, 2)),
        (std::vector<QString> { QStringLiteral("-"), QStringLiteral("About") }));

    actionNamed(titleMenu(0, 0), QStringLiteral("Settings..."))->trigger();
    actionNamed(titleMenu(0, 2), QStringLiteral("About"))->trigger();
    EXPECT_EQ(
        menuEvents(), (std::vector<MenuEvent> { { MENU_ITEM_PREFERENCES, 0 }, { MENU_ITEM_ABOUT, 0 } }));
}

TEST_F(MenuTest, AKeyThatAWindowShortcutAndAMenuItemShareIsReportedOnceByTheShortcut)
{
    openActiveWindow(0);
    createMenu(0, windowHandle(0));
    menuTitle("File");
    menuItem(1, "Open\tCMD+O");
    menuItem(2, "Save\tCMD+S");
    addKeyboardShortcut(0, 0x8006F, 7); // command O
    addKeyboardShortcut(0, 0x20073, 8); // control S: the same key on Linux

    QTest::keyClick(keyTarget(0), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(menuEvents(), (std::vector<MenuEvent> { { 7, 0 } }));
    QTest::keyClick(keyTarget(0), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(menuEvents(), (std::vector<MenuEvent> { { 8, 0 } }));

    // Also with a text field in the focus.
    QLineEdit field(windowContent(0));
    field.show();
    field.setFocus();
    QTest::keyClick(keyTarget(0), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(menuEvents(), (std::vector<MenuEvent> { { 7, 0 } }));
}

class EditCommandTest : public MenuTest {
protected:
    void SetUp() override
    {
        MenuTest::SetUp();
        openActiveWindow(0);
        createMenu(0, windowHandle(0));
        menuTitle("Edit");
        menuItem(4, "Copy Data\tCMD+C");
        menuItem(5, "Cut\tCMD+X");
        menuItem(6, "Paste\tCTRL+V");
        menuItem(7, "Undo\tCMD+Z");
        menuItem(8, "Select All\tCMD+A");
        menuItem(9, "Again\tCMD+Y");
        menuItem(10, "Bare\tB");
        m_field = std::make_unique<QLineEdit>(windowContent(0));
        m_button = std::make_unique<QPushButton>(QStringLiteral("button"), windowContent(0));
        m_button->move(0, 40);
        m_field->show();
        m_button->show();
        m_field->setText(QStringLiteral("hello world"));
        m_field->setFocus();
        m_field->setSelection(6, 5);
        settle();
    }

    void TearDown() override
    {
        m_field.reset();
        m_button.reset();
        MenuTest::TearDown();
    }

    QAction* item(const char* text) { return actionNamed(titleMenu(0, 0), QString::fromLatin1(text)); }

    std::unique_ptr<QLineEdit> m_field;
    std::unique_ptr<QPushButton> m_button;
};

TEST_F(EditCommandTest, ControlCInAFocusedFieldCopiesByKeyAndByMouseAndReportsNothing)
{
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(keyTarget(0), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("world"));
    EXPECT_EQ(menuEvents(), std::vector<MenuEvent> {});

    m_field->setSelection(0, 5);
    item("Copy Data")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("hello"));
    EXPECT_EQ(menuEvents(), std::vector<MenuEvent> {});
}

TEST_F(EditCommandTest, TheFiveCommandsActOnTheField)
{
    item("Select All")->trigger();
    EXPECT_EQ(m_field->selectedText(), QStringLiteral("hello world"));
    m_field->setSelection(0, 6);
    item("Cut")->trigger();
    EXPECT_EQ(m_field->text(), QStringLiteral("world"));
    m_field->setCursorPosition(5);
    item("Paste")->trigger();
    EXPECT_EQ(m_field->text(), QStringLiteral("worldhello "));
    item("Undo")->trigger();
    EXPECT_EQ(m_field->text(), QStringLiteral("world"));
    EXPECT_EQ(menuEvents(), std::vector<MenuEvent> {});

    // A read-only field copies and selects but leaves the rest to the menu.
    m_field->setReadOnly(true);
    item("Cut")->trigger();
    item("Paste")->trigger();
    item("Select All")->trigger();
    EXPECT_EQ(m_field->text(), QStringLiteral("world"));
    EXPECT_EQ(menuEvents(), (std::vector<MenuEvent> { { 5, 0 }, { 6, 0 } }));
}

TEST_F(EditCommandTest, WithoutAFocusedFieldTheItemIsReported)
{
    m_button->setFocus();
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    QTest::keyClick(keyTarget(0), Qt::Key_C, Qt::ControlModifier);
    item("Copy Data")->trigger();
    item("Paste")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
    EXPECT_EQ(m_field->text(), QStringLiteral("hello world"));
    EXPECT_EQ(menuEvents(), (std::vector<MenuEvent> { { 4, 0 }, { 6, 0 } }));
}

TEST_F(EditCommandTest, OtherKeyEquivalentsWinOverTheFieldsOwnBindings)
{
    // A line edit redoes with Control+Y; the menu item answers to it here.
    m_field->end(false);
    m_field->insert(QStringLiteral("!"));
    m_field->undo();
    ASSERT_TRUE(m_field->isRedoAvailable());
    QTest::keyClick(keyTarget(0), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(m_field->text(), QStringLiteral("hello world"));
    EXPECT_EQ(menuEvents(), (std::vector<MenuEvent> { { 9, 0 } }));

    // Keys without Control or Alt stay typing keys of the field.
    QTest::keyClick(keyTarget(0), Qt::Key_B);
    EXPECT_EQ(m_field->text(), QStringLiteral("hello worldb"));
    EXPECT_EQ(menuEvents(), std::vector<MenuEvent> {});
}

TEST_F(MenuTest, APopupMenuShowsAtTheMouseAndReportsTheWindowOfItsDisplay)
{
    openActiveWindow(0);
    openActiveWindow(1);
    const Handle handle = createPopupMenu(2);
    menuTitle("ignored in a popup");
    EXPECT_EQ(menuItem(1, "Open Diagram\tCMD+O"), 1);
    menuSeparator();
    EXPECT_EQ(menuItem(MENU_ITEM_QUIT, "An ordinary item here"), 3);
    QMenu* popup = qtPopupMenu(2);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(reinterpret_cast<QMenu*>(handle), popup);
    EXPECT_EQ(actionTexts(*popup),
        (std::vector<QString> {
            QStringLiteral("Open Diagram"), QStringLiteral("-"), QStringLiteral("An ordinary item here") }));

    setMouseSource([] { return QPoint(120, 90); });
    displayPopupMenu(2, windowHandle(0));
    EXPECT_TRUE(popup->isVisible());
    EXPECT_EQ(popup->pos(), QPoint(120, 90));
    popup->actions().at(0)->trigger();
    popup->hide();
    EXPECT_EQ(menuEvents(), (std::vector<MenuEvent> { { 1, 0 } }));

    displayPopupMenu(2, windowHandle(1));
    popup->actions().at(2)->trigger();
    popup->hide();
    EXPECT_EQ(menuEvents(), (std::vector<MenuEvent> { { MENU_ITEM_QUIT, 1 } }));

    // Not a popup menu, or no window: nothing shows.
    displayPopupMenu(2, 12345);
    displayPopupMenu(7, windowHandle(0));
    EXPECT_FALSE(popup->isVisible());
}

TEST_F(MenuTest, CreatingTheMenuBarAgainReplacesItAndKeepsTheContentSize)
{
    openActiveWindow(0);
    createMenu(0, windowHandle(0));
    menuTitle("File");
    menuItem(1, "Open\tCMD+O");
    settle();
    QPointer<QMenuBar> first = barOf(0);
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(windowWidth(0), 300);
    EXPECT_EQ(windowHeight(0), 200);

    createMenu(0, windowHandle(0));
    menuTitle("Data");
    menuItem(2, "Save\tCMD+S");
    settle();
    EXPECT_TRUE(first.isNull());
    ASSERT_NE(barOf(0), nullptr);
    ASSERT_EQ(barOf(0)->actions().size(), 1);
    EXPECT_EQ(barOf(0)->actions().at(0)->text(), QStringLiteral("Data"));
    EXPECT_EQ(windowWidth(0), 300);
    EXPECT_EQ(windowHeight(0), 200);
    EXPECT_EQ(windowContainer(0)->height(), 200 + barOf(0)->height());

    // The old bar's key equivalents went with it.
    QTest::keyClick(keyTarget(0), Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(keyTarget(0), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(menuEvents(), (std::vector<MenuEvent> { { 2, 0 } }));

    // Another number for the same window replaces the bar as well.
    createMenu(5, windowHandle(0));
    menuTitle("Other");
    settle();
    ASSERT_EQ(barOf(0)->actions().size(), 1);
    EXPECT_EQ(barOf(0)->actions().at(0)->text(), QStringLiteral("Other"));
    EXPECT_EQ(windowHeight(0), 200);
}

TEST_F(MenuTest, AMenuBarOutlivingItsWindowIsHarmless)
{
    openActiveWindow(0);
    createMenu(0, windowHandle(0));
    menuTitle("File");
    closeWindow(0);
    EXPECT_EQ(menuItem(1, "Open\tCMD+O"), 1);
    menuTitle("Data");
    menuSeparator();

    openActiveWindow(1);
    EXPECT_EQ(createMenu(0, windowHandle(1)), 1);
    menuTitle("New");
    EXPECT_EQ(barOf(1)->actions().size(), 1);
    closeWindow(1);
    freeAllMenus();
    EXPECT_EQ(menuItem(1, "Nothing current"), 0);
}

} // namespace

namespace {

TEST_F(MenuTest, CheckMarksGoOnEveryItemOfTheirNumberAndOnlyThere)
{
    openActiveWindow(0);
    createMenu(0, windowHandle(0));
    menuTitle("Data");
    menuItem(51, "Logarithmic X Axis");
    menuSeparator();
    menuItem(52, "Logarithmic Y Axis");
    menuTitle("More");
    menuItem(51, "Logarithmic X Axis again");
    createPopupMenu(4);
    menuItem(51, "Logarithmic X Axis");

    setMenuItemChecked(0, 51, 1);
    EXPECT_TRUE(titleMenu(0, 0).actions().at(0)->isChecked());
    EXPECT_TRUE(titleMenu(0, 1).actions().at(0)->isChecked());
    EXPECT_FALSE(titleMenu(0, 0).actions().at(2)->isCheckable());
    EXPECT_FALSE(titleMenu(0, 0).actions().at(1)->isCheckable()) << "the separator stays one";
    EXPECT_FALSE(qtPopupMenu(4)->actions().at(0)->isCheckable()) << "another menu";

    setMenuItemChecked(4, 51, 1);
    EXPECT_TRUE(qtPopupMenu(4)->actions().at(0)->isChecked());
    setMenuItemChecked(0, 51, 0);
    EXPECT_TRUE(titleMenu(0, 0).actions().at(0)->isCheckable());
    EXPECT_FALSE(titleMenu(0, 0).actions().at(0)->isChecked());
    // Unknown menus and items change nothing and do not fail.
    setMenuItemChecked(9, 51, 1);
    setMenuItemChecked(0, 77, 1);
    EXPECT_FALSE(titleMenu(0, 0).actions().at(0)->isChecked());
}

} // namespace
