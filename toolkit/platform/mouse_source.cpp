// The mouse position source.
// Implements: globalMousePosition (QCursor::pos, or the source a test installed), setMouseSource.

#include "toolkit/platform/mouse_source.h"

#include <QCursor>

#include <utility>

namespace {

std::function<QPoint()>& source()
{
    static std::function<QPoint()> installed;
    return installed;
}

} // namespace

QPoint globalMousePosition()
{
    const auto& installed = source();
    return installed ? installed() : QCursor::pos();
}

void setMouseSource(std::function<QPoint()> replacement)
{
    source() = std::move(replacement);
}
