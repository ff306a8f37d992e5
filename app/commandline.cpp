#include "app/commandline.h"
#include "records/serverstore.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QFontDatabase>
#include <QUrl>
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
    const QCommandLineOption setupServer(QStringLiteral("setup-server"), QString(), QStringLiteral("URL"));
    const QCommandLineOption records(QStringLiteral("records"), QString(), QStringLiteral("URL"));
    QCommandLineParser parser;
    parser.addOptions({help, version, words, patient, homeworkOut, import, setupServer, records});
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
        {QStringLiteral("--setup-server <URL>"),
         QCoreApplication::translate("commandLine",
                                     "Den Praxisserver postgresql://BENUTZER@RECHNER:PORT/DATENBANK für Skarvel "
                                     "einrichten, die Rollen der Therapeuten als SQL zeigen und enden.")},
        {QStringLiteral("--records <URL>"),
         QCoreApplication::translate("commandLine",
                                     "Für diesen Lauf auf dem Praxisserver postgresql://BENUTZER@RECHNER:PORT/DATENBANK "
                                     "aufzeichnen; ist er nicht erreichbar, wird auf diesem Computer gesichert und "
                                     "später gesendet.")},
    };
    const QString program = QFileInfo(arguments.value(0, QStringLiteral("skarvel"))).fileName();

    const QString needsName = QCoreApplication::translate("commandLine", "--patient braucht einen Namen.");
    const QString needsFile = QCoreApplication::translate("commandLine", "--words braucht eine Datei.");
    const QString needsUrl = QCoreApplication::translate("commandLine", "%1 braucht die Adresse des Servers.");
    QString error;
    if (!parser.parse(arguments)) {
        // Qt's own wording is English. Its other error, a missing value, can
        // only be the last argument's.
        if (!parser.unknownOptionNames().isEmpty())
            error = QCoreApplication::translate("commandLine", "Unbekannte Option „%1“.")
                        .arg(parser.unknownOptionNames().first());
        else
            error = arguments.last() == QLatin1String("--patient")        ? needsName
                : arguments.last() == QLatin1String("--setup-server") || arguments.last() == QLatin1String("--records")
                ? needsUrl.arg(arguments.last())
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
    } else if (parser.isSet(setupServer) && (parser.isSet(patient) || parser.isSet(words) || parser.isSet(homeworkOut)
                                             || parser.isSet(import) || parser.isSet(records)
                                             || !parser.positionalArguments().isEmpty())) {
        error = QCoreApplication::translate("commandLine", "--setup-server steht allein.");
    } else if (parser.isSet(records) && (parser.isSet(homeworkOut) || parser.isSet(import))) {
        // Both write into the records on this computer: not what was asked.
        error = QCoreApplication::translate("commandLine", "--records gilt für das Training, nicht für --homework-out "
                                                           "oder --import.");
    } else if (parser.isSet(setupServer) || parser.isSet(records)) {
        error = serverStore::checkUrl(parser.value(parser.isSet(records) ? records : setupServer));
        if (!error.isEmpty())
            error = QStringLiteral("--%1: %2.").arg(parser.isSet(records) ? records.names().first()
                                                                          : setupServer.names().first(), error);
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
    options.setupServer = parser.value(setupServer);
    options.records = parser.value(records);
    return -1;
}

bool asksForTextOnly(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        for (const char *option :
             {"-h", "--help", "-?", "--help-all", "-v", "--version", "--homework-out", "--import", "--setup-server"}) {
            if (std::strcmp(argv[i], option) == 0)
                return true;
        }
        for (const char *option : {"--homework-out=", "--import=", "--setup-server="}) {
            if (std::strncmp(argv[i], option, std::strlen(option)) == 0)
                return true;
        }
    }
    return false;
}

int setUpServer(const QString &url, QString *answer)
{
    serverStore store;
    if (!store.setUp(url, QString())) {
        *answer = store.lastError() + QLatin1Char('\n');
        return 1;
    }
    const QString group = serverStore::groupRole;
    // Printed, not run: the passwords are the practice's to choose, and
    // only its IT knows who works there.
    *answer = QCoreApplication::translate("commandLine",
                                          "Der Praxisserver %1 ist für Skarvel eingerichtet (Gruppenrolle %2).\n"
                                          "Für jede Therapeutin und jeden Therapeuten eine eigene Rolle, in psql als "
                                          "%3 (Name und Passwort ersetzen):\n\n")
                  .arg(store.server(), group, QUrl(url).userName())
              + QStringLiteral("    CREATE ROLE therapeutin LOGIN PASSWORD 'geheim';\n"
                               "    GRANT %1 TO therapeutin;\n\n")
                    .arg(group)
              + QCoreApplication::translate("commandLine",
                                            "Im pg_hba.conf des Servers nur verschlüsselt und mit Passwort, z. B.:\n\n")
              + QStringLiteral("    hostssl %1 +%2 192.168.0.0/24 scram-sha-256\n").arg(QUrl(url).path().mid(1), group);
    return 0;
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
    // A box without a text would wait for a click that nobody is there to
    // give, for an option that did its work and had nothing to say.
    if (answer.trimmed().isEmpty())
        return;
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
