#pragma once

// A seam for the test driver (test_driver.h): a function that every waitEvent call runs right
// after it has begun (the current event is reset, nothing is looked at yet). The program sets
// none. nullptr removes it.
using WaitBeginHook = void (*)();
void setWaitBeginHook(WaitBeginHook hook);
