#pragma once

#include <QByteArray>
#include <QString>

// File names between the file system's bytes and Qt's texts. Qt reads file names as UTF-8 and
// turns bytes that are not UTF-8 (a Latin-1 "\xe9" from an old archive) into U+FFFD, so the
// text it shows for such a name no longer names the file.

// The bytes of the file that a path from Qt names. A part of the path that holds U+FFFD is
// looked up among the names of its folder: the one name that Qt shows the same way takes its
// place. A part that matches no name (a file still to be made) or several keeps its UTF-8 form.
QByteArray fileSystemPath(const QString& path);

// A text for the path that Qt can use: the path itself when its bytes are UTF-8, else the
// nearest folder above it whose bytes are (empty when there is none).
QString usablePath(const QByteArray& path);
