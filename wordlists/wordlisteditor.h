#ifndef WORDLISTEDITOR_H
#define WORDLISTEDITOR_H

#include "ui_wordlisteditor.h"
#include "words/wordlist.h"

#include <QDialog>

class spellCheck;

// "Wortliste bearbeiten": the groups on the left, the entries of the chosen
// group as a table on the right, both edited in place. With a dictionary it
// marks right words it does not know (names are fine) and misspellings it
// knows (the item would have two right answers), and proposes misspellings.
//
// Each entry's picture stands in the column "Bild": a file in the folder
// "Bilder" beside the list, named after the right word. A picture chosen or
// removed is in the folder at once; when right words are renamed, their
// pictures follow them as the list is saved, so that the folder always fits
// the list on disk. A deleted entry's picture stays in the folder: it may be
// the only copy of a photo, and an entry of that word gets it back.
//
// "Speichern" writes to the list's own file; a list without one (the bundled
// list, or one of which only the usable part was loaded) goes through
// "Speichern unter…", so that neither is ever written over. Closing with
// unsaved changes asks.
class wordListEditor : public QDialog
{
    Q_OBJECT

public:
    // path: where "Speichern" writes, empty for none. speller: nullptr
    // where there is no dictionary.
    wordListEditor(const QList<wordList::Group> &groups, const QString &path, const spellCheck *speller,
                   QWidget *parent = nullptr);
    ~wordListEditor() override;

    // A list without a path of its own that came from this file (only its
    // usable part was loaded): its pictures are shown and saved with it.
    void setPictureSource(const QString &listPath);
    // One line under the table: what the user should know about this list.
    void setNotice(const QString &notice);

    // The list as edited, without the rows left wholly empty.
    QList<wordList::Group> groups() const;
    const QString &path() const;
    // A picture was chosen or removed in the list's folder.
    bool picturesChanged() const;

    // Where own lists go unless the user picks another folder: "Wortlisten"
    // under the application's data location. Not created by asking.
    static QString defaultFolder();

signals:
    void saved(const QString &path);

public slots:
    bool save();
    bool saveAs();
    void reject() override;

private slots:
    void showGroup(int row);
    void addGroup();
    void renameGroup();
    void deleteGroup();
    void groupEdited(QListWidgetItem *item);
    void addEntry();
    void deleteEntries();
    void entryEdited(QTableWidgetItem *item);
    void proposeMisspellings();
    void updateButtons();
    void choosePicture();
    void removePicture();

private:
    bool writeTo(const QString &path);
    // A passing message under the table; empty brings the notice back.
    void say(const QString &message);
    void markRow(int row);
    void setModified(bool modified);
    QList<int> chosenRows() const;
    // The word after which this entry's picture is named in the folder (or
    // would be); empty where it can have none: no folder, no word, or its
    // word is another entry's.
    QString pictureWord(int group, int row) const;
    QString pictureWord(int row) const;
    void showPicture(int row);
    void showCurrentPicture();
    // After the list is written to path: its pictures follow renamed words,
    // or come along to another folder. Returns what went wrong.
    QStringList carryPictures(const QString &from, const QString &to);

    Ui_wordListEditor ui;
    QList<wordList::Group> m_groups;
    // For each entry of each group: the word its pictures are named after
    // in the folder, as the list was last read or saved; empty for an entry
    // that is new and has none yet.
    QList<QStringList> m_pictureNames;
    bool m_picturesChanged = false;
    int m_current = -1;
    QString m_path;
    // The list whose folder holds the pictures: m_path, or for a list not
    // yet saved the file it came from.
    QString m_pictures;
    QString m_notice;
    const spellCheck *m_speller;
    bool m_filling = false;
};

#endif // WORDLISTEDITOR_H
