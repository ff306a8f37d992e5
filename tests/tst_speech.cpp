// Spoken words: the real window wired to the real speech engine, which talks
// to a speech-dispatcher of the test's own, and the keys of "Vorlesen".

#include "app/capabilities.h"
#include "privatespeech.h"
#include "settings/preferences.h"
#include "speech/wordspeaker.h"
#include "testsupport.h"
#include "windowdriver.h"

#include <QMessageBox>

#include <memory>

// Waits for the engine; skips, saying why, where it cannot start here.
#define WAIT_FOR_ENGINE()                                                                          \
    do {                                                                                           \
        if (!PrivateSpeech::installed())                                                           \
            QSKIP("speech-dispatcher is not installed");                                           \
        QTRY_VERIFY_WITH_TIMEOUT(speaker()->status() >= wordSpeaker::Ready, 60000);                \
        if (speaker()->status() != wordSpeaker::Ready)                                             \
            QSKIP(qPrintable("the engine cannot start: " + speaker()->reason()));                  \
    } while (false)

// For the sanitizer build: libspeechd reads speech-dispatcher's list of
// voices (espeak-ng's run to thousands) with one strstr per line, and ASan's
// check of each call walks the whole rest of the list, so the engine would
// take minutes to start.
extern "C" const char *__asan_default_options()
{
    return "intercept_strstr=0";
}

namespace {
// Only the dummy module: speech-dispatcher runs, but has nothing to speak with.
const QByteArray noVoices = "AudioOutputMethod \"libao\"\nAddModule \"dummy\" \"sd_dummy\" \"\"\n";
} // namespace

class tst_speech : public QObject, TrainerFixture
{
    Q_OBJECT
    TemporaryConfig config;
    std::unique_ptr<PrivateSpeech> speech;

    wordSpeaker *speaker() const { return window->findChild<wordSpeaker *>(); }
    void start(const QByteArray &settings, const QByteArray &conf = "AudioOutputMethod \"libao\"\n")
    {
        stopTrainer();
        speech.reset(new PrivateSpeech(conf));
        startTrainer(config, settings, wireSpeech);
    }
    QString rightWord() const { return window->actualItem().section(';', 0, 0); }

private slots:
    // Without "speakWords" nothing of speech exists, and nothing is written.
    void firstStart()
    {
        start(QByteArray());
        QVERIFY(!speaker());
        window.reset();
        prefs.reset();
        QVERIFY(config.contents().isNull());
    }

    void settingsKeys_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<bool>("change"); // turn speech on, rate 3
        QTest::addColumn<int>("rate");    // shown
        QTest::addColumn<QByteArray>("after"); // the lines of these keys
        QTest::newRow("absent") << QByteArray() << false << 0 << QByteArray();
        QTest::newRow("stored") << QByteArray("speakWords=false\nspeechRate=-3\n") << false << -3
                                << QByteArray("speakWords=false\nspeechRate=-3\n");
        const QByteArray damaged = "speakWords=ja\nspeechRate=9\nspeechVoice=@Invalid()\n";
        QTest::newRow("damaged") << damaged << false << 0 << damaged;
        QTest::newRow("not whole") << QByteArray("speechRate=2.5\n") << false << 0 << QByteArray("speechRate=2.5\n");
        QTest::newRow("changed") << QByteArray("speechRate=x\n") << true << 0 << QByteArray("speakWords=true\nspeechRate=3\n");
    }

    // The dialog shows what is stored, damaged values as the defaults,
    // leaves them alone, and writes a change through at once.
    void settingsKeys()
    {
        QFETCH(QByteArray, settings);
        QFETCH(bool, change);
        QFETCH(int, rate);
        QFETCH(QByteArray, after);
        start("[General]\n" + settings, noVoices);
        driver->settings([&](QWidget *dialog) {
            auto *on = dialog->findChild<QCheckBox *>("checkBox_speakWords");
            auto *slider = dialog->findChild<QSlider *>("slider_rate");
            QVERIFY(!on->isChecked());
            QCOMPARE(slider->value(), rate);
            if (change) {
                QTest::mouseClick(on, Qt::LeftButton, {}, QPoint(5, on->height() / 2));
                slider->setValue(3);
            }
        });
        QByteArray lines;
        for (const QByteArray &line : config.contents().split('\n'))
            lines += line.startsWith("spe") ? line + '\n' : QByteArray();
        QCOMPARE(lines, after);
    }

    // No voice: one warning line and one message, the group disabled with its
    // reason but for switching speech off, and the trainer silent and working.
    void unavailable()
    {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Wörter vorlesen: .+ \\(Paket .+\\)\\.$"));
        start("[General]\nspeakWords=true\n", noVoices);
        QTRY_COMPARE_WITH_TIMEOUT(speaker()->status(), wordSpeaker::Unavailable, 60000);
        QVERIFY(window->findChild<QToolButton *>()->isHidden());
        // Switched on before this start: the window says why it stays silent.
        QTRY_VERIFY(window->findChild<QMessageBox *>());
        QCOMPARE(window->findChild<QMessageBox *>()->text(), speaker()->reason());
        window->findChild<QMessageBox *>()->close();
        driver->settings([&](QWidget *dialog) {
            auto *note = dialog->findChild<QLabel *>("label_speechNote");
            QCOMPARE(note->text(), speaker()->reason());
            QVERIFY(note->isVisible() && note->width() >= note->sizeHint().width());
            QVERIFY(!dialog->findChild<QPushButton *>("pushButton_probe")->isEnabled());
            auto *on = dialog->findChild<QCheckBox *>("checkBox_speakWords");
            QTest::mouseClick(on, Qt::LeftButton, {}, QPoint(5, on->height() / 2));
        });
        QVERIFY(config.contents().contains("speakWords=false"));
        QCOMPARE(driver->act('r'), QString());
        QCOMPARE(driver->act('n'), QString());
    }

    void speaks_data()
    {
        QTest::addColumn<int>("gameType");
        QTest::addColumn<QString>("action"); // 0: key 0; l: a word lingered on
        QTest::newRow("Falschwörter") << 0 << "";
        QTest::newRow("gruppenfremd") << 1 << "";
        QTest::newRow("key 0") << 1 << "0";
        QTest::newRow("linger") << 1 << "l";
        QTest::newRow("no linger") << 0 << "l";
    }

    // "Falschwörter": the right word alone; "gruppenfremde Wörter": the three
    // words in button order, and a word lingered on. Each goes Speaking ->
    // Ready.
    void speaks()
    {
        QFETCH(int, gameType);
        QFETCH(QString, action);
        start("[General]\nspeakWords=true\ngameType=" + QByteArray::number(gameType) + '\n');
        QSignalSpy speaking(speaker(), &wordSpeaker::speakingChanged);
        WAIT_FOR_ENGINE();
        QVERIFY(!window->findChild<QToolButton *>()->isHidden());
        // espeak-ng's plain voices only, by plain names, and none of its robots.
        QCOMPARE(speaker()->voices().first(), "Standard");
        for (const QString &voice : speaker()->voices())
            QVERIFY2(QRegularExpression("^(Standard|(Männlich|Weiblich) [1-4])$").match(voice).hasMatch(), qPrintable(voice));
        const QStringList words = window->shownWords();
        QString expected = gameType == 0 ? rightWord() : words.join(". ") + '.';
        QTRY_COMPARE(speaker()->text(), expected);
        QTRY_VERIFY(speaking.size() >= 2 && !speaker()->isSpeaking());
        if (action == "0" || (action == "l" && gameType == 1))
            speaking.clear();
        if (action == "0")
            QTest::keyClick(window.get(), Qt::Key_0);
        if (action == "l") {
            emit window->wordLingered(words.at(2));
            expected = gameType == 1 ? words.at(2) : expected;
        }
        QCOMPARE(speaker()->text(), expected);
        QTRY_VERIFY(speaking.size() >= 2 && speaking.first().first().toBool());
        QTRY_VERIFY(!speaker()->isSpeaking());
    }

    void stops_data()
    {
        QTest::addColumn<char>("action"); // see WindowDriver::act; c: close; R: say at once
        QTest::addColumn<QString>("then");
        QTest::newRow("right") << 'r' << "Richtig";
        QTest::newRow("at once") << 'R' << "Richtig";
        QTest::newRow("wrong") << 'w' << "Falsch";
        QTest::newRow("next item") << 'n' << "";
        QTest::newRow("closing") << 'c' << "long";
    }

    // Speech never holds the training up: an answer, a new item or closing
    // the window cuts off a text that would go on for half a minute.
    void stops()
    {
        QFETCH(char, action);
        QFETCH(QString, then);
        start("[General]\nspeakWords=true\ngameType=0\n");
        QSignalSpy first(speaker(), &wordSpeaker::speakingChanged);
        WAIT_FOR_ENGINE();
        QTRY_VERIFY(first.size() >= 2 && !speaker()->isSpeaking()); // the item's word said
        const QString text = QString("Welches Wort ist richtig? Der Apfel fällt nicht weit vom Stamm. ").repeated(100);
        speaker()->say(text);
        if (action != 'R')
            QTRY_VERIFY(speaker()->isSpeaking());
        QSignalSpy speaking(speaker(), &wordSpeaker::speakingChanged);
        if (action == 'c')
            window->close();
        else if (action == 'R') // before the engine can have begun the text
            speaker()->say("Richtig");
        else
            QCOMPARE(driver->act(action), QString());
        QCOMPARE(speaker()->text(), then == "long" ? text : then.isEmpty() ? rightWord() : then);
        QTRY_VERIFY_WITH_TIMEOUT(!speaking.isEmpty() && !speaking.last().first().toBool(), 5000);
    }
};

QTEST_MAIN(tst_speech)
#include "tst_speech.moc"
