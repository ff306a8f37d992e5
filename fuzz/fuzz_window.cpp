// libFuzzer target: the real training window, headless, over a fuzzed word
// list, driven by fuzzed actions that WindowDriver checks one by one. Input:
// the list up to the first 0 byte, then up to 100 actions, a byte each; the
// first also picks the training type and the game method.

#include "settings/preferences.h"
#include "tests/testsupport.h"
#include "tests/windowdriver.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 3;
    static const char *argv[] = {"fuzz_window", "-platform", "offscreen", nullptr};
    static QApplication application(argc, const_cast<char **>(argv));
    static TemporaryConfig config;
    const QByteArray input = QByteArray(reinterpret_cast<const char *>(data), int(size)) + '\0';
    const QByteArray actions = input.mid(input.indexOf('\0') + 1, 100);
    config.write("[General]\ntimeDelay=-5\ngameType=" + QByteArray::number(actions.count() && actions.at(0) & 1)
                 + "\ngameMethod=" + (actions.count() && actions.at(0) & 2 ? "2\n" : "1\n"));
    QFile list(config.dir.filePath("list"));
    if (!list.open(QFile::WriteOnly) || list.write(input.left(input.indexOf('\0'))) < 0 || !list.flush())
        qFatal("cannot write %s", qPrintable(list.fileName()));

    preferences prefs("Pondrel", "Skarvel");
    MovedClock clock;
    gameThreeWords window(&prefs, list.fileName(), clock);
    // Shown and active: the driver's keys reach it as a patient's do.
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window))
        qFatal("the window does not become active");
    WindowDriver driver(&window, prefs, list.fileName(), clock);
    for (const char action : actions) {
        if (const QString broken = driver.step(uchar(action)); !broken.isEmpty())
            qFatal("%s", qPrintable(broken));
    }
    return 0;
}
