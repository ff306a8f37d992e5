#ifndef WORDPICTURES_H
#define WORDPICTURES_H

#include <QColor>
#include <QHash>
#include <QString>
#include <QStringList>

// The picture of a right word. For the bundled list it comes from the table
// ":/data/bilder.tsv": an OpenMoji SVG in the resource bundle, or for a colour
// word the colour itself, shown as a plain swatch. Most words have neither: a
// picture that could be read as another word of the list would mislead more
// than none, so the table leaves such words out.
//
// An own list keeps its pictures in the folder "Bilder" beside it, each file
// named after the right word as the list spells it ("Oma.jpg" for "Oma"), so
// that a list handed on with its folder keeps them and the list format stays.
//
// The table is read on the first question, not at start-up, so that the
// trainer starts as fast without pictures as before; a list's folder is
// listed once when its pictures are first asked for.
class wordPictures
{
public:
    struct picture
    {
        QString path;  // an SVG in the bundle, or empty
        QColor colour; // valid for a colour word only
        bool isNull() const { return path.isEmpty() && !colour.isValid(); }
    };

    // listPath: an own list's file; empty for the bundled list.
    explicit wordPictures(const QString &listPath = QString());

    // Exactly the right word as the list spells it; for an own list a file
    // whose name differs in case only is taken where there is no exact one
    // (a folder copied from Windows). Anything else has none.
    picture find(const QString &rightWord) const;
    // Every file of an own list's word by that rule, the first by name first:
    // what find() shows and what the editor replaces or takes away.
    QStringList files(const QString &rightWord) const;
    const QString &listPath() const;

    // The bundled list's picture of a word.
    static picture of(const QString &rightWord);
    // "<folder of the list>/Bilder".
    static QString folderOf(const QString &listPath);
    // The picture files an own list takes, by suffix in any case.
    static bool isPictureFile(const QString &fileName);

    static const QString bundledTable; // ":/data/bilder.tsv"

private:
    QString m_listPath;
    QHash<QString, QStringList> m_files;     // base name (NFC) -> paths, by name
    QHash<QString, QStringList> m_filesFold; // the same, case folded
};

#endif // WORDPICTURES_H
