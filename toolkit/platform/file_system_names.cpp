#include "toolkit/platform/file_system_names.h"

#include <QFile>
#include <QList>

#include <dirent.h>

namespace {

// The name in the folder that Qt shows as part; part's UTF-8 bytes when there is none, or more
// than one and the choice would be a guess.
QByteArray nameInFolder(const QByteArray& folder, const QString& part)
{
    QByteArray found = QFile::encodeName(part);
    DIR* listing = opendir(folder.isEmpty() ? "." : folder.constData());
    if (!listing)
        return found;
    int matches = 0;
    while (const dirent* entry = readdir(listing)) {
        const QByteArray name(entry->d_name);
        if (QFile::decodeName(name) == part && ++matches == 1)
            found = name;
    }
    closedir(listing);
    return matches == 1 ? found : QFile::encodeName(part);
}

bool isUtf8Path(const QByteArray& path)
{
    return QFile::encodeName(QFile::decodeName(path)) == path;
}

} // namespace

QByteArray fileSystemPath(const QString& path)
{
    if (!path.contains(QChar::ReplacementCharacter))
        return QFile::encodeName(path);
    const QList<QStringView> parts = QStringView(path).split(QLatin1Char('/'));
    QByteArray result;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString part = parts[i].toString();
        QByteArray bytes;
        if (part.contains(QChar::ReplacementCharacter))
            bytes = nameInFolder(i == 1 && result.isEmpty() ? QByteArray("/") : result, part);
        else
            bytes = QFile::encodeName(part);
        if (i > 0)
            result += '/';
        result += bytes;
    }
    return result;
}

QString usablePath(const QByteArray& path)
{
    QByteArray candidate = path;
    while (!candidate.isEmpty() && !isUtf8Path(candidate)) {
        const qsizetype slash = candidate.lastIndexOf('/');
        if (slash < 0)
            return QString();
        // The root stays as "/".
        candidate.truncate(slash == 0 ? 1 : slash);
    }
    return QFile::decodeName(candidate);
}
