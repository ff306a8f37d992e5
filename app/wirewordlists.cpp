#include "app/capabilities.h"
#include "app/commandline.h"
#include "settings/preferences.h"
#include "window/gamethreewords.h"
#include "wordlists/wordlistmenu.h"

#include <QFileInfo>

void wireWordLists(gameThreeWords &window, preferences &prefs, const StartOptions &options)
{
    auto *menu = new wordListMenu(prefs, &window);
    window.addCapabilityMenu(menu);
    QObject::connect(menu, &wordListMenu::listChosen, &window, &gameThreeWords::setWordGroups);
    QObject::connect(menu, &wordListMenu::listChosen, &window, [&window](const QStringList &, const QList<QStringList> &,
                                                                         const QString &source) {
        window.setWordListShown(source.isEmpty() ? QString() : QFileInfo(source).fileName());
    });
    menu->start(options.wordList);
}
