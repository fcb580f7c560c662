#include "toolkit/window.h"

#include <set>

// FIXME: a stand-in until the window records keep the mark and show it in the title.
namespace {
std::set<Handle> g_marked;
}

void setWindowModified(int number, int modified)
{
    const Handle handle = windowHandle(number);
    if (!handle)
        return;
    if (modified)
        g_marked.insert(handle);
    else
        g_marked.erase(handle);
}

int isWindowModified(int number)
{
    const Handle handle = windowHandle(number);
    return handle && g_marked.count(handle) ? 1 : 0;
}
