#include "words/threewords.h"

#include "words/qtcompat.h"

#include <QFile>
#include <QHash>
#include <QTextStream>
#include <QTime>

const QString threeWords::allGroups = QStringLiteral("Alle");
const QString threeWords::bundledDocument = QStringLiteral(":/data/wordgroups.dat");

namespace {

QString firstField(const QString &line)
{
    // split() always yields at least one piece, so first() is safe even for
    // an empty line.
    return line.split(QLatin1Char(';'), Qt::KeepEmptyParts, Qt::CaseSensitive).first();
}

} // namespace

threeWords::threeWords(const QString &documentPath)
    : m_actualItem(new QString),
      m_groupNames(new QStringList),
      groupEntries(new QList<QStringList>)
{
    QtCompat::seedRandom(uint(QTime::currentTime().second()));
    loadWordGroups(documentPath);

    // A document without any group leaves nothing to select: the selection
    // stays empty and the first draw below does nothing.
    if (!m_groupNames->isEmpty())
        selectGroup(m_groupNames->first());
    nextItem(1);
}

threeWords::~threeWords()
{
    delete groupEntries;
    delete m_groupNames;
    delete m_actualItem;
}

const QStringList &threeWords::groupNames() const
{
    return *m_groupNames;
}

const QString &threeWords::actualGroup() const
{
    return m_actualGroup;
}

const QString &threeWords::actualItem() const
{
    return *m_actualItem;
}

const QList<QStringList> &threeWords::entryLists() const
{
    return *groupEntries;
}

const QStringList &threeWords::selectedEntries() const
{
    return actualEntries;
}

const QList<int> &threeWords::drawnIndices() const
{
    return usedIndices;
}

void threeWords::loadWordGroups(const QString &documentPath)
{
    readWordGroups(documentPath, *m_groupNames, *groupEntries);
    indexNames();
}

void threeWords::readWordGroups(const QString &documentPath, QStringList &names, QList<QStringList> &entries)
{
    names.clear();
    entries.clear();

    // An unopened file is at its end at once, so a missing document simply
    // reads as one without lines.
    QFile file(documentPath);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    file.close();
    // Decoded whole: a stream's decoder keeps a sequence cut off by the
    // file's end waiting for bytes that never come, and the last character
    // would vanish instead of showing as broken like one anywhere else. A
    // UTF-16 or UTF-32 list (Notepad's "Unicode") is still recognised by its
    // mark.
    QString text;
    if (bytes.startsWith("\xff\xfe") || bytes.startsWith("\xfe\xff") || bytes.startsWith(QByteArray("\0\0\xfe\xff", 4))) {
        QTextStream decoder(bytes);
        QtCompat::setUtf8(decoder);
        text = decoder.readAll();
    } else {
        // With its size: Qt 5 would stop at a zero byte.
        text = QString::fromUtf8(bytes.constData(), bytes.size());
        if (text.startsWith(QChar(0xfeff)))
            text.remove(0, 1);
    }
    QTextStream stream(&text, QIODevice::ReadOnly);

    QStringList pending;
    bool headerSeen = false;
    while (!stream.atEnd()) {
        const QString line = stream.readLine();
        if (line.startsWith(QLatin1Char('#'))) {
            names.append(line.mid(1));
            if (headerSeen) {
                entries.append(pending);
                pending.clear();
            } else {
                // Entry lines read so far stay pending and join this first group.
                headerSeen = true;
            }
        } else {
            pending.append(line);
        }
    }
    // Entry lines of a document without any header line belong to no group
    // that could ever be selected; they are dropped, so that every entry list
    // has its name and the names and lists stay of one length.
    if (headerSeen)
        entries.append(pending);
}

void threeWords::indexNames()
{
    firstOfName.clear();
    QHash<QString, int> firstPosition;
    firstOfName.reserve(m_groupNames->size());
    for (int i = 0; i < m_groupNames->size(); ++i) {
        const int first = firstPosition.value(m_groupNames->at(i), i);
        firstOfName.append(first);
        if (first == i)
            firstPosition.insert(m_groupNames->at(i), i);
    }
}

void threeWords::setWordGroups(const QStringList &names, const QList<QStringList> &entries)
{
    *m_groupNames = names;
    *groupEntries = entries;
    indexNames();
    selectGroup(names.value(0));
}

void threeWords::setPracticeGroup(const QString &name, const QStringList &entries)
{
    m_practiceName = entries.isEmpty() ? QString() : name;
    m_practiceEntries = entries;
    if (m_actualGroup == name)
        selectGroup(m_practiceName.isEmpty() ? m_groupNames->value(0) : name);
}

const QString &threeWords::practiceGroup() const
{
    return m_practiceName;
}

bool threeWords::canDraw(int gameType) const
{
    return (gameType == 0 || gameType == 1) && !actualEntries.isEmpty()
        && (gameType == 0 || hasForeignSource(m_actualGroup));
}

void threeWords::selectGroup(const QString &name)
{
    m_actualGroup = name;
    actualEntries.clear();
    if (!m_practiceName.isEmpty() && name == m_practiceName) {
        actualEntries = m_practiceEntries;
    } else if (name == allGroups) {
        for (const QStringList &entries : qAsConst(*groupEntries))
            actualEntries += entries;
    } else {
        // A name that is no group gives an empty selection, from which
        // nothing is ever drawn.
        const int group = m_groupNames->indexOf(name);
        if (group >= 0)
            actualEntries = groupEntries->at(group);
    }
    usedIndices.clear();
}

void threeWords::nextItem(int gameType)
{
    // The missing preconditions are caught before the first random number,
    // so that an impossible draw leaves the item and the sequence untouched.
    const int n = actualEntries.size();
    if (!canDraw(gameType))
        return;

    if (usedIndices.size() >= n)
        usedIndices.clear();
    int i = QtCompat::nextRandom() % n;
    while (usedIndices.contains(i))
        i = QtCompat::nextRandom() % n;
    usedIndices.append(i);

    if (gameType == 0) {
        *m_actualItem = actualEntries.at(i);
        return;
    }

    const QString first = drawForeignWord();
    QString second = drawForeignWord();
    // The same wrong word on two buttons would leave the patient one choice
    // less; drawn again only then, so that other items keep their sequence.
    while (second == first && hasTwoForeignWords(first))
        second = drawForeignWord();
    *m_actualItem = firstField(actualEntries.at(i)) + QLatin1Char(';') + first + QLatin1Char(';') + second;
}

QString threeWords::drawForeignWord()
{
    const QString other = pickOtherGroup(m_actualGroup);
    const QStringList &source = groupEntries->at(m_groupNames->indexOf(other));
    return firstField(source.at(QtCompat::nextRandom() % source.size()));
}

bool threeWords::hasTwoForeignWords(const QString &word) const
{
    for (int j = 0; j < m_groupNames->size(); ++j) {
        if (!isForeignSource(j, m_actualGroup))
            continue;
        for (const QString &entry : groupEntries->at(firstOfName.at(j))) {
            if (firstField(entry) != word)
                return true;
        }
    }
    return false;
}

bool threeWords::isRightWord(const QString &word) const
{
    return word == firstField(*m_actualItem);
}

// Only called once hasForeignSource() has found a group that passes the same
// test, so the loop ends.
QString threeWords::pickOtherGroup(const QString &exclude)
{
    const int count = m_groupNames->size();
    int j = QtCompat::nextRandom() % count;
    while (!isForeignSource(j, exclude))
        j = QtCompat::nextRandom() % count;
    return m_groupNames->at(j);
}

// A group under a name without entries cannot give a word. Skipping it changes
// nothing for a document in which every group has entries: there the only
// name ever redrawn is the excluded one.
bool threeWords::isForeignSource(int group, const QString &exclude) const
{
    return m_groupNames->at(group) != exclude
        && !groupEntries->at(firstOfName.at(group)).isEmpty();
}

bool threeWords::hasForeignSource(const QString &exclude) const
{
    for (int j = 0; j < m_groupNames->size(); ++j) {
        if (isForeignSource(j, exclude))
            return true;
    }
    return false;
}
