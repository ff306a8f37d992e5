#ifndef SPELLCHECK_H
#define SPELLCHECK_H

#include <QString>
#include <QStringList>

#include <memory>

class Hunspell;

// The German dictionary, through Hunspell. It is looked up at run time in
// the system's hunspell folders (hunspell/de_DE.aff and .dic under the
// generic data locations, /usr/share among them) and loaded on first use,
// which takes a moment, so nothing asks for it at start-up.
class spellCheck
{
public:
    // The German dictionary, or nullptr where there is none. Owned here.
    static spellCheck *german();

    // Whether the dictionary knows the word; a phrase ("rote Bete") when it
    // knows each of its words.
    bool knows(const QString &word) const;

    // Up to count misspellings of the kinds German writers make (vowel
    // length, doubled consonants, b/p, d/t, g/k, ä/e, äu/eu, ei/ai, v/f/w,
    // z/tz, k/ck, ß/ss/s, x/chs/ks, ch/sch), the most plausible first: never
    // a word the dictionary knows, never the word itself, never two alike.
    QStringList proposeMisspellings(const QString &word, int count) const;

    ~spellCheck();

private:
    spellCheck(Hunspell *hunspell, bool latin1);
    Q_DISABLE_COPY(spellCheck)

    bool knowsWord(const QString &word) const;

    std::unique_ptr<Hunspell> m_hunspell;
    bool m_latin1;
};

#endif // SPELLCHECK_H
