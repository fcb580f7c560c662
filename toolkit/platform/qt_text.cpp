// ISO 8859-1 at the Qt boundary.
// Implements: qtText (QString::fromLatin1), latin1Text (QString::toLatin1).

#include "toolkit/platform/qt_text.h"

QString qtText(const char* text)
{
    return text ? QString::fromLatin1(text) : QString();
}

QByteArray latin1Text(const QString& text)
{
    return text.toLatin1();
}
