#ifndef ITEMPICTURE_H
#define ITEMPICTURE_H

#include "words/wordpictures.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <memory>

class QSvgRenderer;

// The picture of an item's right word, above the three words. Drawn at the
// size it is shown at, in the screen's own pixels: an SVG is rendered anew
// for every size, a photo read at about that size and scaled smoothly, both
// with their proportions kept; a colour is a plain swatch. Only the picture
// on show is held, so a long training costs no more memory than one item.
class itemPicture : public QWidget
{
    Q_OBJECT

public:
    explicit itemPicture(QWidget *parent = nullptr);
    ~itemPicture() override;

    // The picture of this right word; a null one or a file that cannot be
    // read shows nothing. Whether there is one to show.
    bool setPicture(const wordPictures::picture &picture, const QString &word);
    void clear();
    bool hasPicture() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect placeFor(const QSize &natural) const;
    void drawn(const QSize &pixels);

    std::unique_ptr<QSvgRenderer> m_svg;
    QString m_raster; // a photo's file
    QSize m_rasterSize;
    QColor m_colour;
    // What was drawn last, kept while the size stays.
    QPixmap m_drawn;
    QSize m_drawnFor;
};

#endif // ITEMPICTURE_H
