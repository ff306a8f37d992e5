#include "app/capabilities.h"

#include "dialogs/datenablage.h"
#include "dialogs/einstellungen.h"
#include "records/recordstore.h"
#include "records/serverstore.h"
#include "settings/passwordkeeper.h"
#include "settings/preferences.h"
#include "settings/recordslocation.h"
#include "window/gamethreewords.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPointer>
#include <QThread>

#include <memory>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("Datenablage", text);
}

QString movedNote(int added, const QString &problem)
{
    if (added < 0)
        return problem;
    const QString kept = tr("Die Datei auf diesem Computer bleibt, wie sie ist.");
    if (added == 0)
        return tr("Die Patienten dieses Computers sind auf dem Praxisserver; neue Antworten waren nicht dabei. %1")
            .arg(kept);
    if (added == 1)
        return tr("Die Patienten dieses Computers sind auf dem Praxisserver, mit einer neuen Antwort. %1").arg(kept);
    return tr("Die Patienten dieses Computers sind auf dem Praxisserver, mit %1 neuen Antworten. %2")
        .arg(QString::number(added), kept);
}

// On a thread of its own: the server may be slow or away, and the window
// keeps answering meanwhile. The file is only read.
void movePatients(gameThreeWords &window, QPointer<datenablage> page, const QString &url, const QString &password,
                  const QString &file)
{
    struct outcome
    {
        int added = -1;
        QString problem;
    };
    auto result = std::make_shared<outcome>();
    QThread *worker = QThread::create([result, url, password, file] {
        serverStore server;
        result->added = server.open(url, password) ? server.importFile(file) : -1;
        result->problem = server.lastError();
    });
    page->setBusy(true);
    QObject::connect(worker, &QThread::finished, &window, [&window, page, worker, result] {
        worker->deleteLater();
        const QString note = movedNote(result->added, result->problem);
        if (!page)
            return window.tellOnce(note);
        page->setBusy(false);
        page->addNote(note);
    });
    worker->start();
}

// Once, when the records move from this computer to the server: the
// patients already in the file may come along.
void offerMove(gameThreeWords &window, datenablage *page, const QString &url, const QString &password,
               const QString &file)
{
    recordStore local(file);
    if (!local.open(false) || local.patients().isEmpty())
        return;
    QMessageBox question(QMessageBox::Question, tr("Datenablage"),
                         tr("Die Patienten dieses Computers auf den Praxisserver übernehmen?"),
                         QMessageBox::Yes | QMessageBox::No, page);
    question.setInformativeText(tr("Ihre Trainings und Antworten kommen zu denen auf dem Praxisserver hinzu; was "
                                   "dort schon ist, kommt nicht doppelt. Die Datei auf diesem Computer bleibt, wie "
                                   "sie ist."));
    question.setDefaultButton(QMessageBox::Yes);
    if (question.exec() == QMessageBox::Yes)
        movePatients(window, page, url, password, file);
}

void fillPage(gameThreeWords &window, preferences &prefs, passwordKeeper &keeper, const QString &file,
              einstellungen *dialog)
{
    auto *page = new datenablage;
    const recordsLocation location(prefs);
    const recordsLocation::server stored = location.stored();
    const QString storedKey = recordsLocation::passwordKey(stored);
    page->setChoice(location.onServer(), stored, !keeper.known(storedKey).isEmpty());
    dialog->addPage(page, tr("Datenablage"));
    // Whether the keychain holds one is learnt when it answers.
    if (location.onServer() && keeper.known(storedKey).isEmpty() && keeper.keepsAcrossRuns()) {
        keeper.read(storedKey, page, [page](const QString &password, const QString &) {
            if (!password.isEmpty())
                page->setPasswordKept(true);
        });
    }

    QObject::connect(page, &datenablage::applyRequested, page,
                     [&window, &prefs, &keeper, file, page](bool onServer, const recordsLocation::server &fields,
                                                           const QString &password) {
        recordsLocation location(prefs);
        const bool wasOnServer = location.onServer();
        recordsLocation::problem why;
        if (!location.store(onServer, fields, &why))
            return page->showProblem(why);
        if (!onServer)
            return page->applied(tr("Ab dem nächsten Start speichert Skarvel auf diesem Computer."));
        const QString key = recordsLocation::passwordKey(fields);
        const QString url = recordsLocation::url(fields);
        page->applied(tr("Ab dem nächsten Start speichert Skarvel auf dem Praxisserver „%1“.").arg(key));
        if (!password.isEmpty()) {
            keeper.write(key, password, page, [page](const QString &problem) {
                if (problem.isEmpty())
                    page->setPasswordKept(true);
                else
                    page->addNote(problem + QLatin1Char('.'));
            });
        }
        if (!wasOnServer)
            offerMove(window, page, url, password.isEmpty() ? keeper.known(key) : password, file);
    });
}

} // namespace

void wireRecordsLocation(gameThreeWords &window, preferences &prefs, passwordKeeper &keeper, const QString &file)
{
    QObject::connect(&window, &gameThreeWords::settingsOpened, &window,
                     [&window, &prefs, &keeper, file](einstellungen *dialog) {
                         fillPage(window, prefs, keeper, file, dialog);
                     });
}
