#include "words/picturefolder.h"

#include "words/userfile.h"
#include "words/wordpictures.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QSvgRenderer>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("pictureFolder", text);
}

QString quoted(const QString &name)
{
    return QStringLiteral("„%1“").arg(name);
}

QString baseOf(const QString &fileName)
{
    return QFileInfo(fileName).completeBaseName().normalized(QString::NormalizationForm_C);
}

// Out of the folder, into the wastebasket where the system has one.
bool discard(const QString &path)
{
    QFile file(path);
    return file.moveToTrash() || file.remove();
}

bool isSvg(const QString &path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0;
}

// A large photo decoded whole only to be checked would cost as much memory
// as showing it; small is enough to know that every part of it decodes.
bool decodes(QImageReader &reader)
{
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > 256 || size.height() > 256))
        reader.setScaledSize(size.scaled(256, 256, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    return !reader.read().isNull();
}

} // namespace

pictureFolder::pictureFolder(const QString &listPath)
    : m_listPath(listPath)
    , m_path(wordPictures::folderOf(listPath))
{
}

const QString &pictureFolder::path() const
{
    return m_path;
}

QStringList pictureFolder::filesOf(const QString &word) const
{
    return word.isEmpty() ? QStringList() : wordPictures(m_listPath).files(word);
}

QString pictureFolder::unusableName(const QString &word)
{
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    const QString trimmed = word.trimmed();
    if (trimmed.isEmpty())
        return tr("Ein Bild gehört zu einem richtigen Wort: bitte zuerst das Wort eintragen.");
    for (const QChar c : word) {
        if (forbidden.contains(c) || c.unicode() < 0x20)
            return tr("„%1“ enthält das Zeichen „%2“, das in keinem Dateinamen stehen kann: zu diesem Wort lässt "
                      "sich kein Bild ablegen.").arg(word, QString(c));
    }
    if (trimmed != word || word.endsWith(QLatin1Char('.')) || word.startsWith(QLatin1Char('.')))
        return tr("„%1“ beginnt oder endet mit einem Leerzeichen oder Punkt, was in keinem Dateinamen stehen kann: zu "
                  "diesem Wort lässt sich kein Bild ablegen.").arg(word);
    return QString();
}

QString pictureFolder::store(const QString &word, const QString &source) const
{
    const QString unusable = unusableName(word);
    if (!unusable.isEmpty())
        return unusable;
    const QFileInfo info(source);
    const QString shown = QDir::toNativeSeparators(info.absoluteFilePath());
    if (!info.isFile())
        return tr("Die Datei „%1“ gibt es nicht (mehr).").arg(shown);
    if (!info.isReadable())
        return tr("Die Datei „%1“ darf nicht gelesen werden.").arg(shown);

    QByteArray bytes;
    QString suffix;
    if (isSvg(source)) {
        QFile file(source);
        if (!QSvgRenderer(source).isValid() || !file.open(QIODevice::ReadOnly))
            return tr("„%1“ lässt sich nicht als Bild lesen: die Datei ist beschädigt oder kein Bild.").arg(shown);
        bytes = file.readAll();
        suffix = QStringLiteral("svg");
    } else {
        QImageReader reader(source);
        reader.setAutoTransform(true);
        const QByteArray format = reader.format();
        const QSize size = reader.size();
        QImage image = reader.read();
        if (image.isNull())
            return tr("„%1“ lässt sich nicht als Bild lesen: die Datei ist beschädigt oder kein Bild.").arg(shown);
        // JPEG stays JPEG (a photo as PNG would be many times larger);
        // everything else becomes PNG, which keeps transparency.
        const bool jpeg = format == "jpeg" || format == "jpg";
        suffix = jpeg ? QStringLiteral("jpg") : QStringLiteral("png");
        const bool asItIs = (jpeg || format == "png") && reader.transformation() == QImageIOHandler::TransformationNone
            && image.size() == size && qMax(size.width(), size.height()) <= maxSide;
        if (asItIs) {
            QFile file(source);
            if (!file.open(QIODevice::ReadOnly))
                return tr("Die Datei „%1“ darf nicht gelesen werden.").arg(shown);
            bytes = file.readAll();
        } else {
            if (qMax(image.width(), image.height()) > maxSide)
                image = image.scaled(maxSide, maxSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            QImageWriter writer(&buffer, jpeg ? QByteArray("jpeg") : QByteArray("png"));
            if (jpeg)
                writer.setQuality(90);
            if (!writer.write(image))
                return tr("„%1“ ließ sich nicht umwandeln.").arg(shown);
        }
    }

    if (!QDir().mkpath(m_path))
        return tr("Den Ordner „%1“ kann Skarvel nicht anlegen.").arg(QDir::toNativeSeparators(m_path));
    const QString target = QDir(m_path).filePath(word + QLatin1Char('.') + suffix);
    const QStringList before = filesOf(word);
    const QString error = userFile::write(target, bytes);
    if (!error.isEmpty())
        return error;
    QStringList left;
    for (const QString &old : before) {
        if (QFileInfo(old).fileName() != QFileInfo(target).fileName() && !discard(old))
            left.append(quoted(QFileInfo(old).fileName()));
    }
    if (!left.isEmpty())
        return tr("Das neue Bild ist gespeichert, aber %1 ließ sich nicht entfernen; gezeigt wird das erste nach "
                  "dem Namen.").arg(left.join(QStringLiteral(", ")));
    return QString();
}

QString pictureFolder::remove(const QString &word) const
{
    QStringList left;
    for (const QString &file : filesOf(word)) {
        if (!discard(file))
            left.append(quoted(QDir::toNativeSeparators(file)));
    }
    if (!left.isEmpty())
        return tr("%1 ließ sich nicht entfernen: der Ordner ist schreibgeschützt.").arg(left.join(QStringLiteral(", ")));
    return QString();
}

QStringList pictureFolder::rename(const QList<QPair<QString, QString>> &moves, const QStringList &kept,
                                  QList<QPair<QString, QString>> *done) const
{
    QStringList errors;
    QDir folder(m_path);
    // Every name is looked up before anything moves: a swap sees both
    // pictures where they were.
    struct Move
    {
        QString from, to;
        QStringList files;
        QStringList parked;
    };
    QList<Move> planned;
    QStringList targets;
    for (const QString &word : kept)
        targets.append(word.normalized(QString::NormalizationForm_C).toCaseFolded());
    for (const auto &move : moves) {
        if (move.first == move.second)
            continue;
        const QStringList files = filesOf(move.first);
        if (files.isEmpty())
            continue;
        const QString unusable = unusableName(move.second);
        if (!unusable.isEmpty()) {
            errors.append(tr("Das Bild von „%1“ behält seinen Namen: %2").arg(move.first, unusable));
            continue;
        }
        const QString target = move.second.normalized(QString::NormalizationForm_C).toCaseFolded();
        if (targets.contains(target)) {
            errors.append(tr("Das Bild von „%1“ behält seinen Namen: ein anderer Eintrag „%2“ hat schon ein Bild "
                             "oder bekommt eines.").arg(move.first, move.second));
            continue;
        }
        targets.append(target);
        planned.append({move.first, move.second, files, {}});
    }

    // First each picture to a name of its own, then to its word.
    int n = 0;
    for (Move &move : planned) {
        for (const QString &file : qAsConst(move.files)) {
            QString parked;
            do
                parked = folder.filePath(QStringLiteral(".skarvel-%1.%2").arg(QString::number(++n), QFileInfo(file).suffix()));
            while (QFileInfo::exists(parked));
            if (QFile::rename(file, parked))
                move.parked.append(parked);
            else
                errors.append(tr("„%1“ ließ sich nicht umbenennen.").arg(QDir::toNativeSeparators(file)));
        }
    }
    for (const Move &move : qAsConst(planned)) {
        // What still bears the new name belongs to no word of the list (the
        // caller moves the pictures of the words that are renamed away).
        const QStringList names = folder.entryList(QDir::Files | QDir::Hidden);
        for (const QString &name : names) {
            if (wordPictures::isPictureFile(name) && baseOf(name) == move.to.normalized(QString::NormalizationForm_C))
                discard(folder.filePath(name));
        }
        bool moved = false;
        for (int i = 0; i < move.parked.size(); ++i) {
            const QString target = folder.filePath(move.to + QLatin1Char('.') + QFileInfo(move.files.at(i)).suffix());
            if (QFile::rename(move.parked.at(i), target)) {
                moved = true;
            } else {
                QFile::rename(move.parked.at(i), move.files.at(i));
                errors.append(tr("„%1“ ließ sich nicht in „%2“ umbenennen.")
                                  .arg(QDir::toNativeSeparators(move.files.at(i)), QFileInfo(target).fileName()));
            }
        }
        if (moved && done)
            done->append({move.from, move.to});
    }
    return errors;
}

QStringList pictureFolder::copyTo(const QString &otherListPath, const QList<QPair<QString, QString>> &words) const
{
    QStringList errors;
    const pictureFolder other(otherListPath);
    if (other.path() == m_path)
        return errors;
    for (const auto &word : words) {
        const QStringList files = filesOf(word.first);
        if (files.isEmpty())
            continue;
        if (!QDir().mkpath(other.path())) {
            errors.append(tr("Den Ordner „%1“ kann Skarvel nicht anlegen.").arg(QDir::toNativeSeparators(other.path())));
            break;
        }
        const QString unusable = unusableName(word.second);
        if (!unusable.isEmpty()) {
            errors.append(unusable);
            continue;
        }
        // The first is the one shown; the others would only be shown in its stead.
        QFile file(files.first());
        if (!file.open(QIODevice::ReadOnly)) {
            errors.append(tr("Die Datei „%1“ darf nicht gelesen werden.").arg(QDir::toNativeSeparators(file.fileName())));
            continue;
        }
        const QString target = QDir(other.path()).filePath(word.second + QLatin1Char('.') + QFileInfo(file).suffix());
        const QStringList before = other.filesOf(word.second);
        const QString error = userFile::write(target, file.readAll());
        if (!error.isEmpty()) {
            errors.append(error);
            continue;
        }
        for (const QString &old : before) {
            if (QFileInfo(old).fileName() != QFileInfo(target).fileName())
                discard(old);
        }
    }
    return errors;
}

QStringList pictureFolder::unreadable() const
{
    QStringList found;
    const QDir folder(m_path);
    const QFileInfoList files = folder.entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo &file : files) {
        if (!wordPictures::isPictureFile(file.fileName()))
            continue;
        const QString name = quoted(file.fileName());
        if (!file.isReadable()) {
            found.append(tr("Das Bild %1 darf nicht gelesen werden.").arg(name));
        } else if (file.size() == 0) {
            found.append(tr("Das Bild %1 ist leer.").arg(name));
        } else if (isSvg(file.filePath())) {
            if (!QSvgRenderer(file.filePath()).isValid())
                found.append(tr("Das Bild %1 ist beschädigt oder kein Bild.").arg(name));
        } else {
            QImageReader reader(file.filePath());
            if (!decodes(reader))
                found.append(tr("Das Bild %1 ist beschädigt oder kein Bild.").arg(name));
        }
    }
    return found;
}
