#ifndef WORDLIST_H
#define WORDLIST_H

#include <QList>
#include <QString>
#include <QStringList>

// A word list of the therapist's own: checked line by line when it is read,
// and written in the bundled list's form (UTF-8 without a byte order mark,
// "\n" after every line, "#Gruppe" lines, entries "richtig;falsch;falsch").
//
// A line means what it means to threeWords::readWordGroups: "#" first makes
// it a group header, anything else is an entry. Reading is stricter: every
// line that would give the trainer a wrong item is a problem with its line
// number and stays out of the usable part, which is what may be loaded.
class wordList
{
public:
    struct Group
    {
        QString name;
        QList<QStringList> entries; // three fields each, the right word first
    };
    struct Problem
    {
        int line; // 1-based
        QString text;
        QString message() const; // "Zeile 3: …"
    };

    // How the file's bytes are read: UTF-8 unless the user chooses the old
    // default of Windows' Notepad for a file that is not UTF-8.
    enum class Encoding { Utf8, Windows1252 };

    static const qint64 maxBytes = 1024 * 1024;
    static const int maxLines = 20000;
    // Longer than any word a patient trains: the longest German words in
    // use run to some 40 letters ("Donaudampfschifffahrtsgesellschaftskapitän"
    // has 42). Three such words still fit a small screen at a size a patient
    // can read; a longer one could not, and would only be a mistake.
    static const int maxWordLength = 50;

    wordList() = default;
    explicit wordList(const QList<Group> &groups);

    // Reads and checks the file. One over maxBytes or maxLines is refused
    // without being read whole; a byte order mark and "\r\n" are accepted.
    static wordList read(const QString &path, Encoding encoding = Encoding::Utf8);
    static wordList check(const QByteArray &bytes, Encoding encoding = Encoding::Utf8);

    // Read as UTF-8, the file is not UTF-8, but as Windows-1252 every byte
    // is a letter or sign: then it is almost surely a list saved that way.
    bool readsAsWindows1252() const;

    // The usable part.
    const QList<Group> &groups() const;
    const QList<Problem> &problems() const;
    // Why nothing of the list can be used; empty when some of it can.
    const QString &refusal() const;

    // The usable part in the word store's terms: names, and entry lines.
    QStringList names() const;
    QList<QStringList> entryLines() const;

    QByteArray toBytes() const;
    // Whole or not at all (userFile). Returns why it failed, or an empty
    // string.
    QString save(const QString &path) const;

private:
    void addProblem(int line, const QString &text);

    QList<Group> m_groups;
    QList<Problem> m_problems;
    QString m_refusal;
    bool m_windows1252 = false;
};

#endif // WORDLIST_H
