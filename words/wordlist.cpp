#include "words/wordlist.h"

#include "words/qtcompat.h"
#include "words/threewords.h"
#include "words/userfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("wordList", text);
}

QString quoted(const QString &text)
{
    return QStringLiteral("„%1“").arg(text);
}

// A tab, a stray carriage return and the like: nothing a button can show,
// and a carriage return would not even survive writing the list again.
bool hasControl(const QString &text)
{
    // Unicode's controls are exactly these: C0, DEL and C1.
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        return c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() < 0xa0);
    });
}

// A mark that turns the direction of writing: a name or word holding one
// shows as another ("ab\u202Edc" reads "abcd").
QChar directionMark(const QString &text)
{
    const auto mark = std::find_if(text.begin(), text.end(), [](QChar c) {
        const ushort u = c.unicode();
        return (u >= 0x202a && u <= 0x202e) || (u >= 0x2066 && u <= 0x2069) || u == 0x200e || u == 0x200f
            || u == 0x061c;
    });
    return mark == text.end() ? QChar() : *mark;
}

QString directionProblem(QChar mark)
{
    const QString code = QString::number(mark.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0'));
    return tr("ein unsichtbares Zeichen, das die Schreibrichtung ändert (U+%1)").arg(code);
}

// The first thing wrong with an entry line on its own, or an empty string.
QString fieldProblem(const QString &line, const QStringList &fields)
{
    if (line.trimmed().isEmpty())
        return tr("leere Zeile.");
    if (hasControl(line))
        return tr("Die Zeile enthält ein unsichtbares Steuerzeichen (etwa einen Tabulator).");
    if (const QChar mark = directionMark(line); !mark.isNull())
        return tr("Die Zeile enthält %1.").arg(directionProblem(mark));
    // Before anything that quotes the line: a line of a million letters
    // would not fit a message either.
    for (int i = 0; i < fields.size(); ++i) {
        if (fields.at(i).size() > wordList::maxWordLength)
            return tr("Feld %1 ist mit %2 Zeichen zu lang: ein Wort hat höchstens %3.")
                .arg(QString::number(i + 1), QString::number(fields.at(i).size()),
                     QString::number(wordList::maxWordLength));
    }
    if (fields.size() != 3)
        return tr("%1 hat %2 statt 3 (richtig;falsch;falsch).")
            .arg(quoted(line), fields.size() == 1 ? tr("1 Feld") : tr("%1 Felder").arg(fields.size()));
    for (int i = 0; i < 3; ++i) {
        if (fields.at(i).trimmed().isEmpty())
            return tr("In %1 ist Feld %2 leer.").arg(quoted(line), QString::number(i + 1));
    }
    for (int i = 0; i < 3; ++i) {
        for (int j = i + 1; j < 3; ++j) {
            if (fields.at(i) == fields.at(j))
                return tr("%1 steht zweimal in der Zeile.").arg(quoted(fields.at(i)));
        }
    }
    return QString();
}

// What no text saved in Windows-1252 holds: the five bytes it leaves
// undefined (read as C1 controls), and C0 controls other than the line ends
// and the tab. UTF-16 with its zeros or a picture is not taken for one.
bool readsCleanlyAsWindows1252(const QByteArray &bytes)
{
    QString text;
    if (!QtCompat::decodeWindows1252(bytes.constData(), int(bytes.size()), text))
        return false;
    return std::none_of(text.begin(), text.end(), [](QChar c) {
        const ushort u = c.unicode();
        return (u < 0x20 && u != '\t' && u != '\n' && u != '\r') || (u >= 0x7f && u < 0xa0);
    });
}

} // namespace

QString wordList::Problem::message() const
{
    return tr("Zeile %1: %2").arg(QString::number(line), text);
}

wordList::wordList(const QList<Group> &groups)
    : m_groups(groups)
{
}

wordList wordList::read(const QString &path, Encoding encoding)
{
    wordList list;
    const QFileInfo info(path);
    const QString name = quoted(info.fileName());
    QFile file(path);
    if (!info.exists()) {
        list.m_refusal = tr("Die Datei %1 gibt es nicht (mehr).").arg(name);
    } else if (info.isDir()) {
        list.m_refusal = tr("%1 ist ein Ordner, keine Datei.").arg(name);
    } else if (!file.open(QIODevice::ReadOnly)) {
        list.m_refusal = tr("Die Datei %1 kann nicht gelesen werden.").arg(name);
    } else if (!file.isSequential() && file.size() > maxBytes) {
        list.m_refusal = tr("Die Datei %1 ist größer als 1 MiB.").arg(name);
    }
    if (!list.m_refusal.isEmpty())
        return list;

    // In pieces, so that neither a huge file nor an endless device is read
    // further than the limits.
    QByteArray bytes;
    qint64 lineEnds = 0;
    while (bytes.size() <= maxBytes && lineEnds <= maxLines) {
        const QByteArray piece = file.read(64 * 1024);
        if (piece.isEmpty() && file.error() != QFileDevice::NoError) {
            list.m_refusal = tr("Die Datei %1 kann nicht gelesen werden.").arg(name);
            return list;
        }
        if (piece.isEmpty())
            break;
        lineEnds += piece.count('\n');
        bytes += piece;
    }
    const qint64 lines = lineEnds + (bytes.isEmpty() || bytes.endsWith('\n') ? 0 : 1);
    if (bytes.size() > maxBytes)
        list.m_refusal = tr("Die Datei %1 ist größer als 1 MiB.").arg(name);
    else if (lines > maxLines)
        list.m_refusal = tr("Die Datei %1 hat mehr als 20.000 Zeilen.").arg(name);
    else
        list = check(bytes, encoding);
    return list;
}

wordList wordList::check(const QByteArray &bytes, Encoding encoding)
{
    wordList list;
    QHash<QString, int> groupLines; // name -> its header line
    QHash<QString, int> rightLines; // right word -> its line
    rightLines.reserve(int(bytes.count('\n')) + 1);
    Group group;
    int groupLine = 0;     // 0: no header yet
    bool loadGroup = false;
    bool groupHadLines = false;

    auto closeGroup = [&] {
        if (!loadGroup)
            return;
        if (!group.entries.isEmpty())
            list.m_groups.append(group);
        else if (groupHadLines)
            list.addProblem(groupLine, tr("Die Gruppe %1 hat keinen fehlerfreien Eintrag.").arg(quoted(group.name)));
        else
            list.addProblem(groupLine, tr("Die Gruppe %1 hat keine Einträge.").arg(quoted(group.name)));
    };

    const char *const data = bytes.constData();
    const int size = bytes.size();
    const bool windows1252 = encoding == Encoding::Windows1252;
    const bool bom = !windows1252 && bytes.startsWith("\xef\xbb\xbf");
    int start = bom ? 3 : 0;
    int number = 0;
    // A file with lines that are UTF-8 beyond ASCII is UTF-8 with damage,
    // not Windows-1252: read that way, those lines would be garbled.
    bool notUtf8 = false;
    bool utf8Letters = false;
    QString line;
    while (start < size) {
        int end = bytes.indexOf('\n', start);
        if (end < 0)
            end = size;
        const int length = end - start - (end > start && data[end - 1] == '\r' ? 1 : 0);
        const bool header = length > 0 && data[start] == '#';
        const bool decoded = windows1252 ? QtCompat::decodeWindows1252(data + start, length, line)
                                      : QtCompat::decodeUtf8(data + start, length, line);
        notUtf8 = notUtf8 || !decoded;
        utf8Letters = utf8Letters || (decoded && std::any_of(data + start, data + start + length, [](char c) {
                                         return uchar(c) >= 0x80;
                                     }));
        start = end + 1;
        ++number;

        if (header) {
            closeGroup();
            group = Group{line.mid(1), {}};
            groupLine = number;
            groupHadLines = false;
            loadGroup = false;
            const QString notLoaded = tr("; ihre Einträge werden nicht geladen.");
            if (!decoded) {
                list.addProblem(number, tr("keine gültige UTF-8-Kodierung") + notLoaded);
            } else if (group.name.trimmed().isEmpty()) {
                list.addProblem(number, tr("Gruppe ohne Namen") + notLoaded);
            } else if (hasControl(group.name)) {
                list.addProblem(number, tr("Der Gruppenname enthält ein unsichtbares Steuerzeichen") + notLoaded);
            } else if (const QChar mark = directionMark(group.name); !mark.isNull()) {
                list.addProblem(number, tr("Der Gruppenname enthält %1").arg(directionProblem(mark)) + notLoaded);
            } else if (group.name.size() > maxWordLength) {
                list.addProblem(number, tr("Der Gruppenname ist mit %1 Zeichen zu lang (höchstens %2)")
                                            .arg(QString::number(group.name.size()), QString::number(maxWordLength))
                                    + notLoaded);
            } else if (group.name == threeWords::allGroups) {
                list.addProblem(number, tr("%1 steht für alle Gruppen zusammen und kann keine Gruppe heißen")
                                            .arg(quoted(group.name)) + notLoaded);
            } else if (groupLines.contains(group.name)) {
                list.addProblem(number, tr("Die Gruppe %1 gibt es schon in Zeile %2")
                                            .arg(quoted(group.name), QString::number(groupLines.value(group.name))) + notLoaded);
            } else {
                groupLines.insert(group.name, number);
                loadGroup = true;
            }
            continue;
        }

        groupHadLines = groupLine > 0;
        if (!decoded) {
            list.addProblem(number, tr("keine gültige UTF-8-Kodierung."));
            continue;
        }
        if (groupLine == 0) {
            list.addProblem(number, tr("Eintrag vor der ersten Gruppe (es fehlt eine Zeile „#Gruppenname“)."));
            continue;
        }
        const QStringList fields = line.split(QLatin1Char(';'), Qt::KeepEmptyParts, Qt::CaseSensitive);
        const QString problem = fieldProblem(line, fields);
        if (!problem.isEmpty()) {
            list.addProblem(number, problem);
        } else if (loadGroup) {
            const int first = rightLines.value(fields.first());
            if (first > 0) {
                list.addProblem(number, tr("%1 ist schon in Zeile %2 ein richtiges Wort.")
                                            .arg(quoted(fields.first()), QString::number(first)));
            } else {
                rightLines.insert(fields.first(), number);
                group.entries.append(fields);
            }
        }
    }
    closeGroup();

    // A group's own problems are known only at its end but belong to its
    // header line.
    std::stable_sort(list.m_problems.begin(), list.m_problems.end(),
                     [](const Problem &a, const Problem &b) { return a.line < b.line; });
    if (list.m_groups.isEmpty()) {
        list.m_refusal = number == 0 ? tr("Die Datei ist leer.")
                                     : tr("Die Wortliste enthält keine Gruppe mit fehlerfreien Einträgen.");
    }
    list.m_windows1252 = !windows1252 && !bom && notUtf8 && !utf8Letters && readsCleanlyAsWindows1252(bytes);
    return list;
}

bool wordList::readsAsWindows1252() const
{
    return m_windows1252;
}

const QList<wordList::Group> &wordList::groups() const
{
    return m_groups;
}

const QList<wordList::Problem> &wordList::problems() const
{
    return m_problems;
}

const QString &wordList::refusal() const
{
    return m_refusal;
}

QStringList wordList::names() const
{
    QStringList names;
    for (const Group &group : m_groups)
        names.append(group.name);
    return names;
}

QList<QStringList> wordList::entryLines() const
{
    QList<QStringList> lines;
    for (const Group &group : m_groups) {
        QStringList entries;
        entries.reserve(group.entries.size());
        for (const QStringList &fields : group.entries)
            entries.append(fields.join(QLatin1Char(';')));
        lines.append(entries);
    }
    return lines;
}

QByteArray wordList::toBytes() const
{
    QString text;
    for (const Group &group : m_groups) {
        text += QLatin1Char('#') + group.name + QLatin1Char('\n');
        for (const QStringList &fields : group.entries)
            text += fields.join(QLatin1Char(';')) + QLatin1Char('\n');
    }
    return text.toUtf8();
}

QString wordList::save(const QString &path) const
{
    return userFile::write(path, toBytes());
}

void wordList::addProblem(int line, const QString &text)
{
    m_problems.append(Problem{line, text});
}
