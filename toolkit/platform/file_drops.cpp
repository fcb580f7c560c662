// Dropping files on a window.
// Implements:
// - acceptFileDrops: the window container accepts drags that carry local files, through a
//   window-wide event filter (drag enter, drag move, drop); other drags are refused.
// - nextDroppedFile: the paths of the latest drop, as file system bytes: the URL's percent
//   encoding decoded as bytes, so that names whose bytes are not UTF-8 survive.

#include "toolkit/file_drops.h"

#include "toolkit/event_queue.h"
#include "toolkit/platform/window_container.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>

#include <deque>
#include <string>

namespace {

std::deque<std::string> g_droppedFiles;

// The file system's bytes of a file URL. File managers percent-encode every byte of the name;
// QUrl keeps the encoding of bytes that are not UTF-8, where toLocalFile would turn them into
// U+FFFD. A URL with a host other than this one keeps Qt's form.
QByteArray localFilePath(const QUrl& url)
{
    const QString host = url.host();
    if (!host.isEmpty() && host != QLatin1String("localhost"))
        return QFile::encodeName(url.toLocalFile());
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
}

// The local files a drag carries; empty when it carries anything else as well.
std::deque<std::string> localFiles(const QMimeData* data)
{
    std::deque<std::string> files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            return {};
        const QByteArray path = localFilePath(url);
        files.emplace_back(path.constData(), static_cast<std::size_t>(path.size()));
    }
    return files;
}

} // namespace

void acceptFileDrops(int window, int accept)
{
    WindowContainer* container = windowContainer(window);
    if (!container)
        return;
    const QVariant id = container->property("graphoniteDropFilter");
    if (id.isValid()) {
        container->removeWindowEventFilter(id.toInt());
        container->setProperty("graphoniteDropFilter", QVariant());
    }
    container->setAcceptDrops(accept != 0);
    if (!accept)
        return;
    const int filter = container->addWindowEventFilter([window](QObject*, QEvent* event) {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (localFiles(drag->mimeData()).empty()) {
                drag->ignore();
            } else {
                drag->setDropAction(Qt::CopyAction);
                drag->accept();
            }
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            std::deque<std::string> files = localFiles(drop->mimeData());
            if (files.empty()) {
                drop->ignore();
                return true;
            }
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            g_droppedFiles = std::move(files);
            postEvent(EVENT_FILES_DROPPED, 0, window, 0);
            return true;
        }
        default:
            return false;
        }
    });
    container->setProperty("graphoniteDropFilter", filter);
}

String nextDroppedFile()
{
    if (g_droppedFiles.empty())
        return String();
    String path(g_droppedFiles.front().c_str());
    g_droppedFiles.pop_front();
    return path;
}
