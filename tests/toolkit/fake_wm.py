#!/usr/bin/python3
"""Does to an X11 window what a window manager does when the user clicks its frame: the
close box sends WM_DELETE_WINDOW (ICCCM WM_PROTOCOLS); minimizing sets WM_STATE to IconicState
(ICCCM 4.1.3.1); maximizing sets _NET_WM_STATE to both _NET_WM_STATE_MAXIMIZED atoms (EWMH).
The end-to-end test runs without a window manager and uses this in its place. Needs only
libX11, through ctypes.

Usage: fake_wm.py close|minimize|unminimize|maximize|unmaximize <window id>
(DISPLAY names the server)
"""
import ctypes
import sys

CLIENT_MESSAGE = 33  # X.h ClientMessage
PROP_MODE_REPLACE = 0
WM_STATE_NORMAL = 1
WM_STATE_ICONIC = 3

x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XInternAtom.restype = ctypes.c_ulong
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XChangeProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_ulong,
                                ctypes.c_int, ctypes.c_int, ctypes.c_void_p, ctypes.c_int]
x11.XFlush.argtypes = [ctypes.c_void_p]
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]


class XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]


class XEvent(ctypes.Union):
    # Xlib's XEvent union is 24 longs long.
    _fields_ = [("xclient", XClientMessageEvent), ("pad", ctypes.c_long * 24)]


x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                           ctypes.POINTER(XEvent)]


def atom(display, name):
    return x11.XInternAtom(display, name.encode(), 0)


def close(display, window):
    event = XEvent()
    event.xclient.type = CLIENT_MESSAGE
    event.xclient.window = window
    event.xclient.message_type = atom(display, "WM_PROTOCOLS")
    event.xclient.format = 32
    event.xclient.data[0] = atom(display, "WM_DELETE_WINDOW")
    event.xclient.data[1] = 0  # CurrentTime
    return x11.XSendEvent(display, window, 0, 0, ctypes.byref(event)) != 0


def set_property(display, window, name, type_name, values):
    # Format 32 data travels as C longs in Xlib.
    data = (ctypes.c_long * max(len(values), 1))(*values)
    x11.XChangeProperty(display, window, atom(display, name), atom(display, type_name), 32,
                        PROP_MODE_REPLACE, data, len(values))
    return True


def wm_state(state):
    return lambda display, window: set_property(display, window, "WM_STATE", "WM_STATE", [state, 0])


def net_wm_state(names):
    return lambda display, window: set_property(display, window, "_NET_WM_STATE", "ATOM",
                                                [atom(display, name) for name in names])


ACTIONS = {
    "close": close,
    "minimize": wm_state(WM_STATE_ICONIC),
    "unminimize": wm_state(WM_STATE_NORMAL),
    "maximize": net_wm_state(["_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ"]),
    "unmaximize": net_wm_state([]),
}


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in ACTIONS:
        sys.exit(__doc__)
    display = x11.XOpenDisplay(None)
    if not display:
        sys.exit("fake_wm: cannot open the display")
    done = ACTIONS[sys.argv[1]](display, int(sys.argv[2], 0))
    x11.XFlush(display)
    x11.XCloseDisplay(display)
    sys.exit(0 if done else 1)


main()
