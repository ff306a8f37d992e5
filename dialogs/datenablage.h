#ifndef DATENABLAGE_H
#define DATENABLAGE_H

#include "settings/recordslocation.h"
#include "ui_datenablage.h"

#include <QWidget>

// The page "Datenablage" of the settings: the patients' records on this
// computer or on the practice's server. Like the dialog it knows no store:
// it shows what it is given and, on "Übernehmen", relays the user's choice;
// whoever keeps it answers with a note, or with the field at fault.
class datenablage : public QWidget
{
    Q_OBJECT

public:
    explicit datenablage(QWidget *parent = nullptr);
    ~datenablage() override;

    // passwordKept: a password is kept for these fields, so leaving the
    // field empty keeps it.
    void setChoice(bool onServer, const recordsLocation::server &fields, bool passwordKept);
    void setPasswordKept(bool kept);
    // The choice is kept: nothing left to take over, and the note says so.
    void applied(const QString &note);
    void setNote(const QString &note);
    // One more line under the note: what came of it later.
    void addNote(const QString &line);
    // The field is shown to the user with what is wrong with it.
    void showProblem(const recordsLocation::problem &problem);
    // While the patients move to the server nothing else is taken over, and
    // the button says so.
    void setBusy(bool busy);

signals:
    // password: empty where the user typed none.
    void applyRequested(bool onServer, const recordsLocation::server &fields, const QString &password);

protected:
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    recordsLocation::server fields() const;
    void reserveNote();
    void chooseCaFile();
    void changed();

    Ui_Datenablage ui;
    bool m_busy = false;
};

#endif // DATENABLAGE_H
