// libFuzzer target for the word store: arbitrary bytes as the word-group
// document, then every selection the window could make and more, drawn from
// with both game types and judged.

#include "fuzzdocument.h"
#include "words/threewords.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

std::string documentPath;

void removeDocument()
{
    std::remove(documentPath.c_str());
}

// A broken invariant is a finding like a crash.
void require(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

void checkCycle(const threeWords &store)
{
    const QList<int> &used = store.drawnIndices();
    const int n = store.selectedEntries().size();
    require(used.size() <= n, "more drawn indices than entries");
    for (int i = 0; i < used.size(); ++i) {
        require(used.at(i) >= 0 && used.at(i) < n, "drawn index out of range");
        require(used.indexOf(used.at(i)) == i, "index drawn twice in one cycle");
    }
}

void drawAndJudge(threeWords &store)
{
    for (int round = 0; round < 3; ++round) {
        for (int gameType : {0, 1, 2}) {
            const int before = store.drawnIndices().size();
            store.nextItem(gameType);
            checkCycle(store);
            const QString item = store.actualItem();
            if (gameType == 0 && store.drawnIndices().size() != before) {
                require(item == store.selectedEntries().at(store.drawnIndices().last()),
                        "game type 0 item is not the drawn entry");
            }
            if (gameType == 1 && store.drawnIndices().size() != before)
                require(item.count(QLatin1Char(';')) == 2, "game type 1 item is not three words");
            require(store.isRightWord(item.section(QLatin1Char(';'), 0, 0)),
                    "the first word of the item is not right");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    const char *tmp = std::getenv("TMPDIR");
    documentPath = std::string(tmp && *tmp ? tmp : "/tmp") + "/skarvel-fuzz-wordgroups-"
                   + std::to_string(::getpid()) + ".dat";
    std::atexit(removeDocument);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (!writeFuzzDocument(documentPath, data, size))
        std::abort();

    threeWords store(QString::fromLocal8Bit(documentPath.c_str()));
    require(store.groupNames().size() == store.entryLists().size(),
            "group names and entry lists differ in number");
    drawAndJudge(store);

    const QStringList names = store.groupNames();
    for (const QString &name : names) {
        store.selectGroup(name);
        drawAndJudge(store);
    }
    store.selectGroup(threeWords::allGroups);
    drawAndJudge(store);
    store.selectGroup(QStringLiteral("Unbekannt")); // normally no group of this name
    drawAndJudge(store);
    return 0;
}
