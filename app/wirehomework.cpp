#include "app/capabilities.h"

#include "app/commandline.h"
#include "homework/homeworkactions.h"
#include "homework/homeworkfile.h"
#include "homework/homeworksession.h"
#include "records/patientrecords.h"
#include "records/sessiongoal.h"
#include "settings/preferences.h"
#include "window/gamethreewords.h"
#include "words/wordlist.h"

#include <QDate>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

int runHomeworkCommand(const StartOptions &options, QString *answer)
{
    if (options.homeworkOut.isEmpty() && options.importFile.isEmpty())
        return -1;
    recordStore store;
    const bool opened = store.open(!options.homeworkOut.isEmpty());
    QString message;
    if (!options.importFile.isEmpty()) {
        const int added = homeworkFile::import(options.importFile, store, &message);
        *answer = added < 0 ? message + QLatin1Char('\n')
                            : QCoreApplication::translate("homework", "%1 übernommen.\n").arg(homeworkFile::newAnswers(added));
        return added < 0 ? 1 : 0;
    }
    QString problem;
    const QString name = recordStore::cleanName(options.patient, &problem);
    qint64 patientId = opened && problem.isEmpty() ? store.patientId(name) : 0;
    // As --patient does: a patient not there yet is made.
    if (opened && problem.isEmpty() && !patientId)
        patientId = store.addPatient(name);
    const preferences prefs(QStringLiteral("Pondrel"), QStringLiteral("Skarvel"));
    homeworkInfo homework = homeworkFile::defaults(prefs, QDate::currentDate());
    if (patientId)
        problem = homeworkFile::takeList(options.wordList, &homework);
    if (patientId && problem.isEmpty())
        problem = homeworkFile::write(options.homeworkOut, store, patientId, homework);
    else if (problem.isEmpty())
        problem = store.takeNotice();
    *answer = problem.isEmpty() ? QString() : problem + QLatin1Char('\n');
    return problem.isEmpty() ? 0 : 1;
}

int chooseHomework(const QString &path, homeworkInfo *homework)
{
    const QString problem = homeworkFile::read(path, homework);
    if (!problem.isEmpty()) {
        QMessageBox::warning(nullptr, QStringLiteral("Skarvel"), problem);
        return 1;
    }
    if (!homeworkFile::madeFrom(*homework, recordStore::defaultFileName()))
        return -1;
    // Opened where it was made: brought back, most likely.
    QMessageBox box(QMessageBox::Question, QStringLiteral("Skarvel"),
                    QCoreApplication::translate("homework", "„%1“ ist eine Hausaufgabe aus diesen Aufzeichnungen. "
                                                            "Ihre Ergebnisse übernehmen oder hier üben?").arg(path));
    QPushButton *take = box.addButton(QCoreApplication::translate("homework", "Ergebnisse übernehmen"),
                                      QMessageBox::AcceptRole);
    box.addButton(QCoreApplication::translate("homework", "Hier üben"), QMessageBox::RejectRole);
    box.setDefaultButton(take);
    box.exec();
    return box.clickedButton() == take ? 0 : -1;
}

void wireHomeworkInPractice(gameThreeWords &window, preferences &prefs, const QString &returned)
{
    auto *records = window.findChild<patientRecords *>();
    if (!records)
        return;
    auto *actions = new homeworkActions(*records, prefs, &window);
    if (!returned.isEmpty())
        QTimer::singleShot(0, actions, [actions, returned] { actions->importFile(returned); });
}

bool wireHomework(gameThreeWords &window, preferences &prefs, const QString &path, const homeworkInfo &homework)
{
    auto *session = new homeworkSession(path, homework, &window);
    const QString problem = session->open();
    if (!problem.isEmpty()) {
        QMessageBox::warning(nullptr, QStringLiteral("Skarvel"), problem);
        return false;
    }
    const QString title = window.windowTitle();
    window.setWindowTitle(title + QStringLiteral(" – ")
                          + (homework.displayName.isEmpty() ? homeworkFile::placeholderName : homework.displayName));
    if (!homework.listText.isEmpty()) {
        const wordList list = wordList::check(homework.listText);
        window.setWordGroups(list.names(), list.entryLines(), session->listPath());
    }
    // The settings dialog stays out of reach rather than open with every
    // control greyed: the patient sees at once there is nothing to change.
    window.setSettingsLocked(!homework.settingsFree);

    trainingRecorder *recorder = &session->recorder();
    QObject::connect(&window, &gameThreeWords::itemShown, recorder, &trainingRecorder::itemShown);
    QObject::connect(&window, &gameThreeWords::answerJudged, recorder, &trainingRecorder::answerJudged);
    QObject::connect(&window, &gameThreeWords::itemCounted, recorder, &trainingRecorder::itemCounted);
    QObject::connect(&window, &gameThreeWords::itemReplaced, recorder, &trainingRecorder::itemReplaced);
    QObject::connect(&window, &gameThreeWords::closing, recorder, &trainingRecorder::closing);
    QObject::connect(&window, &gameThreeWords::trainingChosen, session, &homeworkSession::trainingChosen);
    QObject::connect(&prefs, &preferences::presentationChanged, recorder, &trainingRecorder::setPresentation);
    QObject::connect(recorder, &trainingRecorder::writeFailed, &window, &gameThreeWords::tellOnce);

    auto *progress = new QLabel(&window);
    progress->setObjectName(QStringLiteral("label_weekProgress"));
    progress->setFont(window.font());
    // The period's line is longer than a small screen is wide.
    progress->setWordWrap(true);
    window.statusBar()->addPermanentWidget(progress, 1);
    const auto showProgress = [session, progress] {
        const QString period = session->periodLine(QDate::currentDate());
        progress->setText(period.isEmpty() ? session->weekProgress(QDate::currentDate()) : period);
    };
    showProgress();
    QObject::connect(recorder, &trainingRecorder::answerRecorded, progress, showProgress);

    // Missed words come back at home as they would in the practice, under
    // "Falschwörter" after "Alle"; not renewed while they are trained, or
    // the group would start its cycle again.
    const auto offerReview = [&window, session, recorder] {
        if (recorder->group() != patientRecords::practiceGroup)
            window.setPracticeGroup(patientRecords::practiceGroup, session->dueEntries(QDate::currentDate()));
    };
    offerReview();
    QObject::connect(recorder, &trainingRecorder::answerRecorded, &window, offerReview);

    // The day's goal, counted with what was done earlier today.
    auto *goal = new sessionGoal(prefs, window.training().clock(), &window);
    goal->setGoal(homework.minutesPerDay, 0);
    const homeworkSession::dayDone today = session->done(QDate::currentDate());
    goal->setEarlier(today.ms, today.words, today.firstRight);
    QObject::connect(&window, &gameThreeWords::itemShown, goal, &sessionGoal::itemShown);
    QObject::connect(&window, &gameThreeWords::answerJudged, goal, &sessionGoal::answerJudged);
    QObject::connect(&window, &gameThreeWords::itemCounted, goal, &sessionGoal::itemCounted);
    QObject::connect(&window, &gameThreeWords::trainingChosen, goal, &sessionGoal::trainingChosen);
    QObject::connect(goal, &sessionGoal::summaryClosed, recorder, &trainingRecorder::restartClock);
    QObject::connect(goal, &sessionGoal::stopRequested, &window, &gameThreeWords::close);

    // The item on show was announced before anyone listened.
    session->trainingChosen(prefs.gameType(), window.actualGroup());
    recorder->setPresentation(prefs.presentation());
    recorder->itemShown(window.shownWords(), prefs.gameType(), window.shownRightWord());
    goal->trainingChosen(prefs.gameType(), window.actualGroup());
    goal->itemShown(window.shownWords(), prefs.gameType(), window.shownRightWord());
    return true;
}
