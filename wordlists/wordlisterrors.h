#ifndef WORDLISTERRORS_H
#define WORDLISTERRORS_H

#include "ui_wordlisterrors.h"
#include "words/wordlist.h"

#include <QDialog>

// "Fehler in der Wortliste": what is wrong with a list, line by line, and
// the choice what to do about it. Accepting does what acceptText says (load
// the usable part, save anyway); where there is nothing to accept, the only
// button closes.
class wordListErrors : public QDialog
{
    Q_OBJECT

public:
    explicit wordListErrors(QWidget *parent = nullptr);
    ~wordListErrors() override;

    // pictures: the list's pictures that cannot be shown, each a sentence
    // naming its file; below the lines' problems.
    void setReport(const QString &summary, const QList<wordList::Problem> &problems, const QString &acceptText,
                   const QStringList &pictures = QStringList());
    // A second way on beside acceptText, after setReport; exec() then
    // returns Alternative.
    void addAlternative(const QString &text);

    enum { Alternative = 2 };

private:
    Ui_wordListErrors ui;
};

#endif // WORDLISTERRORS_H
