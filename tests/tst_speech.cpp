// Spoken words: the real window wired to the real speech engine, which talks
// to a speech-dispatcher of the test's own, and the keys of "Vorlesen".

#include "app/capabilities.h"
#include "privatespeech.h"
#include "speech/wordspeaker.h"
#include "windowdriver.h"

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
        startTrainer(config, "[General]\n" + settings, wireSpeech);
    }

private slots:
    // The window and its speaker first, then the daemon they talked to.
    void cleanupTestCase() { stopTrainer(), speech.reset(); }

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

    // Speech off: nothing of it exists, and starting writes nothing. The
    // dialog shows what is stored, damaged values as the defaults, leaves
    // them alone, and writes a change through at once.
    void settingsKeys()
    {
        QFETCH(QByteArray, settings);
        QFETCH(bool, change);
        QFETCH(int, rate);
        QFETCH(QByteArray, after);
        start(settings, noVoices);
        QVERIFY(!speaker());
        QCOMPARE(config.contents(), "[General]\n" + settings);
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

    void unavailable_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<bool>("inDialog"); // "Hören" chosen there
        QTest::newRow("Vorlesen") << QByteArray("speakWords=true\n") << false;
        QTest::newRow("Hören") << QByteArray("presentation=2\n") << false;
        QTest::newRow("Hören chosen") << QByteArray() << true;
    }

    // No voice, whatever turned speech on: one warning line and one message,
    // the group "Vorlesen" disabled with its reason, and the trainer silent
    // and working.
    void unavailable()
    {
        QFETCH(QByteArray, settings);
        QFETCH(bool, inDialog);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Wörter vorlesen: .+ \\(Paket .+\\)\\.$"));
        start(settings, noVoices);
        if (inDialog)
            driver->settings([](QWidget *dialog) {
                QTest::keyClick(dialog->findChild<QComboBox *>("comboBox_presentation"), Qt::Key_End);
            });
        QTRY_VERIFY_WITH_TIMEOUT(speaker() && speaker()->status() == wordSpeaker::Unavailable, 60000);
        QVERIFY(window->findChild<QToolButton *>()->isHidden());
        QTRY_COMPARE(told(speaker()->reason()), 1);
        for (QMessageBox *box : window->findChildren<QMessageBox *>())
            box->close();
        driver->settings([&](QWidget *dialog) {
            auto *note = dialog->findChild<QLabel *>("label_speechNote");
            QCOMPARE(note->text(), speaker()->reason());
            QVERIFY(note->isVisible() && note->width() >= note->sizeHint().width());
            QVERIFY(!dialog->findChild<QPushButton *>("pushButton_probe")->isEnabled());
            auto *on = dialog->findChild<QCheckBox *>("checkBox_speakWords");
            QTest::mouseClick(on, Qt::LeftButton, {}, QPoint(5, on->height() / 2));
        });
        // Once on, it can be switched off; off, it cannot be switched on.
        QCOMPARE(config.contents().contains("speakWords=false"), settings.contains("speakWords"));
        QVERIFY(!config.contents().contains("speakWords=true"));
        act("rn");
        QCOMPARE(counts(), "1 von 1  (100%)");
    }

    void speaks_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<bool>("three"); // the three words in button order, else the right one alone
        QTest::addColumn<QString>("action"); // 0: key 0; l: a word lingered on
        QTest::newRow("Falschwörter") << QByteArray("speakWords=true\ngameType=0\n") << false << "";
        QTest::newRow("gruppenfremd") << QByteArray("speakWords=true\n") << true << "";
        QTest::newRow("key 0") << QByteArray("speakWords=true\n") << true << "0";
        QTest::newRow("linger") << QByteArray("speakWords=true\n") << true << "l";
        QTest::newRow("no linger") << QByteArray("speakWords=true\ngameType=0\n") << false << "l";
        QTest::newRow("Hören") << QByteArray("presentation=2\n") << false << "0";
        QTest::newRow("Hören, vorlesen") << QByteArray("presentation=2\nspeakWords=true\n") << false << "0";
        QTest::newRow("Bild, Hören, Falschwörter") << QByteArray("presentation=3\ngameType=0\n") << false << "0";
    }

    // "Falschwörter" and "Hören": the right word alone, also where "Wörter
    // vorlesen" would read all three; "gruppenfremde Wörter": the three words
    // in button order, and a word lingered on. Each item anew and again on
    // key 0, each text going Speaking -> Ready.
    void speaks()
    {
        QFETCH(QByteArray, settings);
        QFETCH(bool, three);
        QFETCH(QString, action);
        start(settings);
        QSignalSpy speaking(speaker(), &wordSpeaker::speakingChanged);
        WAIT_FOR_ENGINE();
        QVERIFY(!window->findChild<QToolButton *>()->isHidden());
        // espeak-ng's plain voices only, by plain names, and none of its robots.
        QCOMPARE(speaker()->voices().first(), "Standard");
        for (const QString &voice : speaker()->voices())
            QVERIFY2(QRegularExpression("^(Standard|(Männlich|Weiblich) [1-4])$").match(voice).hasMatch(), qPrintable(voice));
        for (int item = 0; item < 2; ++item) {
            const QStringList words = window->shownWords();
            const QString expected = three ? words.join(". ") + '.' : driver->rightWord();
            QTRY_COMPARE(speaker()->text(), expected);
            QTRY_VERIFY(speaking.size() >= 2 && !speaker()->isSpeaking());
            speaker()->say("Pause"); // so that what follows shows
            if (action == "0")
                QTest::keyClick(window.get(), Qt::Key_0);
            else if (action == "l")
                emit window->wordLingered(words.at(2));
            QCOMPARE(speaker()->text(), action == "0" ? expected : action == "l" && three ? words.at(2) : "Pause");
            QTRY_VERIFY_WITH_TIMEOUT(!speaker()->isSpeaking(), 10000);
            speaking.clear();
            QCOMPARE(driver->act('n'), QString());
        }
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
        start("speakWords=true\ngameType=0\n");
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
        QCOMPARE(speaker()->text(), then == "long" ? text : then.isEmpty() ? driver->rightWord() : then);
        QTRY_VERIFY_WITH_TIMEOUT(!speaking.isEmpty() && !speaking.last().first().toBool(), 5000);
    }
};

QTEST_MAIN(tst_speech)
#include "tst_speech.moc"
