#ifndef THREEWORDS_H
#define THREEWORDS_H

#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

// The word store: the word groups of one document, the group the user chose
// ("Alle" for all groups together) and the current training item.
//
// A training item is three words joined by ";", the right word always first.
// Game type 0 ("Falschwörter") takes a whole entry line: the right spelling
// and two misspellings. Game type 1 ("gruppenfremde Wörter") takes the right
// word of an entry of the chosen group and two different right words of other
// groups (the same one twice only where the other groups hold no second).
// Any other game type draws nothing.
//
// Every entry of the selection is drawn once per cycle, in random order. All
// randomness comes from the one sequence that the constructor seeds.
//
// The training window derives from this class; it is no QObject.
class threeWords
{
public:
    // Without an argument the store loads the bundled word list; tests and
    // fuzz targets hand in a document of their own.
    explicit threeWords(const QString &documentPath = bundledDocument);
    ~threeWords();

    const QStringList &groupNames() const;
    const QString &actualGroup() const;
    const QString &actualItem() const;

    void selectGroup(const QString &name);
    void nextItem(int gameType);
    bool isRightWord(const QString &word) const;
    // Whether nextItem(gameType) finds anything to draw in the selection.
    bool canDraw(int gameType) const;

    // Replaces the word groups, from an own word list say; the first group
    // is selected and nothing is drawn yet.
    void setWordGroups(const QStringList &names, const QList<QStringList> &entries);

    // A group of the patient's own (the words answered wrong, say) that the
    // window offers after "Alle" for "Falschwörter"; no entries, no group.
    void setPracticeGroup(const QString &name, const QStringList &entries);
    const QString &practiceGroup() const;

    // Read-only views for tests and tools.
    const QList<QStringList> &entryLists() const;
    const QStringList &selectedEntries() const;
    const QList<int> &drawnIndices() const;

    static const QString allGroups;       // "Alle"
    static const QString bundledDocument; // ":/data/wordgroups.dat"

    // The group names and entry lines of a document, as the store loads them.
    static void readWordGroups(const QString &documentPath, QStringList &names, QList<QStringList> &entries);

protected:
    void loadWordGroups(const QString &documentPath = bundledDocument);

private:
    Q_DISABLE_COPY(threeWords)

    void indexNames();
    QString pickOtherGroup(const QString &exclude);
    QString drawForeignWord();
    bool hasTwoForeignWords(const QString &word) const;
    bool isForeignSource(int group, const QString &exclude) const;
    bool hasForeignSource(const QString &exclude) const;

    QStringList actualEntries;
    QString *m_actualItem;
    QStringList *m_groupNames;
    QString m_actualGroup;
    QList<QStringList> *groupEntries;
    QList<int> usedIndices;
    QString m_practiceName;
    QStringList m_practiceEntries;

    // For each group, the position of the first group of the same name: a
    // foreign word under a name always comes from that one. Derived from
    // groupNames on loading, so that checking a name costs no search.
    QVector<int> firstOfName;
};

#endif // THREEWORDS_H
