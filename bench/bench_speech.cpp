// How soon a new item is heard: from a click on "Weiter" until the engine
// reports Speaking, with the engine up and warm. The real window, wiring and
// engine, talking to a speech-dispatcher of its own whose sound goes to
// libao's null driver. Prints median, minimum and maximum for each type,
// and how long the event loop ever waited while the engine started.
//   QT_QPA_PLATFORM=offscreen build/bench/bench_speech [ITEMS]

#include "app/capabilities.h"
#include "settings/preferences.h"
#include "speech/wordspeaker.h"
#include "window/gamethreewords.h"

#include "../tests/privatespeech.h"
#include "../tests/testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int items = argc > 1 ? qMax(1, QByteArray(argv[1]).toInt()) : 30;
    TemporaryConfig config;
    config.write("[General]\nspeakWords=true\ngameType=0\n");
    PrivateSpeech speech;
    preferences prefs(QStringLiteral("Pondrel"), QStringLiteral("Skarvel"));
    gameThreeWords window(&prefs);
    wireSpeech(window, prefs);
    window.show();

    auto *speaker = window.findChild<wordSpeaker *>();
    QElapsedTimer startup;
    startup.start();
    // The engine must never hold up the event loop: the longest gap between
    // the ticks of a 5 ms timer while it starts.
    QElapsedTimer tick;
    tick.start();
    qint64 longestGap = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { longestGap = qMax(longestGap, tick.restart()); });
    ticker.start(5);
    if (!QTest::qWaitFor([speaker] { return speaker->status() >= wordSpeaker::Ready; }, 120000)
        || speaker->status() != wordSpeaker::Ready) {
        std::fprintf(stderr, "bench_speech: the engine cannot start: %s\n", qUtf8Printable(speaker->reason()));
        return 1;
    }
    ticker.stop();
    std::printf("engine ready %lld ms after the window was shown; the event loop's longest pause "
                "meanwhile %lld ms\n", startup.elapsed(), longestGap);

    auto *more = window.findChild<QPushButton *>(QStringLiteral("moreButton"));
    auto *type = window.findChild<QComboBox *>(QStringLiteral("comboBox_typ"));
    for (int gameType : {0, 1}) {
        type->setCurrentIndex(gameType);
        QList<qint64> times;
        // The first three warm the engine up for this type; they do not count.
        for (int i = 0; i < items + 3; ++i) {
            if (!QTest::qWaitFor([speaker] { return !speaker->isSpeaking(); }, 30000)) {
                std::fprintf(stderr, "bench_speech: item %d is still being spoken\n", i);
                return 1;
            }
            QElapsedTimer clock;
            qint64 heard = -1;
            const auto connection = QObject::connect(speaker, &wordSpeaker::speakingChanged, [&](bool speaking) {
                if (speaking && heard < 0)
                    heard = clock.nsecsElapsed();
            });
            clock.start();
            more->click();
            const bool spoken = QTest::qWaitFor([&heard] { return heard >= 0; }, 10000);
            QObject::disconnect(connection);
            if (!spoken) {
                std::fprintf(stderr, "bench_speech: item %d was never spoken\n", i);
                return 1;
            }
            if (i >= 3)
                times.append(heard);
        }
        std::sort(times.begin(), times.end());
        std::printf("%s, %d items: new item to Speaking median %.1f ms, min %.1f ms, max %.1f ms\n",
                    gameType ? "gruppenfremde Wörter" : "Falschwörter", items, times.at(times.size() / 2) / 1e6,
                    times.first() / 1e6, times.last() / 1e6);
    }
    return 0;
}
