#include "words/textdocument.h"

#include "words/qtcompat.h"

#include <QFile>
#include <QTextStream>

QString readTextDocument(const QString &path)
{
    QString text;
    QFile file(path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return text;

    QTextStream stream(&file);
    QtCompat::setUtf8(stream);
    while (!stream.atEnd())
        text += stream.readLine();
    file.close();
    return text;
}
