#include "app/capabilities.h"
#include "app/commandline.h"
#include "settings/preferences.h"
#include "window/gamethreewords.h"
#include "wordlists/wordlistmenu.h"

void wireWordLists(gameThreeWords &window, preferences &prefs, const StartOptions &options)
{
    auto *menu = new wordListMenu(prefs, &window);
    window.addCapabilityMenu(menu);
    QObject::connect(menu, &wordListMenu::listChosen, &window, &gameThreeWords::setWordGroups);
    menu->start(options.wordList);
}
