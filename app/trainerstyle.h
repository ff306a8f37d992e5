#ifndef TRAINERSTYLE_H
#define TRAINERSTYLE_H

#include <QProxyStyle>

// The trainer's look is the given style with one change: the keyboard focus
// on a push button is a solid frame of two pixels in the dark blue of the
// trainer's documents, seen from a distance, instead of a faint dotted line.
class trainerStyle : public QProxyStyle
{
    Q_OBJECT

public:
    explicit trainerStyle(QStyle *base);

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
};

#endif // TRAINERSTYLE_H
