#ifndef HOMEWORKSESSION_H
#define HOMEWORKSESSION_H

#include "homework/homeworkfile.h"
#include "records/recordstore.h"
#include "records/trainingrecorder.h"

#include <QObject>
#include <QTemporaryDir>

#include <memory>

// Practice at home from a homework file: every answer goes into that file,
// one commit each, as the records take it; the computer's own records are
// never opened. The file's list and pictures are laid out for the window in
// a private temporary folder for this run.
class homeworkSession : public QObject
{
    Q_OBJECT

public:
    homeworkSession(const QString &path, const homeworkInfo &info, QObject *parent = nullptr);

    // Empty when the file is open to train into, else why not.
    QString open();
    const homeworkInfo &info() const;
    trainingRecorder &recorder();
    recordStore &store();
    // The own list as a file, its pictures in "Bilder" beside it; empty
    // for the bundled list or when it cannot be laid out.
    QString listPath();

    // "Diese Woche: 45 von 100 Minuten, 3 von 5 Tagen", the week Monday
    // to Sunday around today; a day counts once anything was answered.
    QString weekProgress(const QDate &today);
    // What was practised on that day so far.
    struct dayDone
    {
        qint64 ms = 0;
        int words = 0;
        int firstRight = 0;
    };
    dayDone done(const QDate &day);
    // The "Falschwörter" entries of the homework's list due for review that
    // day, by the practice's schedule carried in the file and the answers
    // given at home since.
    QStringList dueEntries(const QDate &today);
    // Said instead of the week's progress before the period begins and once
    // it is over (the patient may practise on); empty within it.
    QString periodLine(const QDate &today) const;

public slots:
    // The window's training, recorded under the practice's name of the
    // list, so that its words are the practice's words again when they
    // come back.
    void trainingChosen(int gameType, const QString &group);

private:
    homeworkInfo m_info;
    recordStore m_store;
    trainingRecorder m_recorder;
    qint64 patientId = 0;
    std::unique_ptr<QTemporaryDir> listFolder;
};

#endif // HOMEWORKSESSION_H
