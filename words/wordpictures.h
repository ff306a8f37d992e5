#ifndef WORDPICTURES_H
#define WORDPICTURES_H

#include <QColor>
#include <QString>

// The picture of a right word of the bundled list, from the table
// ":/data/bilder.tsv": an OpenMoji SVG in the resource bundle, or for a colour
// word the colour itself, shown as a plain swatch. Most words have neither: a
// picture that could be read as another word of the list would mislead more
// than none, so the table leaves such words out.
//
// The table is read on the first question, not at start-up, so that the
// trainer starts as fast without pictures as before.
class wordPictures
{
public:
    struct picture
    {
        QString path;  // an SVG in the bundle, or empty
        QColor colour; // valid for a colour word only
        bool isNull() const { return path.isEmpty() && !colour.isValid(); }
    };

    // Exactly the right word as the list spells it; anything else has none.
    static picture of(const QString &rightWord);

    static const QString bundledTable; // ":/data/bilder.tsv"
};

#endif // WORDPICTURES_H
