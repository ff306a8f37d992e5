#ifndef PICTUREFOLDER_H
#define PICTUREFOLDER_H

#include <QPair>
#include <QString>
#include <QStringList>

// What Skarvel writes into an own list's folder "Bilder" (wordPictures reads
// it): a picture chosen for a word, taken away, or following its word when
// the word is renamed. Every message is German and names the file.
//
// A chosen file is never changed: it is copied, and a photo larger than a
// screen needs is scaled down on the way. Pictures that Skarvel takes away go
// to the system's wastebasket where there is one, since a picture put into
// the folder by hand may be the only copy.
class pictureFolder
{
public:
    // listPath: the own list's file; the folder need not exist yet.
    explicit pictureFolder(const QString &listPath);

    const QString &path() const;

    // The files of this word: those named exactly after it, else those
    // whose name differs in case only, as wordPictures finds them.
    QStringList filesOf(const QString &word) const;

    // source becomes the word's picture: a raster picture as PNG or JPEG,
    // at most maxSide pixels on its longer side and upright as the camera
    // meant it; an SVG as it is. The word's pictures in other formats go.
    // Empty when done, else why not.
    QString store(const QString &word, const QString &source) const;
    QString remove(const QString &word) const;

    // Each word's pictures take the name of the word it became (from, to),
    // all at once, so that two words may swap. kept: the words of the list
    // that keep their name; a picture whose new name is one of them, or the
    // new name of an earlier move, stays where it is, so that no entry gets
    // another's picture. Pictures of no word that stand in the way go.
    // done: the moves that were made. Returns what went wrong.
    QStringList rename(const QList<QPair<QString, QString>> &moves, const QStringList &kept,
                       QList<QPair<QString, QString>> *done = nullptr) const;
    // The pictures of these words (from, to) copied into another list's
    // folder, for a list saved elsewhere.
    QStringList copyTo(const QString &otherListPath, const QList<QPair<QString, QString>> &words) const;

    // The picture files of the folder that cannot be shown, each with why
    // ("„Oma.jpg“ …"), by file name. Reads every picture once and keeps none.
    QStringList unreadable() const;

    // Why no file can be named after this word; empty where one can. The
    // signs that Windows forbids count everywhere, so a folder stays usable
    // on any system.
    static QString unusableName(const QString &word);

    static const int maxSide = 1024;

private:
    QString m_listPath;
    QString m_path;
};

#endif // PICTUREFOLDER_H
