#include "words/wordpictures.h"

#include "words/qtcompat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

wordPictures::wordPictures(const QString &listPath)
    : m_listPath(listPath)
{
    if (listPath.isEmpty())
        return;
    // Unreadable and hidden files too: the window shows none for them, the
    // editor still sees them to replace or take away.
    const QDir folder(folderOf(listPath));
    const QFileInfoList files = folder.entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QFileInfo &file : files) {
        if (!isPictureFile(file.fileName()))
            continue;
        // Names written on another system may be decomposed ("O" + combining
        // diaeresis); the list's words are compared composed. Two files for
        // one word ("Oma.jpg", "Oma.png"): the first by name, every time.
        const QString base = file.completeBaseName().normalized(QString::NormalizationForm_C);
        m_files[base].append(file.filePath());
        m_filesFold[base.toCaseFolded()].append(file.filePath());
    }
}

wordPictures::picture wordPictures::find(const QString &rightWord) const
{
    if (m_listPath.isEmpty())
        return of(rightWord);
    picture found;
    found.path = files(rightWord).value(0);
    return found;
}

QStringList wordPictures::files(const QString &rightWord) const
{
    const QString word = rightWord.normalized(QString::NormalizationForm_C);
    const QStringList exact = m_files.value(word);
    return exact.isEmpty() ? m_filesFold.value(word.toCaseFolded()) : exact;
}

const QString &wordPictures::listPath() const
{
    return m_listPath;
}

QString wordPictures::folderOf(const QString &listPath)
{
    return QFileInfo(listPath).absoluteDir().filePath(QStringLiteral("Bilder"));
}

bool wordPictures::isPictureFile(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    return suffix == QLatin1String("png") || suffix == QLatin1String("jpg")
        || suffix == QLatin1String("jpeg") || suffix == QLatin1String("svg");
}
