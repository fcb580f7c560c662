// The test driver over Qt and QTest.
// Implements (test_driver.h):
// - the mouse: a mouse source of mouse_source.h at a point of a window, or outside every window;
// - clickGadget: press and release through QTest's window path (the window system interface),
//   so that Qt routes them to the widget under the point as it routes the desktop's clicks;
// - menus: the QActions of a bar or popup menu found by the item number they carry
//   (menuItemNumber), triggered as a mouse choice triggers them; displayPopupMenu recorded
//   through the popup display seam instead of shown;
// - keys: QTest key clicks on the focused widget, which pass Qt's shortcut map first, as the
//   desktop's keys do;
// - runDuringNextWait: the wait-begin seam of wait_begin_hook.h;
// - the looks: windows, gadgets, status bars and timers from the registries.
// Both seams are set while the driver is linked, from the start of the process.

#include "toolkit/test_driver.h"

#include "toolkit/event_codes.h"
#include "toolkit/gadgets.h"
#include "toolkit/key_equivalent.h"
#include "toolkit/keyboard_shortcuts.h"
#include "toolkit/platform/gadget.h"
#include "toolkit/platform/gadget_registry.h"
#include "toolkit/platform/list_gadget_model.h"
#include "toolkit/platform/menu_registry.h"
#include "toolkit/platform/mouse_source.h"
#include "toolkit/platform/qt_keys.h"
#include "toolkit/platform/qt_text.h"
#include "toolkit/platform/status_bar_fields.h"
#include "toolkit/platform/window_container.h"
#include "toolkit/session_end.h"
#include "toolkit/wait_begin_hook.h"
#include "toolkit/window.h"
#include "toolkit/window_registry.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDropEvent>
#include <QFile>
#include <QFontInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <QUrl>
#include <QWindow>

#include <deque>
#include <utility>

namespace {

// Far away from every screen: no window's content holds it.
constexpr QPoint OUTSIDE_EVERY_WINDOW(-100000, -100000);

struct DriverState {
    std::deque<std::function<void()>> waitActions;
    int lastPopup = -1;
    int popupDisplays = 0;
};

DriverState& state()
{
    static DriverState driver;
    return driver;
}

void runNextWaitAction()
{
    auto& actions = state().waitActions;
    if (actions.empty())
        return;
    // Taken off first: the action may wait itself, and that wait runs the next one.
    std::function<void()> action = std::move(actions.front());
    actions.pop_front();
    action();
}

void recordPopupDisplay(int number)
{
    state().lastPopup = number;
    ++state().popupDisplays;
}

// Set while the driver is linked into the process.
[[maybe_unused]] const bool g_seamsSet = [] {
    setWaitBeginHook(runNextWaitAction);
    setPopupDisplayHook(recordPopupDisplay);
    return true;
}();

QWidget* gadgetWidget(int gadget)
{
    Gadget* found = gadgetOf(gadget);
    return found ? found->widget() : nullptr;
}

// The gadget's rectangle in its window's content (its parent's coordinates when it has no window).
QRect contentRect(int gadget)
{
    Gadget* found = gadgetOf(gadget);
    if (!found)
        return {};
    QWidget* widget = found->widget();
    QWidget* content = windowContent(found->windowNumber());
    if (!content || !content->isAncestorOf(widget))
        return widget->geometry();
    return QRect(widget->mapTo(content, QPoint(0, 0)), widget->size());
}

std::vector<QAction*> barActions(int window)
{
    std::vector<QAction*> actions;
    WindowContainer* container = windowContainer(window);
    if (!container || !container->menuBar())
        return actions;
    for (QAction* title : container->menuBar()->actions()) {
        if (QMenu* menu = title->menu()) {
            for (QAction* action : menu->actions())
                actions.push_back(action);
        }
    }
    return actions;
}

std::vector<QAction*> popupActions(int popup)
{
    std::vector<QAction*> actions;
    if (QMenu* menu = qtPopupMenu(popup)) {
        for (QAction* action : menu->actions())
            actions.push_back(action);
    }
    return actions;
}

int chooseAmong(const std::vector<QAction*>& actions, int item)
{
    for (QAction* action : actions) {
        if (!action->isSeparator() && menuItemNumber(*action) == item && action->isEnabled()) {
            action->trigger();
            return 1;
        }
    }
    return 0;
}

std::vector<int> itemNumbers(const std::vector<QAction*>& actions)
{
    std::vector<int> items;
    for (const QAction* action : actions)
        items.push_back(action->isSeparator() ? 0 : menuItemNumber(*action));
    return items;
}

std::string latin1String(const QString& text)
{
    return latin1Text(text).toStdString();
}

Qt::KeyboardModifiers qtModifiers(int code)
{
    Qt::KeyboardModifiers modifiers;
    if (code & SHORTCUT_SHIFT)
        modifiers |= Qt::ShiftModifier;
    if (code & (SHORTCUT_CONTROL | SHORTCUT_COMMAND))
        modifiers |= Qt::ControlModifier;
    if (code & SHORTCUT_ALT)
        modifiers |= Qt::AltModifier;
    return modifiers;
}

// The text a key press carries: the character it types, none while Control or Alt is held.
QString keyText(const KeyEquivalent& key, Qt::KeyboardModifiers modifiers)
{
    if (key.isVirtual || (modifiers & (Qt::ControlModifier | Qt::AltModifier)))
        return {};
    const QChar character(static_cast<char16_t>(key.key));
    return (modifiers & Qt::ShiftModifier) ? QString(character.toUpper()) : QString(character);
}

// The widget that gets the window's keys: its focused widget, else the window.
QWidget* keyTarget(WindowContainer& window)
{
    QWidget* focused = window.focusWidget();
    return focused ? focused : &window;
}

// A window that the user types into is the active one; Qt's shortcut map also asks for it.
void activate(WindowContainer& window)
{
    if (QApplication::activeWindow() == &window || !window.isVisible())
        return;
    window.activateWindow();
    for (int pass = 0; pass < 100 && QApplication::activeWindow() != &window; ++pass)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

} // namespace

void placeMouse(int window, int x, int y)
{
    QPointer<QWidget> content = windowContent(window);
    const QPoint at(x, y);
    setMouseSource([content, at] { return content ? content->mapToGlobal(at) : OUTSIDE_EVERY_WINDOW; });
}

void placeMouseOutside()
{
    setMouseSource([] { return OUTSIDE_EVERY_WINDOW; });
}

void resetMouse()
{
    setMouseSource({});
}

int clickGadget(int gadget, int button, int x, int y, int modifiers)
{
    QWidget* widget = gadgetWidget(gadget);
    if (!widget)
        return 0;
    const QPoint inGadget
        = x >= 0 && y >= 0 ? QPoint(x, y) : QPoint(widget->width() / 2, widget->height() / 2);
    const QRect inContent = contentRect(gadget);
    placeMouse(gadgetOf(gadget)->windowNumber(), inContent.x() + inGadget.x(), inContent.y() + inGadget.y());
    QWidget* topLevel = widget->window();
    QWindow* window = topLevel->windowHandle();
    if (!window)
        return 1;
    const Qt::MouseButton qtButton = button == GADGET_RIGHT_CLICK ? Qt::RightButton : Qt::LeftButton;
    Qt::KeyboardModifiers held;
    if (modifiers & SHORTCUT_SHIFT)
        held |= Qt::ShiftModifier;
    if (modifiers & (SHORTCUT_CONTROL | SHORTCUT_COMMAND))
        held |= Qt::ControlModifier;
    if (modifiers & SHORTCUT_ALT)
        held |= Qt::AltModifier;
    QTest::mouseClick(window, qtButton, held, widget->mapTo(topLevel, inGadget));
    return 1;
}

namespace {

enum class DragStep { Press, Move, Release };

int dragStep(int gadget, int x, int y, DragStep step)
{
    QWidget* widget = gadgetWidget(gadget);
    if (!widget)
        return 0;
    const QRect inContent = contentRect(gadget);
    placeMouse(gadgetOf(gadget)->windowNumber(), inContent.x() + x, inContent.y() + y);
    QWidget* topLevel = widget->window();
    QWindow* window = topLevel->windowHandle();
    if (!window)
        return 1;
    const QPoint at = widget->mapTo(topLevel, QPoint(x, y));
    // QTest remembers the pressed button, so the move carries it as the desktop's moves do.
    if (step == DragStep::Press)
        QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, at);
    else if (step == DragStep::Move)
        QTest::mouseMove(window, at);
    else
        QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, at);
    return 1;
}

} // namespace

int pressGadget(int gadget, int x, int y)
{
    return dragStep(gadget, x, y, DragStep::Press);
}

int moveInGadget(int gadget, int x, int y)
{
    return dragStep(gadget, x, y, DragStep::Move);
}

int releaseGadget(int gadget, int x, int y)
{
    return dragStep(gadget, x, y, DragStep::Release);
}

int chooseMenuItem(int window, int item)
{
    return chooseAmong(barActions(window), item);
}

int choosePopupMenuItem(int popup, int item)
{
    const MenuRecord* record = menuTable().objectRecord(popup);
    if (!record || !record->popup || !record->window)
        return 0;
    return chooseAmong(popupActions(popup), item);
}

int choosePopupMenuItem(int popup, int item, int window)
{
    MenuRecord* record = menuTable().objectRecord(popup);
    if (!record || !record->popup)
        return 0;
    record->window = windowContainer(window);
    return choosePopupMenuItem(popup, item);
}

std::vector<int> menuBarItems(int window)
{
    return itemNumbers(barActions(window));
}

std::vector<std::string> menuBarTitles(int window)
{
    std::vector<std::string> titles;
    WindowContainer* container = windowContainer(window);
    if (!container || !container->menuBar())
        return titles;
    for (const QAction* title : container->menuBar()->actions())
        titles.push_back(latin1String(title->text()));
    return titles;
}

std::vector<std::string> menuBarItemTexts(int window)
{
    std::vector<std::string> texts;
    for (const QAction* action : barActions(window))
        texts.push_back(action->isSeparator() ? std::string() : latin1String(action->text()));
    return texts;
}

std::vector<int> popupMenuItems(int popup)
{
    return itemNumbers(popupActions(popup));
}

namespace {

int checkStateAmong(const std::vector<QAction*>& actions, int item)
{
    for (const QAction* action : actions) {
        if (!action->isSeparator() && menuItemNumber(*action) == item)
            return action->isCheckable() ? (action->isChecked() ? 1 : 0) : -1;
    }
    return -1;
}

} // namespace

int menuBarItemChecked(int window, int item)
{
    return checkStateAmong(barActions(window), item);
}

int popupMenuItemChecked(int popup, int item)
{
    return checkStateAmong(popupActions(popup), item);
}

int lastDisplayedPopup()
{
    return state().lastPopup;
}

int displayedPopupCount()
{
    return state().popupDisplays;
}

void pressKey(int window, int code)
{
    WindowContainer* container = windowContainer(window);
    const std::optional<KeyEquivalent> key = shortcutKey(code);
    if (!container || !key)
        return;
    const int qtKey = qtKeyOf(*key);
    if (!qtKey)
        return;
    Qt::KeyboardModifiers modifiers = qtModifiers(code);
    if (key->isVirtual && qtKeyOfVirtualKey(key->key).keypad)
        modifiers |= Qt::KeypadModifier;
    activate(*container);
    QTest::sendKeyEvent(QTest::Click, keyTarget(*container), static_cast<Qt::Key>(qtKey),
        keyText(*key, modifiers), modifiers);
}

void typeText(int gadget, const char* text)
{
    QWidget* widget = gadgetWidget(gadget);
    if (!widget || !text)
        return;
    setActiveGadget(gadget);
    if (auto* container = dynamic_cast<WindowContainer*>(widget->window()))
        activate(*container);
    QWidget* focused = QApplication::focusWidget();
    QWidget* target = focused && (focused == widget || widget->isAncestorOf(focused)) ? focused : widget;
    for (const char* c = text; *c; ++c) {
        const QChar character(static_cast<char16_t>(static_cast<unsigned char>(*c)));
        // Qt numbers the keys of Latin-1 characters by their upper-case character.
        const auto key = static_cast<Qt::Key>(character.toUpper().unicode());
        QTest::sendKeyEvent(QTest::Click, target, key, QString(character), Qt::NoModifier);
    }
}

void runDuringNextWait(std::function<void()> action)
{
    state().waitActions.push_back(std::move(action));
}

int pendingWaitActions()
{
    return static_cast<int>(state().waitActions.size());
}

int lastOpenedWindow()
{
    int last = -1;
    unsigned long long serial = 0;
    windowTable().forEachLive([&](int number, const WindowRecord& record) {
        if (record.openSerial > serial) {
            serial = record.openSerial;
            last = number;
        }
    });
    return last;
}

String windowTitleText(int window)
{
    const WindowRecord* record = windowRecord(window);
    return record ? String(record->title.c_str()) : String();
}

String shownWindowTitle(int window)
{
    WindowContainer* container = windowContainer(window);
    return container ? String(latin1Text(container->windowTitle()).constData()) : String();
}

int gadgetX(int gadget)
{
    return contentRect(gadget).x();
}

int gadgetWidth(int gadget)
{
    return contentRect(gadget).width();
}

int gadgetHeight(int gadget)
{
    return contentRect(gadget).height();
}

int gadgetVisible(int gadget)
{
    Gadget* found = gadgetOf(gadget);
    if (!found || !found->widget()->isVisible())
        return 0;
    const QWidget* content = windowContent(found->windowNumber());
    return content && content->rect().intersects(contentRect(gadget)) ? 1 : 0;
}

String gadgetToolTipText(int gadget)
{
    QWidget* widget = gadgetWidget(gadget);
    return widget ? String(latin1Text(widget->toolTip()).constData()) : String();
}

int gadgetFontPixelSize(int gadget)
{
    QWidget* widget = gadgetWidget(gadget);
    if (!widget || !widget->testAttribute(Qt::WA_SetFont))
        return 0;
    const QFont& font = widget->font();
    return font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
}

int gadgetFontBold(int gadget)
{
    QWidget* widget = gadgetWidget(gadget);
    return widget && widget->testAttribute(Qt::WA_SetFont) && widget->font().bold() ? 1 : 0;
}

int isDefaultButton(int gadget)
{
    const auto* button = dynamic_cast<QPushButton*>(gadgetWidget(gadget));
    return button && button->isDefault() ? 1 : 0;
}

int listColumnCount(int gadget)
{
    const auto* view = dynamic_cast<QTreeView*>(gadgetWidget(gadget));
    const auto* model = view ? dynamic_cast<const ListGadgetModel*>(view->model()) : nullptr;
    return model ? model->textColumns() : 0;
}

int listColumnWidth(int gadget, int column)
{
    const auto* view = dynamic_cast<QTreeView*>(gadgetWidget(gadget));
    const auto* model = view ? dynamic_cast<const ListGadgetModel*>(view->model()) : nullptr;
    if (!model || column < 0 || column >= model->textColumns())
        return 0;
    return view->columnWidth(model->viewColumn(column));
}

String statusBarFieldText(int bar, int field)
{
    QByteArray text;
    int flags = 0;
    return statusBarField(bar, field, text, flags) ? String(text.constData()) : String();
}

int statusBarFieldFlags(int bar, int field)
{
    QByteArray text;
    int flags = 0;
    return statusBarField(bar, field, text, flags) ? flags : 0;
}

int statusBarFieldCount(int bar)
{
    return std::max(statusBarFields(bar), 0);
}

int windowOpenFlags(int window)
{
    const WindowRecord* record = windowRecord(window);
    return record ? record->flags : 0;
}

int windowHasCloseBox(int window)
{
    const WindowContainer* container = windowContainer(window);
    return container && container->windowFlags().testFlag(Qt::WindowCloseButtonHint) ? 1 : 0;
}

int focusedGadget()
{
    for (QWidget* widget = QApplication::focusWidget(); widget; widget = widget->parentWidget()) {
        if (const auto* gadget = dynamic_cast<Gadget*>(widget);
            gadget && gadgetOf(gadget->number()) == gadget)
            return gadget->number();
    }
    return -1;
}

std::vector<int> windowTimers(int window)
{
    std::vector<int> timers;
    if (const WindowRecord* record = windowRecord(window)) {
        for (const WindowTimer& timer : record->timers)
            timers.push_back(timer.timer);
    }
    return timers;
}

void closeBox(int window)
{
    WindowContainer* container = windowContainer(window);
    if (!container)
        return;
    QCloseEvent event;
    QCoreApplication::sendEvent(container, &event);
}

String clipboardText()
{
    const QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard ? String(latin1String(clipboard->text()).c_str()) : String();
}

int dropFiles(int window, const std::vector<std::string>& paths, int x, int y)
{
    WindowContainer* container = windowContainer(window);
    if (!container)
        return 0;
    QMimeData data;
    QList<QUrl> urls;
    for (const std::string& path : paths)
        // As file managers write it: every byte of the path percent-encoded, UTF-8 or not.
        urls.push_back(QUrl::fromEncoded("file://" + QByteArray::fromStdString(path).toPercentEncoding("/")));
    data.setUrls(urls);
    QWidget* target = container->content()->childAt(x, y);
    if (!target)
        target = container->content();
    const QPointF at = target->mapFrom(container->content(), QPoint(x, y));
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return 0;
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    return drop.isAccepted() ? 1 : 0;
}

int setDoubleClickInterval(int ms)
{
    const int before = QApplication::doubleClickInterval();
    QApplication::setDoubleClickInterval(ms);
    return before;
}

int askSessionEnd(int mayAsk)
{
    return answerSessionEnd(mayAsk != 0) == SessionEndAnswer::GoAhead ? 1 : 0;
}

void requestDesktopQuit()
{
    QEvent quit(QEvent::Quit);
    QCoreApplication::sendEvent(QCoreApplication::instance(), &quit);
}

std::string applicationDesktopFileName()
{
    return QGuiApplication::desktopFileName().toStdString();
}

int windowHasIcon(int window)
{
    WindowContainer* container = windowContainer(window);
    return container && !container->windowIcon().isNull() ? 1 : 0;
}
