#include "app/trainerstyle.h"

#include <QPainter>
#include <QStyleOptionButton>

trainerStyle::trainerStyle(QStyle *base)
    : QProxyStyle(base)
{
    setObjectName(base->objectName());
}

void trainerStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                               const QWidget *widget) const
{
    const auto *button = qstyleoption_cast<const QStyleOptionButton *>(option);
    if (element != CE_PushButton || !button || !(button->state & State_HasFocus)) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    QStyleOptionButton unfocused = *button;
    unfocused.state &= ~State_HasFocus;
    QProxyStyle::drawControl(element, &unfocused, painter, widget);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(QPen(QColor(0x00, 0x00, 0x58), 2));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(QRectF(subElementRect(SE_PushButtonFocusRect, button, widget)).adjusted(1, 1, -1, -1));
    painter->restore();
}
