// What the application's menus and shortcuts cost: building the whole menu set as the program
// does at start-up and after every change of the table's columns (a menu bar with two menus and
// Quit, two popup menus, 37 items), and one key press through a window's 17 shortcuts, the
// number the main window registers. Runs on Qt's offscreen platform.

#include "toolkit/event_codes.h"
#include "toolkit/event_queue.h"
#include "toolkit/keyboard_shortcuts.h"
#include "toolkit/menus.h"
#include "toolkit/platform/window_container.h"
#include "toolkit/process_lifecycle.h"
#include "toolkit/window.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>

#include <cstdlib>

namespace {

constexpr int WINDOW_MAIN = 0;

void addItems(int part)
{
    if (part == 0)
        menuItem(MENU_ITEM_QUIT, "Quit\tCMD+Q");
    menuTitle("File");
    if (part != 1)
        menuItem(1, "Open Diagram File (PNG, JPG)\tCMD+O");
    if (part != 2) {
        menuItem(2, "Load From CSV\tCMD+L");
        menuItem(3, "Save To CSV\tCMD+S");
        menuSeparator();
        menuItem(4, "Copy Data To Clipboard\tCMD+C");
    }
    if (part != 1) {
        menuTitle("Data");
        menuItem(9, "Catch Points\tALT+P");
        menuSeparator();
        menuItem(5, "Measure Diagram\tALT+S");
        menuItem(10, "Set Origin\tALT+O");
        menuItem(11, "Set Width\tALT+W");
        menuItem(12, "Set Height\tALT+H");
        menuSeparator();
        menuItem(16, "Set Reference for Width\tCTRL+W");
        menuItem(17, "Set Reference for Height\tCTRL+H");
    }
    if (part != 2) {
        menuSeparator();
        menuItem(24, "Name Column\tALT+N");
        menuItem(23, "Empty Table\tALT+E");
        menuItem(21, "Add Column\tALT+A");
        menuItem(22, "Remove Last Column\tALT+R");
    }
}

void BM_BuildMenus(benchmark::State& state)
{
    openWindow(WINDOW_MAIN, 10, 10, 800, 600, "bench", WINDOW_CLOSE_BOX);
    for (auto _ : state) {
        createMenu(0, windowHandle(WINDOW_MAIN));
        addItems(0);
        createPopupMenu(2);
        addItems(2);
        createPopupMenu(1);
        addItems(1);
    }
    freeAllMenus();
    closeWindow(WINDOW_MAIN);
}
BENCHMARK(BM_BuildMenus)->Unit(benchmark::kMicrosecond);

void BM_KeyThroughShortcuts(benchmark::State& state)
{
    openWindow(WINDOW_MAIN, 10, 10, 800, 600, "bench", WINDOW_CLOSE_BOX);
    const int codes[] = { 0x8006F, 0x8006C, 0x80073, 0x80063, 0x80061, 0x40073, 0x40070, 0x40075, 0x40077,
        0x40068, 0x80077, 0x80068, 0x4006E, 0x40064, 0x40061, 0x40065, 0x40072 };
    int item = 1;
    for (int code : codes)
        addKeyboardShortcut(WINDOW_MAIN, code, item++);
    QWidget* target = windowContent(WINDOW_MAIN);
    EventNode node;
    for (auto _ : state) {
        // Option R, the last entry.
        QKeyEvent press(QEvent::KeyPress, Qt::Key_R, Qt::AltModifier);
        QApplication::sendEvent(target, &press);
        benchmark::DoNotOptimize(popEvent(node));
    }
    if (node.code != EVENT_MENU || node.object != 17)
        state.SkipWithError("the key was not reported");
    closeWindow(WINDOW_MAIN);
}
BENCHMARK(BM_KeyThroughShortcuts);

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    initWindows();
    initMenus();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    shutdownToolkit();
    return 0;
}
