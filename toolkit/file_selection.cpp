#include "toolkit/file_selection.h"

#include "toolkit/requesters.h"

#include <deque>
#include <utility>

namespace {

std::deque<std::string>& extraSelection()
{
    static std::deque<std::string> paths;
    return paths;
}

} // namespace

void clearFileSelection()
{
    extraSelection().clear();
}

String takeFileSelection(std::vector<std::string> paths)
{
    auto& extra = extraSelection();
    extra.clear();
    if (paths.empty())
        return String();
    for (std::size_t i = 1; i < paths.size(); ++i)
        extra.push_back(std::move(paths[i]));
    return String(paths.front().c_str());
}

String nextSelectedFile()
{
    auto& extra = extraSelection();
    if (extra.empty())
        return String();
    String path(extra.front().c_str());
    extra.pop_front();
    return path;
}

int selectedFilePattern()
{
    return 0;
}
