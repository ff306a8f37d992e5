#include "wordlists/wordlistmenu.h"

#include "settings/basepreferences.h"
#include "wordlists/wordlisteditor.h"
#include "wordlists/wordlisterrors.h"
#include "words/picturefolder.h"
#include "words/spellcheck.h"
#include "words/threewords.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QTimer>

#include <algorithm>

const QString wordListMenu::key = QStringLiteral("wordList");

wordListMenu::wordListMenu(basePreferences &prefs, QWidget *parent)
    : QMenu(tr("Wortliste"), parent), m_prefs(prefs)
{
    setObjectName(QStringLiteral("menuWortliste"));
    QAction *open = addAction(tr("Eigene Wortliste öffnen…"));
    QAction *edit = addAction(tr("Wortliste bearbeiten…"));
    m_bundledAction = addAction(tr("Mitgelieferte Wortliste"));
    open->setObjectName(QStringLiteral("actionOpenWordList"));
    edit->setObjectName(QStringLiteral("actionEditWordList"));
    m_bundledAction->setObjectName(QStringLiteral("actionBundledWordList"));
    m_bundledAction->setCheckable(true);
    m_bundledAction->setChecked(true);
    connect(open, &QAction::triggered, this, &wordListMenu::openOwnList);
    connect(edit, &QAction::triggered, this, &wordListMenu::editList);
    connect(m_bundledAction, &QAction::triggered, this, &wordListMenu::useBundledList);
}

wordListMenu::~wordListMenu() = default;

void wordListMenu::start(const QString &commandLineList)
{
    QString path = commandLineList;
    if (path.isEmpty()) {
        // Anything but an absolute path is damage: the bundled list, and
        // the key stays as it is until the user chooses.
        const QVariant stored = m_prefs.value(key);
        if (stored.userType() == QMetaType::QString && QDir::isAbsolutePath(stored.toString()))
            path = stored.toString();
    }
    if (path.isEmpty())
        return;
    path = QFileInfo(path).absoluteFilePath();
    const wordList list = wordList::read(path);
    if (list.refusal().isEmpty() && list.problems().isEmpty()) {
        use(list, path, true, false);
        // Every picture is read to check it: after the window has shown.
        QTimer::singleShot(0, this, [this, path] {
            const QStringList pictures = pictureFolder(path).unreadable();
            if (!pictures.isEmpty() && path == m_source)
                reportPictures(path, pictures);
        });
        return;
    }
    QTimer::singleShot(0, this, [this, list, path] { offer(list, path, false); });
}

const QString &wordListMenu::source() const
{
    return m_source;
}

void wordListMenu::openOwnList()
{
    QString folder = wordListEditor::defaultFolder();
    if (!m_source.isEmpty())
        folder = QFileInfo(m_source).path();
    else if (!QFileInfo::exists(folder))
        folder = QDir::homePath();
    const QString path = QFileDialog::getOpenFileName(parentWidget(), tr("Eigene Wortliste öffnen"), folder,
                                                      tr("Wortlisten (*.txt *.dat);;Alle Dateien (*)"));
    if (!path.isEmpty())
        openList(path, true);
}

bool wordListMenu::openList(const QString &path, bool remember)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    return offer(wordList::read(absolute), absolute, remember);
}

void wordListMenu::editList()
{
    // The bundled list passes the checker whole.
    const QList<wordList::Group> groups =
        m_source.isEmpty() ? wordList::read(threeWords::bundledDocument).groups() : m_groups;
    // The dictionary is loaded on first use, which takes a moment.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const spellCheck *speller = spellCheck::german();
    QApplication::restoreOverrideCursor();

    wordListEditor editor(groups, m_whole ? m_source : QString(), speller, parentWidget());
    if (!m_source.isEmpty() && !m_whole)
        editor.setPictureSource(m_source);
    if (m_source.isEmpty())
        editor.setNotice(tr("Die mitgelieferte Wortliste bleibt, wie sie ist: Änderungen werden als eigene Liste "
                            "gespeichert."));
    else if (!m_whole)
        editor.setNotice(tr("Von „%1“ wurde nur der brauchbare Teil geladen; die Datei bleibt, wie sie ist, "
                            "und die Liste wird unter neuem Namen gespeichert.").arg(QFileInfo(m_source).fileName()));
    else if (m_encoding == wordList::Encoding::Windows1252)
        editor.setNotice(tr("„%1“ wurde als Windows-1252 gelesen; beim Speichern wird sie als UTF-8 geschrieben.")
                             .arg(QFileInfo(m_source).fileName()));
    connect(&editor, &wordListEditor::saved, this, [this](const QString &path) {
        // Its problems were shown before it was saved.
        const wordList list = wordList::read(path);
        if (list.refusal().isEmpty())
            use(list, path, list.problems().isEmpty(), true);
    });
    editor.exec();
    // The window shows the folder as it is now.
    if (editor.picturesChanged() && !m_source.isEmpty() && editor.path() == m_source) {
        const wordList list = wordList::read(m_source, m_encoding);
        if (list.refusal().isEmpty())
            use(list, m_source, m_whole, false, m_encoding);
    }
}

void wordListMenu::useBundledList()
{
    if (!m_prefs.value(key).toString().isEmpty())
        m_prefs.setValue(key, QString());
    showBundled(true);
    if (m_source.isEmpty())
        return;
    m_source.clear();
    m_groups.clear();
    m_whole = false;
    m_encoding = wordList::Encoding::Utf8;
    QStringList names;
    QList<QStringList> entries;
    threeWords::readWordGroups(threeWords::bundledDocument, names, entries);
    emit listChosen(names, entries, QString());
}

bool wordListMenu::offer(const wordList &list, const QString &path, bool remember, wordList::Encoding encoding)
{
    const QString name = QFileInfo(path).fileName();
    const QString stays = m_source.isEmpty() ? tr("Es gilt weiter die mitgelieferte Wortliste.")
                                             : tr("Es gilt weiter die Wortliste „%1“.").arg(QFileInfo(m_source).fileName());
    // Saved by Windows' Notepad in its old default: read so, the words the
    // UTF-8 reading refuses are whole. Some of them show that it fits.
    wordList legacy;
    QString legacyNote;
    if (list.readsAsWindows1252()) {
        legacy = wordList::read(path, wordList::Encoding::Windows1252);
        QStringList words;
        for (const wordList::Group &group : legacy.groups()) {
            for (const QStringList &fields : group.entries) {
                for (const QString &field : fields) {
                    if (words.size() < 3 && !words.contains(field)
                        && std::any_of(field.begin(), field.end(), [](QChar c) { return c.unicode() >= 0x80; }))
                        words.append(field);
                }
            }
        }
        legacyNote = words.isEmpty()
            ? tr("„%1“ ist nicht in UTF-8 gespeichert, sondern wohl in Windows-1252, wie der Windows-Editor "
                 "früher speicherte.").arg(name)
            : tr("„%1“ ist nicht in UTF-8 gespeichert, sondern wohl in Windows-1252, wie der Windows-Editor "
                 "früher speicherte; so gelesen heißen die Wörter etwa %2.")
                  .arg(name, QStringLiteral("„%1“").arg(words.join(QStringLiteral("“, „"))));
        legacyNote += QLatin1Char(' ');
    }
    auto ask = [&](wordListErrors &dialog) {
        if (!legacyNote.isEmpty())
            dialog.addAlternative(tr("Als Windows-1252 lesen"));
        return dialog.exec();
    };

    if (!list.refusal().isEmpty()) {
        wordListErrors dialog(parentWidget());
        const QString why = list.problems().isEmpty()
            ? list.refusal()
            : tr("Die Wortliste „%1“ wird nicht geladen: %2 Die Fehler stehen unten.").arg(name, list.refusal());
        dialog.setReport(legacyNote + why + QLatin1Char(' ') + stays, list.problems(), QString());
        if (ask(dialog) == wordListErrors::Alternative)
            return offer(legacy, path, remember, wordList::Encoding::Windows1252);
        showBundled(m_source.isEmpty());
        return false;
    }
    // A picture never keeps a list out: its word is trained without it.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QStringList pictures = pictureFolder(path).unreadable();
    QApplication::restoreOverrideCursor();
    if (!list.problems().isEmpty()) {
        int words = 0;
        for (const wordList::Group &group : list.groups())
            words += int(group.entries.size());
        wordListErrors dialog(parentWidget());
        const int groups = int(list.groups().size());
        dialog.setReport(legacyNote
                             + tr("Die Wortliste „%1“ hat %2 Fehler (unten). Laden lässt sich der brauchbare Teil: "
                                  "%3 mit %4. Die Datei bleibt, wie sie ist.")
                                   .arg(name, QString::number(list.problems().size()),
                                        groups == 1 ? tr("1 Gruppe") : tr("%1 Gruppen").arg(groups),
                                        words == 1 ? tr("1 Wort") : tr("%1 Wörtern").arg(words))
                             + picturesSentence(pictures),
                         list.problems(), tr("Brauchbaren Teil laden"), pictures);
        const int answer = ask(dialog);
        if (answer == wordListErrors::Alternative)
            return offer(legacy, path, remember, wordList::Encoding::Windows1252);
        if (answer != QDialog::Accepted) {
            showBundled(m_source.isEmpty());
            return false;
        }
    }
    use(list, path, list.problems().isEmpty(), remember, encoding);
    if (list.problems().isEmpty() && !pictures.isEmpty())
        reportPictures(path, pictures);
    return true;
}

QString wordListMenu::picturesSentence(const QStringList &pictures)
{
    if (pictures.isEmpty())
        return QString();
    return QLatin1Char(' ')
        + (pictures.size() == 1 ? tr("Ein Bild im Ordner „Bilder“ lässt sich nicht lesen (unten); sein Wort wird "
                                     "ohne Bild geübt.")
                                : tr("%1 Bilder im Ordner „Bilder“ lassen sich nicht lesen (unten); ihre Wörter "
                                     "werden ohne Bild geübt.").arg(pictures.size()));
}

void wordListMenu::reportPictures(const QString &path, const QStringList &pictures)
{
    wordListErrors dialog(parentWidget());
    dialog.setReport(tr("Die Wortliste „%1“ ist geladen.").arg(QFileInfo(path).fileName()) + picturesSentence(pictures),
                     {}, QString(), pictures);
    dialog.exec();
}

void wordListMenu::use(const wordList &list, const QString &path, bool whole, bool remember,
                       wordList::Encoding encoding)
{
    m_source = path;
    m_groups = list.groups();
    m_whole = whole;
    m_encoding = encoding;
    if (remember)
        m_prefs.setValue(key, path);
    showBundled(false);
    emit listChosen(list.names(), list.entryLines(), path);
}

void wordListMenu::showBundled(bool bundled)
{
    m_bundledAction->setChecked(bundled);
}
