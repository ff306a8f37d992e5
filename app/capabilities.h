#ifndef CAPABILITIES_H
#define CAPABILITIES_H

// The capabilities beside the training, each wired by one function: it makes
// its objects as children of the window (so they go before the settings
// store), puts its menu into the window's menu bar and connects to what the
// window announces. With nothing chosen or switched on, none of them changes
// what the window does or writes anything.

class QString;
class gameThreeWords;
class passwordKeeper;
class preferences;
struct StartOptions;
struct homeworkInfo;

// Own word lists: the menu "Wortliste", --words and the key "wordList".
void wireWordLists(gameThreeWords &window, preferences &prefs, const StartOptions &options);
// Patients and their records: the menu "Patient", --patient and the key "patient".
void wireRecords(gameThreeWords &window, preferences &prefs, const StartOptions &options,
                 passwordKeeper *keeper = nullptr);
// Where the records are kept: the page "Datenablage" of the settings dialog,
// the keys under "records/" and the server's password in keeper. Switching
// from this computer's records file to the server offers to move the file's
// patients there.
void wireRecordsLocation(gameThreeWords &window, preferences &prefs, passwordKeeper &keeper, const QString &file);
// Spoken words: the group "Vorlesen" of the settings dialog and the key "speakWords",
// and the right word heard when the presentation listens ("Hören").
void wireSpeech(gameThreeWords &window, preferences &prefs);

// Homework in the practice: "Hausaufgabe erstellen…" and "Ergebnisse
// übernehmen…" in the menu "Patient" (after wireRecords); returned: a file
// to take the results of once the window runs.
void wireHomeworkInPractice(gameThreeWords &window, preferences &prefs, const QString &returned);
// Practice at home from the homework file at path, instead of the records
// and own lists: false when it cannot be trained into (told in a message).
bool wireHomework(gameThreeWords &window, preferences &prefs, const QString &path, const homeworkInfo &homework);
// --homework-out and --import: the exit code with the line for the user in
// *answer, or -1 when neither is asked for.
int runHomeworkCommand(const StartOptions &options, QString *answer);
// A homework file named on the command line: -1 to practise it, 0 to take
// its results into these records (it was made here), 1 when it cannot be
// opened (told in a message).
int chooseHomework(const QString &path, homeworkInfo *homework);

#endif // CAPABILITIES_H
