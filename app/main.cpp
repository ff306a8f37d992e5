#include "app/startup.h"
#include "settings/preferences.h"
#include "window/gamethreewords.h"

#include <QApplication>
#include <QIcon>
#include <QString>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    applyTrainerStyle();
    app.setWindowIcon(trainerIcon());

    // Used for the settings only: the application-wide names stay unset.
    const QString organisation = QStringLiteral("Pondrel");
    const QString application = QStringLiteral("Skarvel");

    // The store outlives the window, which keeps a pointer to it; settings
    // are written as they change, so nothing is saved on the way out.
    preferences prefs(organisation, application);
    gameThreeWords window(&prefs);
    window.show();
    return app.exec();
}
