// How soon a new item's picture is on screen, and what the pictures cost in
// memory: from a click on "Weiter" until the picture is painted, for ITEMS
// items that have one, then the peak memory of the process. "Nur Schrift"
// (0) runs the same items without pictures, as the baseline; "photos" trains
// on an own list whose pictures are 1024 x 768 JPEGs.
//   xvfb-run -a build/bench/bench_pictures 1 500        (bundled SVGs)
//   xvfb-run -a build/bench/bench_pictures 1 500 photos
//   xvfb-run -a build/bench/bench_pictures 0 500

#include "settings/preferences.h"
#include "window/gamethreewords.h"

#include "../tests/testsupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <cstdio>

namespace {

long peakKib()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QFile::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// Thirty words, each with a photo-sized JPEG of its own.
QString writePhotoList(const QString &folder)
{
    QDir(folder).mkdir(QStringLiteral("Bilder"));
    QByteArray list = "#Fotos\n";
    for (int k = 0; k < 30; ++k) {
        const QString word = QStringLiteral("Wort%1").arg(QChar('A' + k % 26)) + QString::number(k);
        list += word.toUtf8() + ";X" + word.toUtf8() + ";Y" + word.toUtf8() + '\n';
        QImage photo(1024, 768, QImage::Format_RGB32);
        QPainter painter(&photo);
        QLinearGradient gradient(0, 0, 1024, 768);
        gradient.setColorAt(0, QColor::fromHsv(k * 12, 200, 220));
        gradient.setColorAt(1, QColor::fromHsv((k * 12 + 90) % 360, 120, 90));
        painter.fillRect(photo.rect(), gradient);
        painter.setBrush(Qt::white);
        painter.drawEllipse(200 + k * 10, 150, 400, 400);
        painter.end();
        photo.save(QDir(folder).filePath(QStringLiteral("Bilder/%1.jpg").arg(word)), "JPEG", 85);
    }
    const QString path = QDir(folder).filePath(QStringLiteral("Fotos.txt"));
    QFile file(path);
    file.open(QFile::WriteOnly);
    file.write(list);
    return path;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int presentation = argc > 1 ? QByteArray(argv[1]).toInt() : 1;
    const int items = argc > 2 ? qMax(1, QByteArray(argv[2]).toInt()) : 500;
    const bool photos = argc > 3 && QByteArray(argv[3]) == "photos";
    TemporaryConfig config;
    config.write("[General]\ngameType=0\nwordGroup=Alle\npresentation=" + QByteArray::number(presentation) + '\n');
    MovedClock clock;
    QElapsedTimer built;
    built.start();
    preferences prefs(QStringLiteral("Pondrel"), QStringLiteral("Skarvel"));
    gameThreeWords window(&prefs, threeWords::bundledDocument, clock);
    std::printf("window built in %.1f ms\n", built.nsecsElapsed() / 1e6);
    if (photos) {
        const QString list = writePhotoList(config.dir.path());
        QStringList names;
        QList<QStringList> entries;
        threeWords::readWordGroups(list, names, entries);
        window.setWordGroups(names, entries, list);
    }
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;

    auto *more = window.findChild<QPushButton *>(QStringLiteral("moreButton"));
    auto *picture = window.findChild<QWidget *>(QStringLiteral("pictureView"));
    QList<qint64> times;
    // The first twenty warm the caches up; they do not count.
    for (int shown = 0; times.size() < items;) {
        clock.advance(700);
        QElapsedTimer elapsed;
        elapsed.start();
        more->click();
        // The whole window painted and handed to the screen before repaint()
        // returns: the words with the picture.
        window.repaint();
        const qint64 took = elapsed.nsecsElapsed();
        const bool counts = presentation == 0 || !picture->accessibleName().isEmpty();
        if (counts && ++shown > 20)
            times.append(took);
        QCoreApplication::processEvents();
    }
    std::sort(times.begin(), times.end());
    std::printf("presentation %d%s, %d items: new item to picture on screen median %.2f ms, min %.2f ms, "
                "max %.2f ms; peak memory %.1f MiB\n",
                presentation, photos ? " (photos)" : "", items, times.at(times.size() / 2) / 1e6, times.first() / 1e6,
                times.last() / 1e6, peakKib() / 1024.0);
    return 0;
}
