#include "app/startup.h"

#include "app/trainerstyle.h"
#include "settings/preferences.h"
#include "window/gamethreewords.h"
#include "words/qtcompat.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>
#include <QStyle>
#include <QStyleFactory>
#include <QTranslator>
#include <cstdio>

void applyTrainerStyle()
{
    QStyle *style = QStyleFactory::create(QStringLiteral("Cleanlooks"));
    if (!style) {
        std::fputs("skarvel: the Cleanlooks style is not installed, using Fusion instead\n", stderr);
        style = QStyleFactory::create(QStringLiteral("Fusion"));
    }
    // The application takes ownership of the style, and the proxy of its base.
    QApplication::setStyle(new trainerStyle(style));
}

void installQtTranslations()
{
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QtCompat::translationsPath())) {
        QCoreApplication::installTranslator(translator);
        return;
    }
    delete translator;
    std::fputs("skarvel: Qt's German translations are not installed, Qt's own buttons stay English\n", stderr);
}

void tellProblemsInWindow(gameThreeWords &window, preferences &prefs)
{
    QObject::connect(&prefs, &basePreferences::notStored, &window, &gameThreeWords::tellOnce);
}

QIcon trainerIcon()
{
    QIcon icon;
    for (int size : {16, 32, 64, 128})
        icon.addFile(QStringLiteral(":/icons/skarvel-%1.png").arg(size), QSize(size, size));
    return icon;
}
