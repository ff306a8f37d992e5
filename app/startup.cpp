#include "app/startup.h"

#include <QApplication>
#include <QIcon>
#include <QStyle>
#include <QStyleFactory>
#include <cstdio>

void applyTrainerStyle()
{
    QStyle *style = QStyleFactory::create(QStringLiteral("Cleanlooks"));
    if (!style) {
        std::fputs("skarvel: the Cleanlooks style is not installed, using Fusion instead\n", stderr);
        style = QStyleFactory::create(QStringLiteral("Fusion"));
    }
    // The application takes ownership of the style.
    QApplication::setStyle(style);
}

QIcon trainerIcon()
{
    QIcon icon;
    for (int size : {16, 32, 64, 128})
        icon.addFile(QStringLiteral(":/icons/skarvel-%1.png").arg(size), QSize(size, size));
    return icon;
}
