// libFuzzer target: arbitrary bytes as a word list. Drawing from every
// selection with both training types must stay inside it, never repeat an
// entry within a cycle, and neither crash nor hang. The checker, over the
// same bytes, must give every problem a line of the file, load only entries
// that are right, read back what it writes, and agree with the store on
// what each line means.

#include "words/qtcompat.h"
#include "words/threewords.h"
#include "words/wordlist.h"

#include <QtCore>

namespace {

void check(const QByteArray &bytes, const threeWords &store)
{
    const wordList list = wordList::check(bytes);
    const int lines = int(bytes.count('\n')) + (bytes.isEmpty() || bytes.endsWith('\n') ? 0 : 1);
    int previous = 1;
    for (const wordList::Problem &problem : list.problems()) {
        if (problem.line < previous || problem.line > lines || problem.text.isEmpty())
            qFatal("problem in line %d of %d, after %d", problem.line, lines, previous);
        previous = problem.line;
    }
    QSet<QString> names, rights;
    for (const wordList::Group &group : list.groups()) {
        if (group.name.trimmed().isEmpty() || group.name == threeWords::allGroups || names.contains(group.name)
            || group.entries.isEmpty())
            qFatal("group \"%s\" loaded", qPrintable(group.name));
        names.insert(group.name);
        for (const QStringList &fields : group.entries) {
            if (fields.size() != 3 || fields.at(0).trimmed().isEmpty() || fields.at(1).trimmed().isEmpty()
                || fields.at(2).trimmed().isEmpty() || fields.at(0) == fields.at(1) || fields.at(0) == fields.at(2)
                || fields.at(1) == fields.at(2) || rights.contains(fields.at(0)))
                qFatal("entry \"%s\" loaded", qPrintable(fields.join(';')));
            rights.insert(fields.at(0));
        }
    }
    if (list.refusal().isEmpty() == list.groups().isEmpty())
        qFatal("refused with groups, or not refused without");

    const wordList again = wordList::check(list.toBytes());
    if (!list.groups().isEmpty() && (!again.problems().isEmpty() || again.entryLines() != list.entryLines()
                                     || again.names() != list.names()))
        qFatal("what was written reads back otherwise");

    // Where the store reads the bytes as UTF-8 (it takes a UTF-16 or UTF-32
    // byte order mark for its own), a loaded entry is one of its group there.
    QString text;
    if (!QtCompat::decodeUtf8(bytes.constData(), bytes.size(), text))
        return;
    const QList<QStringList> entries = list.entryLines();
    for (int g = 0; g < entries.size(); ++g) {
        const int there = store.groupNames().indexOf(list.names().at(g));
        for (const QString &entry : entries.at(g)) {
            if (there < 0 || !store.entryLists().at(there).contains(entry))
                qFatal("the store reads \"%s\" otherwise", qPrintable(entry));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    QFile list(dir.filePath("list"));
    if (!list.open(QFile::WriteOnly) || list.write(reinterpret_cast<const char *>(data), qint64(size)) < 0 || !list.flush())
        qFatal("cannot write %s", qPrintable(list.fileName()));
    threeWords store(list.fileName());
    check(QByteArray(reinterpret_cast<const char *>(data), int(size)), store);
    for (const QString &name : store.groupNames() + QStringList(threeWords::allGroups)) {
        store.selectGroup(name);
        for (int draw = 0; draw < qMin(2 * store.selectedEntries().size() + 2, 40); ++draw) {
            store.nextItem(draw % 2);
            const QList<int> drawn = store.drawnIndices();
            if (QSet<int>(drawn.begin(), drawn.end()).size() != drawn.size() || drawn.size() > store.selectedEntries().size())
                qFatal("entry drawn twice in a cycle");
        }
    }
    return 0;
}
