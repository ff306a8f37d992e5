// libFuzzer target for the training window: a fresh gameThreeWords over a
// fuzzed word-group document in a headless application, driven by a few
// fuzzed actions (clicks, "Weiter", the delay, type and group choice, the
// settings the dialog relays), with WindowModel checking after every step
// what a patient would see. A broken invariant aborts like a crash.
//
// Input: when it holds a 0 byte, the bytes before the first one are the
// script and the rest is the document; otherwise all of it is the document
// and a fixed script runs. The script's first byte picks the settings, each
// further byte one action.

#include "fuzzdocument.h"
#include "settings/preferences.h"
#include "tests/windowmodel.h"
#include "window/gamethreewords.h"

#include <QApplication>
#include <QByteArray>
#include <QComboBox>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSettings>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

std::string documentPath;
QString configDir;

// Settings byte: bits 0-2 the type, bits 3 and 7 the method, bits 4-6 the
// font size; the stored values the dialog can never produce are among them.
const int typeChoices[8] = {1, 0, 1, 0, 1, 0, 2, -1};
const int methodChoices[4] = {1, 2, 99, 0};
const int fontSizes[8] = {14, 9, 20, 32, 1, 12, 48, 100};

// Covers every action once, for inputs without a script of their own.
const unsigned char defaultScript[] = {0x00, 0, 1, 2, 3, 11, 0, 1, 2, 3, 5, 6, 18, 30,
                                       0, 1, 2, 9, 7, 10, 4, 11, 4, 8, 5, 42, 6, 3};

// Every setting is written afresh, so no input sees what the one before it
// left in the file. Written directly rather than through the store's slots,
// each of which would save the file to disk at once.
bool writeSettings(int type, int method, int fontSize)
{
    QFile file(configDir + QStringLiteral("/Pondrel/Skarvel.conf"));
    if (!QDir().mkpath(configDir + QStringLiteral("/Pondrel"))
        || !file.open(QFile::WriteOnly | QFile::Truncate))
        return false;
    const QByteArray text =
        QStringLiteral("[General]\ngameMethod=%1\ngameType=%2\ntimeDelay=0\nfontSize=%3\n")
            .arg(method).arg(type).arg(fontSize).toUtf8();
    if (file.write(text) != text.size() || !file.flush())
        return false;
    // QSettings keeps parsed files and trusts size and modification time to
    // tell a changed file: every input's file gets a time of its own.
    static qint64 sequence = 0;
    return file.setFileTime(QDateTime::fromSecsSinceEpoch(1000000000 + ++sequence, Qt::UTC),
                            QFileDevice::FileModificationTime);
}

void cleanUp()
{
    std::remove(documentPath.c_str());
    if (!configDir.isEmpty())
        QDir(configDir).removeRecursively();
}

// A click and a key as the window system delivers them. QTest's helpers are
// no use here: they count every click into one int timestamp, which a long
// fuzzing run overflows.
void click(QWidget *widget)
{
    const QPoint centre = widget->rect().center();
    const QPoint global = widget->mapToGlobal(centre);
    QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

void pressKey(QWidget *widget, Qt::Key key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

void require(const QString &broken, const char *step)
{
    if (broken.isEmpty())
        return;
    std::fprintf(stderr, "invariant broken after %s: %s\n", step, qUtf8Printable(broken));
    std::abort();
}

class Driver
{
public:
    Driver(gameThreeWords &window, preferences &prefs, WindowModel &model)
        : m_window(window)
        , m_prefs(prefs)
        , m_model(model)
        , m_more(window.findChild<QPushButton *>(QStringLiteral("moreButton")))
        , m_judge(window.findChild<QLabel *>(QStringLiteral("judgeLabel")))
        , m_types(window.findChild<QComboBox *>(QStringLiteral("comboBox_typ")))
        , m_groups(window.findChild<QComboBox *>(QStringLiteral("comboBox_wordGroup")))
    {
        m_buttons[0] = window.findChild<QPushButton *>(QStringLiteral("leftButton"));
        m_buttons[1] = window.findChild<QPushButton *>(QStringLiteral("middleButton"));
        m_buttons[2] = window.findChild<QPushButton *>(QStringLiteral("rightButton"));
    }

    void act(unsigned char byte)
    {
        const int argument = byte / 12;
        switch (byte % 12) {
        case 0:
        case 1:
        case 2:
            click(m_buttons[byte % 12]);
            break;
        case 3:
            weiter();
            break;
        case 4:
            events();
            break;
        case 5:
            typeKey(argument % 2 ? Qt::Key_Up : Qt::Key_Down);
            break;
        case 6: {
            static const Qt::Key keys[] = {Qt::Key_Down, Qt::Key_Up, Qt::Key_Home, Qt::Key_End};
            groupKey(keys[argument % 4]);
            break;
        }
        case 7:
            method(m_model.method() == 2 ? 1 : 2);
            break;
        case 8:
            font(fontSizes[argument % 8]);
            break;
        case 9:
            settingsClosed();
            break;
        case 10:
            click(buttonShowing(true));
            click(buttonShowing(true));
            break;
        default:
            click(buttonShowing(false));
            break;
        }
        require(m_model.check(), "an action");
    }

    // Every button once, then on to the next item: judging, whatever the
    // actions before left on show.
    void finish()
    {
        for (QPushButton *button : m_buttons) {
            click(button);
            require(m_model.check(), "a final click");
        }
        weiter();
        require(m_model.check(), "the final next item");
    }

private:
    QPushButton *buttonShowing(bool right)
    {
        for (QPushButton *button : m_buttons) {
            if ((button->text() == m_model.rightWord()) == right)
                return button;
        }
        return nullptr;
    }

    void click(QPushButton *button)
    {
        if (!button)
            return;
        const QString word = button->text();
        ::click(button);
        m_model.clicked(word);
    }

    // "Weiter" where it is shown; in game method 2 the patient waits.
    void weiter()
    {
        if (m_more->isHidden()) {
            events();
            return;
        }
        ::click(m_more);
        m_model.nextItemCounted();
    }

    // The event loop runs; a pending delay (0 ms here) brings its item.
    void events()
    {
        if (!m_model.delayPending()) {
            QCoreApplication::processEvents();
            return;
        }
        QDeadlineTimer deadline(5000);
        while (!m_judge->text().isEmpty() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (!m_judge->text().isEmpty())
            require(QStringLiteral("the delay brought no next item"), "waiting for the delay");
        m_model.nextItemCounted();
    }

    void typeKey(Qt::Key key)
    {
        const int current = m_types->currentIndex();
        const int target = key == Qt::Key_Down ? current + 1 : current - 1;
        pressKey(m_types, key);
        if (target >= 0 && target < m_types->count()) {
            if (m_types->currentIndex() != target)
                require(QStringLiteral("type list did not move"), "a type key");
            m_model.typeChanged(target);
        }
    }

    void groupKey(Qt::Key key)
    {
        const int current = m_groups->currentIndex();
        const int count = m_groups->count();
        int target = current;
        if (key == Qt::Key_Down)
            target = current + 1;
        else if (key == Qt::Key_Up)
            target = current - 1;
        else if (key == Qt::Key_Home)
            target = 0;
        else
            target = count - 1;
        pressKey(m_groups, key);
        if (target >= 0 && target < count && target != current) {
            if (m_groups->currentIndex() != target)
                require(QStringLiteral("group list did not move"), "a group key");
            m_model.groupActivated(target);
        }
    }

    // The window's slots as the settings dialog reaches them.
    void invoke(const char *slot, QGenericArgument argument = QGenericArgument())
    {
        if (!QMetaObject::invokeMethod(&m_window, slot, argument))
            require(QStringLiteral("the window has no slot %1").arg(QLatin1String(slot)), slot);
    }

    // What the settings dialog relays, and what its closing does.
    void method(int value)
    {
        if (value == 2) {
            m_prefs.setGameMethod_2();
            invoke("hideMoreButton");
        } else {
            m_prefs.setGameMethod_1();
            invoke("showMoreButton");
        }
        m_model.methodChanged(value);
    }

    void font(int size)
    {
        m_prefs.setFontSize(size);
        invoke("setFontSizeAll", Q_ARG(int, size));
        m_model.fontChanged(size);
    }

    void settingsClosed()
    {
        invoke("defineButtons", Q_ARG(bool, false));
        m_model.itemReplaced();
    }

    gameThreeWords &m_window;
    preferences &m_prefs;
    WindowModel &m_model;
    QPushButton *m_buttons[3];
    QPushButton *m_more;
    QLabel *m_judge;
    QComboBox *m_types;
    QComboBox *m_groups;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    const char *tmp = std::getenv("TMPDIR");
    const std::string base = std::string(tmp && *tmp ? tmp : "/tmp") + "/skarvel-fuzz-window-"
                             + std::to_string(::getpid());
    documentPath = base + ".dat";
    configDir = QString::fromLocal8Bit((base + "-config").c_str());
    QDir().mkpath(configDir);
    std::atexit(cleanUp);

    // Headless, and never the developer's own settings; Qt's runtime
    // directory goes with the rest rather than into the temporary directory.
    const QString runtimeDir = configDir + QStringLiteral("/runtime");
    QDir().mkpath(runtimeDir);
    QFile::setPermissions(runtimeDir, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                          | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configDir));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, configDir);

    static int argc = 1;
    static char name[] = "fuzz_window";
    static char *argv[] = {name, nullptr};
    new QApplication(argc, argv); // lives until the process ends
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const uint8_t *separator = static_cast<const uint8_t *>(std::memchr(data, 0, size));
    const unsigned char *script = defaultScript;
    size_t scriptSize = sizeof defaultScript;
    const uint8_t *document = data;
    size_t documentSize = size;
    if (separator) {
        script = data;
        scriptSize = size_t(separator - data);
        document = separator + 1;
        documentSize = size - scriptSize - 1;
    }
    if (!writeFuzzDocument(documentPath, document, documentSize))
        std::abort();

    const unsigned char settingsByte = scriptSize > 0 ? script[0] : 0;
    const int method = methodChoices[((settingsByte >> 3) & 1) | ((settingsByte >> 6) & 2)];
    if (!writeSettings(typeChoices[settingsByte & 7], method, fontSizes[(settingsByte >> 4) & 7]))
        std::abort();
    preferences prefs(QStringLiteral("Pondrel"), QStringLiteral("Skarvel"));

    {
        gameThreeWords window(&prefs, QString::fromLocal8Bit(documentPath.c_str()));
        WindowModel model(&window, &prefs);
        require(model.check(), "construction");
        Driver driver(window, prefs, model);
        const size_t actions = scriptSize > 1 ? qMin<size_t>(scriptSize - 1, 256) : 0;
        for (size_t i = 0; i < actions; ++i)
            driver.act(script[1 + i]);
        driver.finish();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
