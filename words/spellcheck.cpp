#include "words/spellcheck.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>

#include <hunspell.hxx>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Where in the word a rule makes a plausible mistake. The rules work on the
// word in lower case.
enum class Where {
    Anywhere,
    Final,       // at the end or before a consonant, where d, b, g sound t, p, k
    End,         // at the end: "Brod" for "Brot"
    Inner,       // at the start or after a vowel, before a vowel: "Disch", "Rakede"
    ShortVowel,  // after a single vowel, before a vowel or the end: "Hose", "Bus"
    LongVowel,   // a single vowel before one of l, m, n, r and a vowel: "Schule"
    Lengthening, // an h after a vowel, before a consonant or the end: "Stuhl"
    StressedE,   // an e outside the last syllable and outside ei, eu, ie
    EndAfterVowel, // "Haus", "Gras"
    NotAfterS,   // a "ch" that is no part of "sch"
};

struct Rule
{
    const char *from;
    const char *to;
    int weight; // how plausible, 9 most
    Where where;
};

// The kinds of mistakes German writers make, most plausible first within a
// kind. Consonant doubling is added for every consonant in misspellings().
const Rule rules[] = {
    // Vowel length.
    {"ie", "i", 9, Where::Anywhere},
    {"i", "ie", 7, Where::LongVowel},
    {"ah", "a", 9, Where::Lengthening},
    {"eh", "e", 9, Where::Lengthening},
    {"oh", "o", 9, Where::Lengthening},
    {"uh", "u", 9, Where::Lengthening},
    {"äh", "ä", 9, Where::Lengthening},
    {"öh", "ö", 9, Where::Lengthening},
    {"üh", "ü", 9, Where::Lengthening},
    {"aa", "a", 8, Where::Anywhere},
    {"ee", "e", 8, Where::Anywhere},
    {"oo", "o", 8, Where::Anywhere},
    {"a", "ah", 6, Where::LongVowel},
    {"e", "eh", 6, Where::LongVowel},
    {"o", "oh", 6, Where::LongVowel},
    {"u", "uh", 6, Where::LongVowel},
    {"ä", "äh", 5, Where::LongVowel},
    {"ö", "öh", 5, Where::LongVowel},
    {"ü", "üh", 5, Where::LongVowel},
    // Voiced and voiceless.
    {"d", "t", 9, Where::Final},
    {"b", "p", 9, Where::Final},
    {"g", "k", 8, Where::Final},
    {"t", "d", 6, Where::End},
    {"p", "b", 5, Where::End},
    {"k", "g", 5, Where::End},
    {"b", "p", 5, Where::Inner},
    {"p", "b", 5, Where::Inner},
    {"d", "t", 5, Where::Inner},
    {"t", "d", 5, Where::Inner},
    {"g", "k", 5, Where::Inner},
    {"k", "g", 4, Where::Inner},
    // Umlauts and diphthongs.
    {"ä", "e", 8, Where::Anywhere},
    {"e", "ä", 5, Where::StressedE},
    {"äu", "eu", 9, Where::Anywhere},
    {"eu", "äu", 7, Where::Anywhere},
    {"ai", "ei", 9, Where::Anywhere},
    {"ei", "ai", 7, Where::Anywhere},
    // v, f, w.
    {"v", "f", 8, Where::Anywhere},
    {"f", "v", 6, Where::Anywhere},
    {"v", "w", 6, Where::Anywhere},
    {"w", "v", 5, Where::Anywhere},
    // z/tz, k/ck.
    {"tz", "z", 9, Where::Anywhere},
    {"z", "tz", 7, Where::ShortVowel},
    {"ck", "k", 9, Where::Anywhere},
    {"k", "ck", 7, Where::ShortVowel},
    {"ck", "kk", 5, Where::Anywhere},
    // s sounds.
    {"ß", "ss", 9, Where::Anywhere},
    {"ss", "ß", 8, Where::Anywhere},
    {"ß", "s", 7, Where::Anywhere},
    {"s", "ß", 4, Where::EndAfterVowel},
    // x sounds.
    {"chs", "ks", 9, Where::Anywhere},
    {"chs", "x", 8, Where::Anywhere},
    {"x", "ks", 8, Where::Anywhere},
    {"ks", "x", 7, Where::Anywhere},
    {"x", "chs", 6, Where::Anywhere},
    {"ks", "chs", 6, Where::Anywhere},
    // ch/sch.
    {"ch", "sch", 4, Where::NotAfterS},
    {"sch", "ch", 3, Where::Anywhere},
};

const QString vowels = QStringLiteral("aeiouäöüy");
const QString consonants = QStringLiteral("bcdfghjklmnpqrstvwxzß");
// Doubled in German after a short vowel.
const QString doublable = QStringLiteral("bdfglmnprst");

bool isVowel(QChar c)
{
    return vowels.contains(c);
}

bool isConsonant(QChar c)
{
    return consonants.contains(c);
}

bool fits(const QString &w, int at, int length, Where where)
{
    const QChar before = at > 0 ? w.at(at - 1) : QChar();
    const int next = at + length;
    const QChar after = next < w.size() ? w.at(next) : QChar();
    // Of the word within the phrase.
    const bool atEnd = next == w.size() || !w.at(next).isLetter();
    const bool atStart = !before.isLetter();
    int end = next;
    while (end < w.size() && w.at(end).isLetter())
        ++end;
    switch (where) {
    case Where::Anywhere:
        return true;
    case Where::Final:
        // "ng" keeps its g: "Rink" is no mistake anyone makes for "Ring".
        return (atEnd || isConsonant(after)) && !(w.at(at) == QLatin1Char('g') && before == QLatin1Char('n'));
    case Where::End:
        return atEnd;
    case Where::Inner:
        return !atEnd && !isConsonant(after) && (atStart || isVowel(before));
    case Where::ShortVowel:
        // Not after the e of an ending: nobody writes "Vogell".
        return isVowel(before) && !(at > 1 && isVowel(w.at(at - 2))) && (atEnd ? before != QLatin1Char('e') : isVowel(after));
    case Where::LongVowel:
        return !isVowel(before) && QStringLiteral("lmnr").contains(after) && next + 1 < w.size()
            && isVowel(w.at(next + 1));
    case Where::Lengthening:
        return atEnd || isConsonant(after);
    case Where::EndAfterVowel:
        return atEnd && isVowel(before);
    case Where::StressedE:
        return !isVowel(before) && !isVowel(after) && at < end - 2;
    case Where::NotAfterS:
        return before != QLatin1Char('s');
    }
    return false;
}

struct Candidate
{
    QString text;
    int weight;
    int position;
};

// word with the span at..at+length replaced by replacement, in the case of
// the letters it replaces.
QString replaced(const QString &word, int at, int length, QString replacement)
{
    if (word.at(at).isUpper()) {
        const bool allUpper = length > 1 && word.mid(at, length).toUpper() == word.mid(at, length);
        replacement = allUpper ? replacement.toUpper() : replacement.left(1).toUpper() + replacement.mid(1);
    }
    return word.left(at) + replacement + word.mid(at + length);
}

// Every single mistake of the rules, with its weight. Doubling a consonant
// or lengthening a vowel where German never does stays in, with weight 1 or
// less, so that every word of three letters or more has something to offer.
QList<Candidate> misspellings(const QString &word)
{
    QList<Candidate> candidates;
    const QString w = word.toLower();
    if (w.size() != word.size())
        return candidates;
    auto add = [&](int at, int length, const QString &to, int weight) {
        candidates.append(Candidate{replaced(word, at, length, to), weight, at});
    };
    for (const Rule &rule : rules) {
        const QString from = QString::fromUtf8(rule.from);
        const QString to = QString::fromUtf8(rule.to);
        for (int at = w.indexOf(from); at >= 0; at = w.indexOf(from, at + 1)) {
            if (fits(w, at, from.size(), rule.where))
                add(at, from.size(), to, rule.weight);
        }
    }
    for (int at = 0; at < w.size(); ++at) {
        const QChar c = w.at(at);
        const QChar after = at + 1 < w.size() ? w.at(at + 1) : QChar();
        const bool doubled = after == c || (at > 0 && w.at(at - 1) == c);
        if (doublable.contains(c) && after == c)
            add(at, 2, QString(c), 9);
        else if (doublable.contains(c) && !doubled && fits(w, at, 1, Where::ShortVowel)
                 && !(after.isNull() && QStringLiteral("bdg").contains(c)))
            add(at, 1, QString(2, c), 7);
        else if (isConsonant(c) && !doubled && at > 0)
            add(at, 1, QString(2, c), isVowel(w.at(at - 1)) ? 2 : 1);
        else if (isVowel(c) && !isVowel(after) && after != QLatin1Char('h') && !(at > 0 && isVowel(w.at(at - 1))))
            add(at, 1, QString(c) + QLatin1Char('h'), 1);
        // The last resort of a word of vowels only ("Aue").
        if (isVowel(c))
            add(at, 1, QString(c) + QLatin1Char('h'), 0);
    }
    // Most plausible first; among equals the earlier change.
    std::stable_sort(candidates.begin(), candidates.end(), [](const Candidate &a, const Candidate &b) {
        return a.weight != b.weight ? a.weight > b.weight : a.position < b.position;
    });
    return candidates;
}

// Debian's hunspell-de-de in /usr/share/hunspell; on Windows the copy the
// installer puts beside skarvel.exe, since there this location includes the
// program's own folder (after the user's and ProgramData's, where another
// Hunspell program may have put one).
QString dictionaryFile(const char *suffix)
{
    return QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                  QStringLiteral("hunspell/de_DE.") + QLatin1String(suffix));
}

} // namespace

spellCheck::spellCheck(Hunspell *hunspell, bool latin1)
    : m_hunspell(hunspell), m_latin1(latin1)
{
}

spellCheck::~spellCheck() = default;

spellCheck *spellCheck::german()
{
    static const std::unique_ptr<spellCheck> instance = []() -> std::unique_ptr<spellCheck> {
        const QString aff = dictionaryFile("aff");
        const QString dic = dictionaryFile("dic");
        if (aff.isEmpty() || dic.isEmpty())
            return nullptr;
        auto *hunspell = new Hunspell(QFile::encodeName(aff).constData(), QFile::encodeName(dic).constData());
        const QByteArray encoding = QByteArray(hunspell->get_dic_encoding()).toUpper();
        return std::unique_ptr<spellCheck>(new spellCheck(hunspell, encoding.startsWith("ISO8859-1")));
    }();
    return instance.get();
}

bool spellCheck::knows(const QString &word) const
{
    static const QRegularExpression space(QStringLiteral("\\s+"));
    const QStringList words = word.split(space, Qt::SkipEmptyParts);
    return !words.isEmpty() && std::all_of(words.begin(), words.end(),
                                           [this](const QString &single) { return knowsWord(single); });
}

bool spellCheck::knowsWord(const QString &word) const
{
    const QByteArray bytes = m_latin1 ? word.toLatin1() : word.toUtf8();
    return m_hunspell->spell(std::string(bytes.constData(), size_t(bytes.size())));
}

QStringList spellCheck::proposeMisspellings(const QString &word, int count) const
{
    QStringList proposals;
    QSet<QString> seen{word.toLower()};
    auto take = [&](const QList<Candidate> &candidates) {
        for (const Candidate &candidate : candidates) {
            if (proposals.size() >= count)
                return;
            if (seen.contains(candidate.text.toLower()))
                continue;
            seen.insert(candidate.text.toLower());
            if (!knows(candidate.text))
                proposals.append(candidate.text);
        }
    };
    const QList<Candidate> single = misspellings(word);
    take(single);
    // Two mistakes in one word, only where one is not enough.
    for (int i = 0; i < single.size() && proposals.size() < count; ++i) {
        QList<Candidate> twice = misspellings(single.at(i).text);
        for (Candidate &candidate : twice)
            candidate.weight = std::min(candidate.weight, single.at(i).weight);
        take(twice);
    }
    return proposals;
}
