#include "window/itempicture.h"

#include <QAccessible>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>

#include <cmath>

itemPicture::itemPicture(QWidget *parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

itemPicture::~itemPicture() = default;

bool itemPicture::setPicture(const wordPictures::picture &picture, const QString &word)
{
    clear();
    if (picture.colour.isValid()) {
        m_colour = picture.colour;
    } else if (picture.path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        auto svg = std::make_unique<QSvgRenderer>(picture.path);
        if (svg->isValid() && !svg->defaultSize().isEmpty())
            m_svg = std::move(svg);
    } else if (!picture.path.isEmpty()) {
        // Only the header now; the pixels when the picture is drawn, at the
        // size it is drawn at.
        QImageReader reader(picture.path);
        reader.setAutoTransform(true);
        QSize size = reader.size();
        if (reader.transformation() & QImageIOHandler::TransformationRotate90)
            size.transpose();
        if (reader.canRead() && !size.isEmpty()) {
            m_raster = picture.path;
            m_rasterSize = size;
        }
    }
    if (!hasPicture())
        return false;
    // What the picture shows, for those who hear the screen read out.
    setAccessibleName(m_colour.isValid() ? tr("Farbfläche: %1").arg(word) : tr("Bild: %1").arg(word));
    setAccessibleDescription(tr("Bild zum richtigen Wort"));
    QAccessibleEvent named(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
    update();
    return true;
}

void itemPicture::clear()
{
    if (!hasPicture())
        return;
    m_svg.reset();
    m_raster.clear();
    m_rasterSize = QSize();
    m_colour = QColor();
    m_drawn = QPixmap();
    m_drawnFor = QSize();
    setAccessibleName(QString());
    setAccessibleDescription(QString());
    update();
}

bool itemPicture::hasPicture() const
{
    return m_svg || !m_raster.isEmpty() || m_colour.isValid();
}

QRect itemPicture::placeFor(const QSize &natural) const
{
    QRect place(QPoint(0, 0), natural.scaled(contentsRect().size(), Qt::KeepAspectRatio));
    place.moveCenter(contentsRect().center());
    return place;
}

void itemPicture::paintEvent(QPaintEvent *)
{
    if (!hasPicture() || contentsRect().isEmpty())
        return;
    QPainter painter(this);
    if (m_colour.isValid()) {
        // A square of the colour, framed, so that "Weiß" shows on a light window.
        const int side = qMin(contentsRect().width(), contentsRect().height()) * 4 / 5;
        QRect swatch(0, 0, side, side);
        swatch.moveCenter(contentsRect().center());
        painter.setPen(QPen(palette().color(QPalette::WindowText), 2));
        painter.setBrush(m_colour);
        painter.drawRect(swatch);
        return;
    }
    const QRect place = placeFor(m_svg ? m_svg->defaultSize() : m_rasterSize);
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(place.size()) * ratio).toSize();
    if (pixels.isEmpty())
        return;
    if (m_drawnFor != pixels)
        drawn(pixels);
    if (m_drawn.isNull()) // the file could not be read after all
        return clear();
    m_drawn.setDevicePixelRatio(ratio);
    painter.drawPixmap(place.topLeft(), m_drawn);
}

void itemPicture::drawn(const QSize &pixels)
{
    m_drawnFor = pixels;
    if (m_svg) {
        QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        m_svg->render(&painter);
        painter.end();
        m_drawn = QPixmap::fromImage(image);
        return;
    }
    QImageReader reader(m_raster);
    reader.setAutoTransform(true);
    // A large photo is decoded at a half, quarter or eighth of its size
    // where that is still at least as large as shown: a JPEG does that
    // exactly and quickly, and the smooth scaling below does the rest.
    const QSize stored = reader.size();
    const double larger = double(m_rasterSize.width()) / pixels.width();
    int part = 1;
    while (part < 8 && larger >= part * 2)
        part *= 2;
    if (part > 1)
        reader.setScaledSize(QSize((stored.width() + part - 1) / part, (stored.height() + part - 1) / part));
    const QImage image = reader.read();
    m_drawn = image.isNull() ? QPixmap()
                             : QPixmap::fromImage(image.scaled(pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}
