#include "records/patientnamedialog.h"

#include "dialogs/screenfit.h"
#include "records/recordstore.h"

patientNameDialog::patientNameDialog(const QString &title, const QString &name, const QString &note, Apply apply,
                                     QWidget *parent)
    : QDialog(parent)
    , apply(std::move(apply))
{
    ui.setupUi(this);
    setWindowTitle(title);
    keepOnScreen(this);
    if (parent)
        setFont(parent->font());
    ui.lineEdit_name->setMaxLength(recordStore::nameLength);
    ui.lineEdit_note->setMaxLength(recordStore::noteLength);
    ui.lineEdit_name->setText(name);
    ui.lineEdit_note->setText(note);
    ui.label_hint->hide();
    connect(ui.lineEdit_name, &QLineEdit::textChanged, this, &patientNameDialog::showLimit);
    connect(ui.lineEdit_note, &QLineEdit::textChanged, this, &patientNameDialog::showLimit);
    connect(ui.pushButton_ok, &QPushButton::clicked, this, &patientNameDialog::accept);
    connect(ui.pushButton_cancel, &QPushButton::clicked, this, &patientNameDialog::reject);
}

void patientNameDialog::accept()
{
    const QString problem = apply(ui.lineEdit_name->text(), ui.lineEdit_note->text());
    if (problem.isEmpty())
        return QDialog::accept();
    ui.label_hint->setText(problem);
    ui.label_hint->show();
}

void patientNameDialog::showLimit()
{
    // A field at its limit takes no more letters; this says why.
    QString hint;
    if (ui.lineEdit_name->text().size() >= recordStore::nameLength)
        hint = tr("Der Name kann höchstens %1 Zeichen lang sein.").arg(recordStore::nameLength);
    else if (ui.lineEdit_note->text().size() >= recordStore::noteLength)
        hint = tr("Der Zusatz kann höchstens %1 Zeichen lang sein.").arg(recordStore::noteLength);
    ui.label_hint->setText(hint);
    ui.label_hint->setVisible(!hint.isEmpty());
}
