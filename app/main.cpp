#include "app/capabilities.h"
#include "app/commandline.h"
#include "app/startup.h"
#include "settings/preferences.h"
#include "window/gamethreewords.h"
#include "words/qtcompat.h"

#include <QApplication>
#include <QIcon>
#include <QString>

int main(int argc, char *argv[])
{
    StartOptions options;
    if (asksForTextOnly(argc, argv)) {
        QCoreApplication textOnly(argc, argv);
        return readCommandLine(QCoreApplication::arguments(), options);
    }

    QtCompat::enableHighDpi();
    QApplication app(argc, argv);
    // Wayland matches the window to its desktop entry by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("de.pondrel.Skarvel"));
    // Read after Qt has taken its own options (-style and the like).
    const int exitCode = readCommandLine(QApplication::arguments(), options);
    if (exitCode >= 0)
        return exitCode;
    applyTrainerStyle();
    installQtTranslations();
    app.setWindowIcon(trainerIcon());

    // Used for the settings only: the application-wide names stay unset.
    const QString organisation = QStringLiteral("Pondrel");
    const QString application = QStringLiteral("Skarvel");

    // The store outlives the window, which keeps a pointer to it; settings
    // are written as they change, so nothing is saved on the way out.
    preferences prefs(organisation, application);
    gameThreeWords window(&prefs);
    wireWordLists(window, prefs, options);
    wireRecords(window, prefs, options);
    wireSpeech(window, prefs);
    window.show();
    return app.exec();
}
