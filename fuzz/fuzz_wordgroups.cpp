// libFuzzer target: arbitrary bytes as a word list. Drawing from every
// selection with both training types must stay inside it, never repeat an
// entry within a cycle, and neither crash nor hang.

#include "words/threewords.h"

#include <QtCore>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    QFile list(dir.filePath("list"));
    if (!list.open(QFile::WriteOnly) || list.write(reinterpret_cast<const char *>(data), qint64(size)) < 0 || !list.flush())
        qFatal("cannot write %s", qPrintable(list.fileName()));
    threeWords store(list.fileName());
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
