#include "app/capabilities.h"
#include "app/commandline.h"
#include "app/startup.h"
#include "homework/homeworkfile.h"
#include "records/recordstore.h"
#include "settings/passwordkeeper.h"
#include "settings/preferences.h"
#include "window/gamethreewords.h"
#include "words/qtcompat.h"

#include <QApplication>
#include <QIcon>
#include <QString>

#include <memory>

int main(int argc, char *argv[])
{
    StartOptions options;
    QString answer;
    if (asksForTextOnly(argc, argv)) {
        const auto answering = answeringApplication(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("skarvel"));
        int exitCode = readCommandLine(QCoreApplication::arguments(), options, &answer);
        if (exitCode < 0 && !options.setupServer.isEmpty())
            exitCode = setUpServer(options.setupServer, &answer);
        if (exitCode < 0)
            exitCode = runHomeworkCommand(options, &answer);
        showAnswer(answer, exitCode != 0);
        return exitCode;
    }

    QtCompat::enableHighDpi();
    QApplication app(argc, argv);
    // The records and own word lists live in the folder of this name
    // (~/.local/share/skarvel, %APPDATA%\skarvel) whatever the program file
    // is called; without it the folder would follow a renamed program.
    QCoreApplication::setApplicationName(QStringLiteral("skarvel"));
    // Wayland matches the window to its desktop entry by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("de.pondrel.Skarvel"));
    // Read after Qt has taken its own options (-style and the like).
    const int exitCode = readCommandLine(QApplication::arguments(), options, &answer);
    if (exitCode >= 0) {
        showAnswer(answer, exitCode != 0);
        return exitCode;
    }
    applyTrainerStyle();
    installQtTranslations();
    app.setWindowIcon(trainerIcon());

    // Used for the settings only: the application-wide names stay unset.
    const QString organisation = QStringLiteral("Pondrel");
    const QString application = QStringLiteral("Skarvel");

    // A homework is practised with its own settings, for this run only,
    // into its own file; unless it was made from these records and comes
    // back with its results.
    homeworkInfo homework;
    const int homeworkChoice = options.homework.isEmpty() ? 0 : chooseHomework(options.homework, &homework);
    if (homeworkChoice > 0)
        return homeworkChoice;
    const bool atHome = homeworkChoice < 0;

    // The store outlives the window, which keeps a pointer to it; settings
    // are written as they change, so nothing is saved on the way out.
    const auto prefs = atHome ? std::make_unique<preferences>(organisation, application, homework.settings)
                              : std::make_unique<preferences>(organisation, application);
    gameThreeWords window(prefs.get());
    tellProblemsInWindow(window, *prefs);
    if (atHome) {
        if (!wireHomework(window, *prefs, options.homework, homework))
            return 1;
    } else {
        wireWordLists(window, *prefs, options);
        // One for the run: a password read or typed once is known to all.
        auto *keeper = new passwordKeeper(&window);
        wireRecords(window, *prefs, options, keeper);
        wireHomeworkInPractice(window, *prefs, options.homework);
        wireRecordsLocation(window, *prefs, *keeper, recordStore::defaultFileName());
    }
    wireSpeech(window, *prefs);
    window.show();
    return app.exec();
}
