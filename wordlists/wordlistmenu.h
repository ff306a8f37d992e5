#ifndef WORDLISTMENU_H
#define WORDLISTMENU_H

#include "words/wordlist.h"

#include <QMenu>

class QAction;
class basePreferences;

// The menu "Wortliste" and what decides which list the trainer uses: the
// bundled one, or an own list from --words, the key "wordList" (its
// absolute path) or the menu. A list is checked before it is used; one with
// problems is shown in "Fehler in der Wortliste" and only its usable part is
// loaded, if the user wants it. Pictures in its folder "Bilder" that cannot
// be read are named there too, but never keep a list out. Whatever goes
// wrong, the list in use stays and no file is changed. Only a list chosen in the menu or saved in the
// editor is remembered under the key; --words holds for its run only.
class wordListMenu : public QMenu
{
    Q_OBJECT

public:
    wordListMenu(basePreferences &prefs, QWidget *parent);
    ~wordListMenu() override;

    // The list to start with: the one of --words, else the remembered one.
    // A list that needs a word from the user, or one that cannot be used, is
    // taken up once the event loop runs, after the window has shown; until
    // then, and if it cannot be used, the bundled list holds.
    void start(const QString &commandLineList);
    // The active own list, empty for the bundled one.
    const QString &source() const;

    static const QString key; // "wordList"

signals:
    // Train on these groups from now on; source: the list's absolute path,
    // empty for the bundled list.
    void listChosen(const QStringList &names, const QList<QStringList> &entries, const QString &source);

public slots:
    void openOwnList();
    void editList();
    void useBundledList();
    // Checks the list, asks about its problems and uses it; false when the
    // list in use stays.
    bool openList(const QString &path, bool remember);

private:
    bool offer(const wordList &list, const QString &path, bool remember,
               wordList::Encoding encoding = wordList::Encoding::Utf8);
    void use(const wordList &list, const QString &path, bool whole, bool remember,
             wordList::Encoding encoding = wordList::Encoding::Utf8);
    void showBundled(bool bundled);
    // Pictures of the list in use that cannot be shown; the list stays.
    void reportPictures(const QString &path, const QStringList &pictures);
    static QString picturesSentence(const QStringList &pictures);

    basePreferences &m_prefs;
    QString m_source;
    // The active own list as loaded, and whether it was loaded whole (only
    // then may the editor write it back to its file).
    QList<wordList::Group> m_groups;
    bool m_whole = false;
    // Not UTF-8 in its file until the editor saves it.
    wordList::Encoding m_encoding = wordList::Encoding::Utf8;
    QAction *m_bundledAction;
};

#endif // WORDLISTMENU_H
