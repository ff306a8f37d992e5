#include "app/commandline.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QFontDatabase>
#include <QMessageBox>

#include <cstdio>
#include <cstring>

namespace {

struct OptionRow
{
    QString names;       // as the help shows them: "-h, --help"
    QString description;
};

// Written out here rather than taken from QCommandLineParser: its "Usage:"
// and "Options:" and the texts of its own --help and --version are English
// unless Qt's translations happen to be installed and loaded, and they are
// not yet loaded when the help is asked for.
QString helpText(const QString &program, const QList<OptionRow> &rows)
{
    int width = 0;
    for (const OptionRow &row : rows)
        width = qMax(width, int(row.names.size()));
    QString text = QCoreApplication::translate("commandLine", "Aufruf: %1 [Optionen] [DATEI]").arg(program)
                   + QStringLiteral("\n")
                   + QCoreApplication::translate("commandLine",
                                                 "Skarvel – Wort- und Rechtschreibtrainer für die Aphasietherapie")
                   + QStringLiteral("\n\n") + QCoreApplication::translate("commandLine", "Optionen:")
                   + QStringLiteral("\n");
    for (const OptionRow &row : rows)
        text += QStringLiteral("  %1  %2\n").arg(row.names.leftJustified(width), row.description);
    return text;
}

} // namespace

int readCommandLine(const QStringList &arguments, StartOptions &options, QString *answer)
{
    const QString file = QCoreApplication::translate("commandLine", "DATEI");
    const QString name = QCoreApplication::translate("commandLine", "NAME");
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("?"), QStringLiteral("help"),
                                              QStringLiteral("help-all")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption words(QStringLiteral("words"), QString(), file);
    const QCommandLineOption patient(QStringLiteral("patient"), QString(), name);
    const QCommandLineOption homeworkOut(QStringLiteral("homework-out"), QString(), file);
    const QCommandLineOption import(QStringLiteral("import"), QString(), file);
    QCommandLineParser parser;
    parser.addOptions({help, version, words, patient, homeworkOut, import});
    const QList<OptionRow> rows = {
        {QStringLiteral("-h, --help"), QCoreApplication::translate("commandLine", "Diese Hilfe zeigen.")},
        {QStringLiteral("-v, --version"), QCoreApplication::translate("commandLine", "Die Versionsnummer zeigen.")},
        {QStringLiteral("--words <%1>").arg(file),
         QCoreApplication::translate("commandLine", "Mit der eigenen Wortliste %1 üben.").arg(file)},
        {QStringLiteral("--patient <%1>").arg(name),
         QCoreApplication::translate("commandLine",
                                     "Für %1 üben; der Patient wird angelegt, wenn es ihn noch nicht gibt.")
             .arg(name)},
        {QStringLiteral("--homework-out <%1>").arg(file),
         QCoreApplication::translate("commandLine",
                                     "Mit --patient: eine Hausaufgabe (20 Minuten an 5 Tagen, vier Wochen) als %1 "
                                     "schreiben, mit --words aus dieser Wortliste, und enden.")
             .arg(file)},
        {QStringLiteral("--import <%1>").arg(file),
         QCoreApplication::translate("commandLine",
                                     "Die Ergebnisse der zurückgebrachten Hausaufgabe %1 übernehmen und enden.")
             .arg(file)},
        {file, QCoreApplication::translate("commandLine", "Die Hausaufgabe %1 üben (*.skarvel).").arg(file)},
    };
    const QString program = QFileInfo(arguments.value(0, QStringLiteral("skarvel"))).fileName();

    const QString needsName = QCoreApplication::translate("commandLine", "--patient braucht einen Namen.");
    const QString needsFile = QCoreApplication::translate("commandLine", "--words braucht eine Datei.");
    QString error;
    if (!parser.parse(arguments)) {
        // Qt's own wording is English. Its other error, a missing value, can
        // only be the last argument's.
        if (!parser.unknownOptionNames().isEmpty())
            error = QCoreApplication::translate("commandLine", "Unbekannte Option „%1“.")
                        .arg(parser.unknownOptionNames().first());
        else
            error = arguments.last() == QLatin1String("--patient")
                ? needsName
                : QCoreApplication::translate("commandLine", "%1 braucht eine Datei.").arg(arguments.last());
    } else if (parser.positionalArguments().size() > 1
               || (parser.positionalArguments().size() == 1
                   && (parser.isSet(homeworkOut) || parser.isSet(import) || parser.isSet(words)))) {
        error = QCoreApplication::translate("commandLine", "Unbekanntes Argument „%1“.")
                    .arg(parser.positionalArguments().last());
    } else if (parser.isSet(homeworkOut) && (!parser.isSet(patient) || parser.value(homeworkOut).isEmpty())) {
        error = QCoreApplication::translate("commandLine", "--homework-out braucht eine Datei und --patient.");
    } else if (parser.isSet(import) && (parser.value(import).isEmpty() || parser.isSet(homeworkOut)
                                        || parser.isSet(patient) || parser.isSet(words))) {
        error = QCoreApplication::translate("commandLine", "--import braucht eine Datei und steht allein.");
    } else if (parser.isSet(patient) && parser.value(patient).simplified().isEmpty()) {
        // An empty name would train without records, unnoticed.
        error = needsName;
    } else if (parser.isSet(words) && parser.value(words).isEmpty()) {
        error = needsFile;
    }
    if (!error.isEmpty()) {
        *answer = QStringLiteral("%1: %2\n\n%3").arg(program, error, helpText(program, rows));
        return 2;
    }
    if (parser.isSet(help)) {
        *answer = helpText(program, rows);
        return 0;
    }
    if (parser.isSet(version)) {
        *answer = QStringLiteral("Skarvel %1.%2.%3\n")
                      .arg(SKARVEL_VERSION_MAJOR)
                      .arg(SKARVEL_VERSION_MINOR)
                      .arg(SKARVEL_VERSION_PATCH);
        return 0;
    }
    options.wordList = parser.value(words);
    options.patient = parser.value(patient);
    options.homeworkOut = parser.value(homeworkOut);
    options.importFile = parser.value(import);
    options.homework = parser.positionalArguments().value(0);
    return -1;
}

bool asksForTextOnly(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        for (const char *option : {"-h", "--help", "-?", "--help-all", "-v", "--version", "--homework-out", "--import"}) {
            if (std::strcmp(argv[i], option) == 0)
                return true;
        }
        for (const char *option : {"--homework-out=", "--import="}) {
            if (std::strncmp(argv[i], option, std::strlen(option)) == 0)
                return true;
        }
    }
    return false;
}

// A program built for the Windows GUI subsystem has no console: what it
// writes to standard output goes nowhere, so it answers in a window.
#ifdef Q_OS_WIN

std::unique_ptr<QCoreApplication> answeringApplication(int &argc, char *argv[])
{
    return std::make_unique<QApplication>(argc, argv);
}

void showAnswer(const QString &answer, bool error)
{
    QMessageBox box(error ? QMessageBox::Warning : QMessageBox::Information, QStringLiteral("Skarvel"),
                    answer.trimmed(), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    // The help's columns line up in a fixed-width font only.
    box.setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    box.exec();
}

#else

std::unique_ptr<QCoreApplication> answeringApplication(int &argc, char *argv[])
{
    return std::make_unique<QCoreApplication>(argc, argv);
}

void showAnswer(const QString &answer, bool error)
{
    std::fputs(qUtf8Printable(answer), error ? stderr : stdout);
}

#endif
