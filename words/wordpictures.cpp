#include "words/wordpictures.h"

#include "words/qtcompat.h"

#include <QFile>
#include <QHash>
#include <QStringList>
#include <QTextStream>

const QString wordPictures::bundledTable = QStringLiteral(":/data/bilder.tsv");

namespace {

QHash<QString, wordPictures::picture> readTable(const QString &path)
{
    QHash<QString, wordPictures::picture> table;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return table;
    QTextStream stream(&file);
    QtCompat::setUtf8(stream);
    while (!stream.atEnd()) {
        const QString line = stream.readLine();
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (line.startsWith(QLatin1Char('#')) || fields.size() != 2)
            continue;
        wordPictures::picture &picture = table[fields.first()];
        // A colour begins with "#", as no hexcode does.
        if (fields.last().startsWith(QLatin1Char('#')))
            picture.colour = QColor(fields.last());
        else
            picture.path = QStringLiteral(":/data/openmoji/%1.svg").arg(fields.last());
    }
    return table;
}

} // namespace

wordPictures::picture wordPictures::of(const QString &rightWord)
{
    static const QHash<QString, picture> table = readTable(bundledTable);
    return table.value(rightWord);
}
