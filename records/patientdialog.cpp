#include "records/patientdialog.h"

#include "records/notice.h"
#include "records/recordstore.h"

#include <QInputDialog>
#include <QPushButton>

patientDialog::patientDialog(recordStore &store, qint64 current, QWidget *parent)
    : QDialog(parent)
    , store(store)
{
    ui.setupUi(this);
    fill(current);

    connect(ui.pushButton_new, &QPushButton::clicked, this, &patientDialog::addPatient);
    connect(ui.pushButton_rename, &QPushButton::clicked, this, &patientDialog::renamePatient);
    connect(ui.pushButton_delete, &QPushButton::clicked, this, &patientDialog::removePatient);
    connect(ui.pushButton_choose, &QPushButton::clicked, this, &patientDialog::choose);
    connect(ui.listWidget_patients, &QListWidget::itemActivated, this, &patientDialog::choose);
    connect(ui.pushButton_none, &QPushButton::clicked, this, &patientDialog::accept);
    connect(ui.pushButton_cancel, &QPushButton::clicked, this, &patientDialog::reject);
    connect(ui.listWidget_patients, &QListWidget::currentRowChanged, this, &patientDialog::updateButtons);
    updateButtons();
}

qint64 patientDialog::chosenId() const
{
    return m_chosen;
}

QString patientDialog::chosenName() const
{
    return m_chosenName;
}

void patientDialog::addPatient()
{
    const QString name = askName(tr("Neuer Patient"), QString());
    if (name.isEmpty())
        return;
    // The file is made with the first patient, not before.
    const bool opened = store.open(true);
    const QString notice = store.takeNotice();
    if (!notice.isEmpty())
        complain(notice);
    if (!opened)
        return;
    const qint64 id = store.addPatient(name);
    if (!id)
        return complain(store.takeNotice());
    fill(id);
}

void patientDialog::renamePatient()
{
    QListWidgetItem *item = ui.listWidget_patients->currentItem();
    const QString name = item ? askName(tr("Patient umbenennen"), item->text()) : QString();
    if (name.isEmpty())
        return;
    const qint64 id = item->data(Qt::UserRole).toLongLong();
    if (!store.renamePatient(id, name))
        return complain(store.takeNotice());
    fill(id);
    emit renamed(id, ui.listWidget_patients->currentItem()->text());
}

void patientDialog::removePatient()
{
    QListWidgetItem *item = ui.listWidget_patients->currentItem();
    if (!item)
        return;
    const qint64 id = item->data(Qt::UserRole).toLongLong();
    const QPair<int, int> counts = store.trainingAndAnswerCount(id);
    QMessageBox box(QMessageBox::Warning, tr("Patient löschen"),
                    tr("„%1“ mit allen Aufzeichnungen löschen (Trainings: %2, Antworten: %3)?\n\n"
                       "Das lässt sich nicht rückgängig machen.").arg(item->text()).arg(counts.first).arg(counts.second),
                    QMessageBox::NoButton, this);
    box.setFont(font());
    QPushButton *remove = box.addButton(tr("Löschen"), QMessageBox::DestructiveRole);
    box.setDefaultButton(box.addButton(tr("Abbrechen"), QMessageBox::RejectRole));
    box.exec();
    if (box.clickedButton() != remove)
        return;
    const bool removed = store.deletePatient(id);
    // Announced before any message, which would let the training go on.
    if (store.patientId(item->text()) == 0)
        emit this->removed(id);
    if (!removed)
        complain(store.takeNotice());
    fill(0);
}

void patientDialog::choose()
{
    QListWidgetItem *item = ui.listWidget_patients->currentItem();
    if (!item)
        return;
    m_chosen = item->data(Qt::UserRole).toLongLong();
    m_chosenName = item->text();
    accept();
}

void patientDialog::updateButtons()
{
    const bool selected = ui.listWidget_patients->currentItem();
    ui.pushButton_rename->setEnabled(selected);
    ui.pushButton_delete->setEnabled(selected);
    ui.pushButton_choose->setEnabled(selected);
}

void patientDialog::fill(qint64 select)
{
    ui.listWidget_patients->clear();
    for (const patientRecord &patient : store.patients()) {
        auto *item = new QListWidgetItem(patient.name, ui.listWidget_patients);
        item->setData(Qt::UserRole, patient.id);
        if (patient.id == select)
            ui.listWidget_patients->setCurrentItem(item);
    }
    updateButtons();
}

QString patientDialog::askName(const QString &title, const QString &name)
{
    QInputDialog dialog(this);
    dialog.setWindowTitle(title);
    dialog.setFont(font());
    dialog.setLabelText(tr("Name:"));
    dialog.setTextValue(name);
    dialog.setOkButtonText(tr("OK"));
    dialog.setCancelButtonText(tr("Abbrechen"));
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    QString problem;
    const QString clean = recordStore::cleanName(dialog.textValue(), &problem);
    if (!problem.isEmpty()) {
        complain(problem + QLatin1Char('.'));
        return QString();
    }
    return clean;
}

void patientDialog::complain(const QString &message)
{
    showNotice(this, QMessageBox::Warning, windowTitle(), message);
}
