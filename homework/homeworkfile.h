#ifndef HOMEWORKFILE_H
#define HOMEWORKFILE_H

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariantMap>

class basePreferences;
class recordStore;

// What a homework file tells the home: for whom and from which records it
// was made, the goal, the settings and the word list.
struct homeworkInfo
{
    QString assignmentUid; // the practice's assignmentRecord
    QString recordsUid;    // the practice's records
    QString patientUid;
    QString displayName; // empty: the patient is not named anywhere in the file
    QDateTime created;
    int minutesPerDay = 20;
    int daysPerWeek = 5;
    QDate starts;
    QDate ends;
    bool settingsFree = false; // the patient may change the settings
    QVariantMap settings;      // under the settings store's keys
    QString listName;          // the own list's path in the practice; empty: the bundled list
    QByteArray listText;       // the own list as its file has it
    QMap<QString, QByteArray> pictures; // its folder "Bilder", by file name
};

// A homework file (*.skarvel) is a records file of its own (recordStore
// opens it and trains into it, one commit per answer) holding one patient,
// under the practice's identity of that patient, and two tables of its own:
// homework_info (key, value) and homework_pictures (name, data). Coming
// back, it is merged into the practice's records by the identities of its
// trainings and answers, so that a file returned twice adds each answer
// once. Every message is German and names the file.
class homeworkFile
{
public:
    static const int formatVersion;
    // The settings a homework file carries.
    static const QStringList settingKeys;
    // The name in the file's patient row where no display name was given.
    static const QString placeholderName; // "Hausaufgabe"

    // A homework with the goal's defaults (20 minutes on 5 days, four
    // weeks from today) and the settings the practice trains with now.
    static homeworkInfo defaults(const basePreferences &prefs, const QDate &today);
    // The own list at path (a null path: the bundled list) taken into the
    // homework with its pictures. Empty when done, else why not.
    static QString takeList(const QString &path, homeworkInfo *info);

    // Writes the homework for that patient of the practice's records, whole
    // or not at all: it is made beside path, readable by its user alone,
    // and takes the name only when complete. Then the goal is kept in the
    // practice's records. Empty when done, else why not.
    static QString write(const QString &path, recordStore &practice, qint64 patientId, homeworkInfo &info);

    // Reads what the file tells; empty when it is a homework file this
    // Skarvel can use, else why not.
    static QString read(const QString &path, homeworkInfo *info);

    // Whether the records at recordsFile (left as they are, never made)
    // are those it was made from and hold its patient.
    static bool madeFrom(const homeworkInfo &info, const QString &recordsFile);

    // The answers of a returned file added to its patient in the
    // practice's records: the number new there, or -1 and why not in
    // *message. Nothing is merged in part. patientId: whom they went to.
    static int import(const QString &path, recordStore &practice, QString *message, qint64 *patientId = nullptr);
    // "1 neue Antwort", "5 neue Antworten"
    static QString newAnswers(int count);
};

#endif // HOMEWORKFILE_H
