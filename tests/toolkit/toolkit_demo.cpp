// A small program built from the toolkit alone, for the end-to-end test under a real X server
// (xvfb_smoke_test.sh) and for measuring the idle cost of the application's polling loop.
//
//   toolkit_demo [--seconds N]       open two windows, a menu bar, gadgets, a status bar and a
//                                    timer, print every event
//   toolkit_demo --idle [--seconds N] loop on waitEvent(25) and print the CPU time it took
//
// Output, one line per event other than EVENT_NONE and EVENT_OTHER:
//   event <code> <name> object <n> window <n> type <n>
// The close box of window 0 ends the program with status 0 after "closed"; running out of time
// ends it with status 3 after "timeout". Further windows, menus and gadgets go into setUp() and
// their events into handle().

#include "imaging/pixel_buffer.h"
#include "imaging/platform_image.h"
#include "toolkit/current_event.h"
#include "toolkit/event_codes.h"
#include "toolkit/gadgets.h"
#include "toolkit/keyboard_shortcuts.h"
#include "toolkit/menus.h"
#include "toolkit/process_lifecycle.h"
#include "toolkit/status_bar.h"
#include "toolkit/timers.h"
#include "toolkit/wait_event.h"
#include "toolkit/window.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sys/resource.h>

namespace {

constexpr int WINDOW_DEMO = 0;
constexpr int WINDOW_SECOND = 1;
constexpr int TIMER_TICK = 1;
constexpr int MENU_BAR = 0;
constexpr int ITEM_OPEN = 1;
constexpr int ITEM_INFO = 2;
// The gadgets of window 1.
constexpr int GADGET_LABEL = 10;
constexpr int GADGET_FIELD = 11;
constexpr int GADGET_BUTTON = 12;
constexpr int GADGET_TOGGLE = 13;
constexpr int GADGET_CHOICE = 14;
constexpr int GADGET_PICTURE = 15;
constexpr int GADGET_LIST = 16;
constexpr int STATUSBAR_SECOND = 0;

// A 24 x 24 picture: a blue to green gradient with a red diagonal.
Handle makePicture()
{
    auto pixels = PixelBuffer::allocate(24, 24, PixelFill::OpaqueBlack);
    if (!pixels)
        return 0;
    for (int y = 0; y < 24; ++y) {
        std::uint8_t* row = pixels->row(y);
        for (int x = 0; x < 24; ++x) {
            row[4 * x] = x == y ? 255 : 0;
            row[4 * x + 1] = static_cast<std::uint8_t>(x * 10);
            row[4 * x + 2] = static_cast<std::uint8_t>(255 - y * 10);
        }
    }
    return makePlatformImage(std::move(pixels));
}

void addGadgets()
{
    initGadgets();
    initStatusBars();
    textGadget(GADGET_LABEL, 10, 10, 150, 20, "Gadgets of the toolkit", TEXT_BORDER);
    stringGadget(GADGET_FIELD, 10, 38, 150, 20, "Text field");
    buttonGadget(GADGET_BUTTON, 170, 10, 90, 25, "Press");
    buttonGadget(GADGET_TOGGLE, 170, 40, 90, 25, "Toggle", BUTTON_TOGGLE);
    comboBoxGadget(GADGET_CHOICE, 270, 10, 80, 20);
    addGadgetItem(GADGET_CHOICE, -1, "One");
    addGadgetItem(GADGET_CHOICE, -1, "Two");
    setGadgetText(GADGET_CHOICE, "One");
    const Handle picture = makePicture();
    imageGadget(GADGET_PICTURE, 280, 40, 10, 10, picture, IMAGE_BORDER);
    releasePlatformImage(picture); // the gadget holds its own reference
    listGadget(GADGET_LIST, 10, 70, 250, 125, "Name", 100);
    addGadgetColumn(GADGET_LIST, 1, "Value", 100);
    addGadgetItem(GADGET_LIST, -1, "alpha\n1.00");
    addGadgetItem(GADGET_LIST, -1, "beta\n2.50");
    addGadgetItem(GADGET_LIST, -1, "gamma\n-3.75");
    gadgetToolTip(GADGET_LIST, "Here you see the recorded data.");
    createStatusBar(STATUSBAR_SECOND, windowHandle(WINDOW_SECOND));
    addStatusBarField(100);
    addStatusBarField(IGNORE_VALUE);
    statusBarText(STATUSBAR_SECOND, 0, "Ready", STATUS_FIELD_BORDERLESS);
    statusBarText(STATUSBAR_SECOND, 1, "No click yet");
}

const char* eventName(int code)
{
    switch (code) {
    case EVENT_MENU:
        return "menu";
    case EVENT_CLOSE_WINDOW:
        return "close";
    case EVENT_GADGET:
        return "gadget";
    case EVENT_REPAINT:
        return "repaint";
    case EVENT_MOVE_WINDOW:
        return "move";
    case EVENT_SIZE_WINDOW:
        return "size";
    case EVENT_ACTIVATE_WINDOW:
        return "activate";
    case EVENT_MINIMIZE_WINDOW:
        return "minimize";
    case EVENT_MAXIMIZE_WINDOW:
        return "maximize";
    case EVENT_RESTORE_WINDOW:
        return "restore";
    case EVENT_TIMER:
        return "timer";
    default:
        return "unknown";
    }
}

void setUp()
{
    bringProcessToFront();
    initWindows();
    openWindow(WINDOW_DEMO, 40, 40, 320, 200, "Toolkit demo", WINDOW_CLOSE_BOX | WINDOW_SIZE_BOX);
    openWindow(WINDOW_SECOND, 420, 40, 360, 230, "Toolkit demo 2", WINDOW_CLOSE_BOX);
    addGadgets();
    addWindowTimer(WINDOW_DEMO, TIMER_TICK, 300);

    // File: Open (Control+O), a separator, Info, and Quit at the end. Control+O is a window
    // shortcut of the same item as well; either way it is reported once.
    initMenus();
    createMenu(MENU_BAR, windowHandle(WINDOW_DEMO));
    menuItem(MENU_ITEM_QUIT, "Quit\tCMD+Q");
    menuTitle("&File");
    menuItem(ITEM_OPEN, "Open\tCMD+O");
    menuSeparator();
    menuItem(ITEM_INFO, "Info");
    addKeyboardShortcut(WINDOW_DEMO, SHORTCUT_COMMAND | 'o', ITEM_OPEN);
}

// Returns false when the program should end.
bool handle(int code)
{
    std::printf("event %d %s object %d window %d type %d\n", code, eventName(code), lastEventGadget(),
        lastEventWindow(), lastEventType());
    if (code == EVENT_GADGET && lastEventGadget() == GADGET_BUTTON)
        statusBarText(STATUSBAR_SECOND, 1, "Pressed");
    if (code == EVENT_GADGET && lastEventGadget() == GADGET_LIST && lastEventType() == GADGET_LEFT_CLICK)
        statusBarText(STATUSBAR_SECOND, 1, getGadgetText(GADGET_LIST));
    return !(code == EVENT_CLOSE_WINDOW && lastEventWindow() == WINDOW_DEMO);
}

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

int runIdle(int seconds)
{
    openWindow(WINDOW_DEMO, 40, 40, 320, 200, "Toolkit demo", WINDOW_CLOSE_BOX);
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = cpuSeconds();
    long passes = 0;
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(seconds)) {
        waitEvent(25);
        ++passes;
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = cpuSeconds() - cpuStart;
    std::printf("idle passes %ld wall %.2f s cpu %.3f s (%.2f %% of one core)\n", passes, wall, cpu,
        100.0 * cpu / wall);
    shutdownToolkit();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    int seconds = 20;
    bool idle = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--idle"))
            idle = true;
        else if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc)
            seconds = std::atoi(argv[++i]);
    }
    if (idle)
        return runIdle(seconds);

    setUp();
    std::printf("ready\n");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        const int code = waitEvent(25);
        if (code == EVENT_NONE || code == EVENT_OTHER)
            continue;
        if (!handle(code)) {
            shutdownToolkit();
            std::printf("closed\n");
            return 0;
        }
    }
    shutdownToolkit();
    std::printf("timeout\n");
    return 3;
}
