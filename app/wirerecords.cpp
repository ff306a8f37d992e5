#include "app/capabilities.h"

#include "app/commandline.h"
#include "app/recordsserver.h"
#include "records/patientrecords.h"
#include "records/serveroutbox.h"
#include "records/sessiongoal.h"
#include "settings/passwordkeeper.h"
#include "settings/preferences.h"
#include "window/gamethreewords.h"

#include <QLabel>
#include <QStatusBar>


namespace {

// The window records into the outbox as into its own file; the line says
// where the answers are while the server is away.
void wireOutbox(gameThreeWords &window, patientRecords &records, serverOutbox &outbox)
{
    auto *line = new QLabel(serverOutbox::unreachableLine(), &window);
    line->setObjectName(QStringLiteral("label_serverUnreachable"));
    line->setWordWrap(true);
    line->hide();
    window.statusBar()->addWidget(line, 1);
    QObject::connect(&outbox, &serverOutbox::reachabilityChanged, line, [line](bool reached) {
        line->setVisible(!reached);
    });
    QObject::connect(&outbox, &serverOutbox::problem, &window, &gameThreeWords::tellOnce);
    QObject::connect(&records.recorder(), &trainingRecorder::answerRecorded, &outbox, &serverOutbox::sendNow);
    QObject::connect(&outbox, &serverOutbox::patientsChanged, &records, &patientRecords::patientsChanged);
    outbox.start();
}

} // namespace

void wireRecords(gameThreeWords &window, preferences &prefs, const StartOptions &options, passwordKeeper *keeper)
{
    const recordsServerChoice server = recordsServer(options, prefs);
    auto *records = server.url.isEmpty() ? new patientRecords(prefs, &window)
                                         : new patientRecords(prefs, &window, serverOutbox::fileNameFor(server.url));
    window.addCapabilityMenu(records->menu());

    trainingRecorder *recorder = &records->recorder();
    QObject::connect(&window, &gameThreeWords::itemShown, recorder, &trainingRecorder::itemShown);
    QObject::connect(&window, &gameThreeWords::answerJudged, recorder, &trainingRecorder::answerJudged);
    QObject::connect(&window, &gameThreeWords::itemCounted, recorder, &trainingRecorder::itemCounted);
    QObject::connect(&window, &gameThreeWords::itemReplaced, recorder, &trainingRecorder::itemReplaced);
    QObject::connect(&window, &gameThreeWords::closing, recorder, &trainingRecorder::closing);
    QObject::connect(&window, &gameThreeWords::trainingChosen, recorder, [&window, recorder](int type, const QString &group) {
        recorder->trainingChosen(type, group, window.wordListSource());
    });

    QObject::connect(&prefs, &preferences::presentationChanged, recorder, &trainingRecorder::setPresentation);

    const QString title = window.windowTitle();
    QObject::connect(records, &patientRecords::patientChanged, &window, [&window, title](const QString &name) {
        window.setWindowTitle(name.isEmpty() ? title : title + QStringLiteral(" – ") + name);
    });
    // A new patient, like a new type, starts a count of their own, as the
    // Verlauf starts a training.
    QObject::connect(records, &patientRecords::traineeChanged, &window, &gameThreeWords::startNewCount);
    QObject::connect(records, &patientRecords::practiceGroupChanged, &window, [&window](const QStringList &entries) {
        window.setPracticeGroup(patientRecords::practiceGroup, entries);
    });

    // A quiet line at the foot of the window, no message: the training goes on.
    auto *waiting = new QLabel(&window);
    waiting->setObjectName(QStringLiteral("label_recordsWaiting"));
    waiting->setWordWrap(true);
    waiting->hide();
    window.statusBar()->addWidget(waiting, 1);
    QObject::connect(records, &patientRecords::waitingLine, waiting, [waiting](const QString &line) {
        waiting->setText(line);
        waiting->setVisible(!line.isEmpty());
    });
    QObject::connect(records, &patientRecords::problem, &window, &gameThreeWords::tellOnce);
    // The outbox starts sending once the password is known; the answers
    // meanwhile wait in its file, as they do while the server is away.
    const auto startOutbox = [&window, records, server](const QString &password) {
        wireOutbox(window, *records, *new serverOutbox(server.url, password, QString(), &window));
    };
    if (!server.url.isEmpty() && (server.passwordKey.isEmpty() || !keeper)) {
        startOutbox(server.password);
    } else if (!server.url.isEmpty()) {
        keeper->read(server.passwordKey, &window,
                     [startOutbox](const QString &password, const QString &) { startOutbox(password); });
    }

    auto *goal = new sessionGoal(prefs, window.training().clock(), &window);
    records->menu()->addAction(goal->action());
    QObject::connect(&window, &gameThreeWords::itemShown, goal, &sessionGoal::itemShown);
    QObject::connect(&window, &gameThreeWords::answerJudged, goal, &sessionGoal::answerJudged);
    QObject::connect(&window, &gameThreeWords::itemCounted, goal, &sessionGoal::itemCounted);
    QObject::connect(&window, &gameThreeWords::trainingChosen, goal, &sessionGoal::trainingChosen);
    QObject::connect(records, &patientRecords::traineeChanged, goal, &sessionGoal::restart);
    // The item on show waited behind the dialog: its response time starts again.
    QObject::connect(goal, &sessionGoal::summaryClosed, recorder, &trainingRecorder::restartClock);
    QObject::connect(goal, &sessionGoal::stopRequested, &window, &gameThreeWords::close);
    goal->trainingChosen(prefs.gameType(), window.actualGroup());

    // The item on show was announced before anyone listened.
    recorder->trainingChosen(prefs.gameType(), window.actualGroup(), window.wordListSource());
    recorder->setPresentation(prefs.presentation());
    recorder->itemShown(window.shownWords(), prefs.gameType(), window.shownRightWord());
    goal->itemShown(window.shownWords(), prefs.gameType(), window.shownRightWord());
    records->startAfterPaint(options.patient);
}
