#include "app/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <cstring>

int readCommandLine(const QStringList &arguments, StartOptions &options)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("commandLine", "Skarvel – Wort- und Rechtschreibtrainer für die Aphasietherapie"));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption words(QStringLiteral("words"),
                                   QCoreApplication::translate("commandLine", "Mit der eigenen Wortliste DATEI üben."),
                                   QCoreApplication::translate("commandLine", "DATEI"));
    const QCommandLineOption patient(QStringLiteral("patient"),
                                     QCoreApplication::translate("commandLine",
                                                                 "Für NAME üben; der Patient wird angelegt, wenn es ihn noch nicht gibt."),
                                     QCoreApplication::translate("commandLine", "NAME"));
    parser.addOption(words);
    parser.addOption(patient);

    if (!parser.parse(arguments) || !parser.positionalArguments().isEmpty()) {
        QString error = parser.errorText();
        if (!parser.unknownOptionNames().isEmpty())
            error = QCoreApplication::translate("commandLine", "Unbekannte Option „%1“.").arg(parser.unknownOptionNames().first());
        else if (!parser.positionalArguments().isEmpty())
            error = QCoreApplication::translate("commandLine", "Unbekanntes Argument „%1“.").arg(parser.positionalArguments().first());
        std::fprintf(stderr, "skarvel: %s\n\n%s", qUtf8Printable(error), qUtf8Printable(parser.helpText()));
        return 2;
    }
    if (parser.isSet(help)) {
        std::fputs(qUtf8Printable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("Skarvel %d.%d.%d\n", SKARVEL_VERSION_MAJOR, SKARVEL_VERSION_MINOR, SKARVEL_VERSION_PATCH);
        return 0;
    }
    options.wordList = parser.value(words);
    options.patient = parser.value(patient);
    return -1;
}

bool asksForTextOnly(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        for (const char *option : {"-h", "--help", "-?", "--help-all", "-v", "--version"}) {
            if (std::strcmp(argv[i], option) == 0)
                return true;
        }
    }
    return false;
}
