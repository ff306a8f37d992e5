#ifndef COMMANDLINE_H
#define COMMANDLINE_H

#include <QString>
#include <QStringList>

// What the command line asks for, beside the options Qt itself takes.
struct StartOptions
{
    QString wordList; // --words FILE
    QString patient;  // --patient NAME
};

// Reads the arguments (the program's name first). Returns -1 to go on, or
// the exit code once it has answered --help or --version (0), or printed
// the usage for an argument it does not know (2).
int readCommandLine(const QStringList &arguments, StartOptions &options);

// Whether the arguments only ask for text (--help, --version), which needs
// no display.
bool asksForTextOnly(int argc, char *argv[]);

#endif // COMMANDLINE_H
