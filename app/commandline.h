#ifndef COMMANDLINE_H
#define COMMANDLINE_H

#include <QString>
#include <QStringList>

#include <memory>

class QCoreApplication;

// What the command line asks for, beside the options Qt itself takes.
struct StartOptions
{
    QString wordList; // --words FILE
    QString patient;  // --patient NAME
    QString homework{};    // FILE: a homework to practise, or to take the results of
    QString homeworkOut{}; // --homework-out FILE, with --patient
    QString importFile{};  // --import FILE
    QString setupServer{}; // --setup-server URL
    QString records{};     // --records URL: the practice server, for this run
};

// Reads the arguments (the program's name first). Returns -1 to go on, or
// the exit code once it has an answer for the user in *answer: the help or
// the version (0), or what is wrong followed by the help (2).
int readCommandLine(const QStringList &arguments, StartOptions &options, QString *answer);

// Whether the arguments only ask for text (--help, --version) or an action
// that ends with a line of text (--homework-out, --import, --setup-server),
// which needs no window where the answer goes to the terminal.
bool asksForTextOnly(int argc, char *argv[]);

// --setup-server: the practice server's tables and group role made as the
// URL's user, and in *answer the SQL the practice's IT runs per therapist
// (0), or why not (1).
int setUpServer(const QString &url, QString *answer);

// The application object for such an answer, and the answer itself: on the
// terminal, or in a message box where the program has no console (Windows).
std::unique_ptr<QCoreApplication> answeringApplication(int &argc, char *argv[]);
void showAnswer(const QString &answer, bool error);

#endif // COMMANDLINE_H
