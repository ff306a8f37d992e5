#include "records/patientdialog.h"

#include "dialogs/screenfit.h"
#include "records/notice.h"
#include "records/patientnamedialog.h"
#include "records/recordsbackup.h"

#include <QPushButton>

#include <utility>

patientDialog::patientDialog(recordStore &store, qint64 current, QWidget *parent)
    : QDialog(parent)
    , store(store)
{
    ui.setupUi(this);
    therapists = store.therapists(&ownRole);
    ui.groupBox_treating->setVisible(!therapists.isEmpty());
    keepOnScreen(this);
    fill(current);

    connect(ui.pushButton_new, &QPushButton::clicked, this, &patientDialog::addPatient);
    connect(ui.pushButton_rename, &QPushButton::clicked, this, &patientDialog::renamePatient);
    connect(ui.pushButton_delete, &QPushButton::clicked, this, &patientDialog::removePatient);
    connect(ui.pushButton_choose, &QPushButton::clicked, this, &patientDialog::choose);
    connect(ui.listWidget_patients, &QListWidget::itemActivated, this, &patientDialog::choose);
    connect(ui.pushButton_none, &QPushButton::clicked, this, &patientDialog::accept);
    connect(ui.pushButton_cancel, &QPushButton::clicked, this, &patientDialog::reject);
    connect(ui.listWidget_patients, &QListWidget::currentRowChanged, this, &patientDialog::updateButtons);
    connect(ui.listWidget_treating, &QListWidget::itemChanged, this, &patientDialog::changeTreating);
    updateButtons();
}

const patientRecord &patientDialog::chosen() const
{
    return m_chosen;
}

void patientDialog::addPatient()
{
    qint64 id = 0;
    patientNameDialog dialog(tr("Neuer Patient"), QString(), QString(), [this, &id](const QString &name, const QString &note) {
        // The file is made with the first patient, not before.
        const bool opened = store.open(true);
        const QString notice = store.takeNotice();
        if (!opened)
            return notice;
        if (!notice.isEmpty())
            complain(notice);
        id = store.addPatient(name, note);
        return id ? QString() : store.takeNotice();
    }, this);
    if (dialog.exec() == QDialog::Accepted)
        fill(id);
}

void patientDialog::renamePatient()
{
    const patientRecord patient = current();
    if (!patient.id)
        return;
    patientNameDialog dialog(tr("Patient umbenennen"), patient.name, patient.note,
                             [this, &patient](const QString &name, const QString &note) {
        return store.renamePatient(patient.id, name, note) ? QString() : store.takeNotice();
    }, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    fill(patient.id);
    emit renamed(current());
}

void patientDialog::removePatient()
{
    const patientRecord patient = current();
    if (!patient.id)
        return;
    const QPair<int, int> counts = store.trainingAndAnswerCount(patient.id);
    QMessageBox box(QMessageBox::Warning, tr("Patient löschen"),
                    tr("„%1“ mit allen Aufzeichnungen löschen (Trainings: %2, Antworten: %3)?\n\n"
                       "Das lässt sich nicht rückgängig machen.")
                        .arg(patient.shown(), QString::number(counts.first), QString::number(counts.second)),
                    QMessageBox::NoButton, this);
    box.setFont(font());
    QPushButton *remove = box.addButton(tr("Löschen"), QMessageBox::DestructiveRole);
    box.setDefaultButton(box.addButton(tr("Abbrechen"), QMessageBox::RejectRole));
    box.exec();
    if (box.clickedButton() != remove)
        return;
    const QString uid = store.patientUid(patient.id);
    const bool removed = store.deletePatient(patient.id);
    // Announced before any message, which would let the training go on.
    if (store.patientId(patient.name, patient.note) == 0) {
        emit this->removed(patient.id);
        recordsBackup::forget(store.fileName(), uid);
    }
    if (!removed)
        complain(store.takeNotice());
    fill(0);
}

void patientDialog::choose()
{
    m_chosen = current();
    if (m_chosen.id)
        accept();
}

void patientDialog::updateButtons()
{
    const bool selected = ui.listWidget_patients->currentItem();
    ui.pushButton_rename->setEnabled(selected);
    ui.pushButton_delete->setEnabled(selected);
    ui.pushButton_choose->setEnabled(selected);
    fillTreating();
}

void patientDialog::fillTreating()
{
    if (therapists.isEmpty())
        return;
    const QSignalBlocker blocker(ui.listWidget_treating);
    ui.listWidget_treating->clear();
    const patientRecord patient = current();
    ui.listWidget_treating->setEnabled(patient.id);
    if (!patient.id)
        return;
    const QStringList treating = store.treating(patient.id);
    // Also one who treats the patient but has left the practice's group.
    QStringList roles = therapists;
    for (const QString &role : treating) {
        if (!roles.contains(role))
            roles.append(role);
    }
    for (const QString &role : std::as_const(roles)) {
        auto *item = new QListWidgetItem(role == ownRole ? tr("%1 (Sie)").arg(role) : role, ui.listWidget_treating);
        item->setData(Qt::UserRole, role);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(treating.contains(role) ? Qt::Checked : Qt::Unchecked);
    }
}

void patientDialog::changeTreating(QListWidgetItem *changed)
{
    const patientRecord patient = current();
    QStringList roles;
    for (int i = 0; i < ui.listWidget_treating->count(); ++i) {
        const QListWidgetItem *item = ui.listWidget_treating->item(i);
        if (item->checkState() == Qt::Checked)
            roles.append(item->data(Qt::UserRole).toString());
    }
    const QString role = changed->data(Qt::UserRole).toString();
    if (!patient.id)
        return;
    if (roles.isEmpty()) {
        complain(tr("„%1“ braucht mindestens eine Behandelnde oder einen Behandelnden. Kreuzen Sie zuerst an, "
                    "wer ihn weiter behandelt.").arg(patient.shown()));
        return fillTreating();
    }
    if (role == ownRole && !roles.contains(ownRole)) {
        QMessageBox box(QMessageBox::Question, tr("Behandelnde"),
                        tr("Wenn Sie sich austragen, sehen Sie „%1“ und seine Aufzeichnungen nach dem nächsten "
                           "Abgleich mit dem Praxisserver nicht mehr.").arg(patient.shown()),
                        QMessageBox::NoButton, this);
        box.setFont(font());
        QPushButton *leave = box.addButton(tr("Austragen"), QMessageBox::AcceptRole);
        box.setDefaultButton(box.addButton(tr("Abbrechen"), QMessageBox::RejectRole));
        box.exec();
        if (box.clickedButton() != leave)
            return fillTreating();
    }
    if (!store.setTreating(patient.id, roles)) {
        complain(store.takeNotice());
        fillTreating();
    }
}

void patientDialog::fill(qint64 select)
{
    ui.listWidget_patients->clear();
    m_patients = store.patients();
    for (const patientRecord &patient : std::as_const(m_patients)) {
        auto *item = new QListWidgetItem(patient.shown(), ui.listWidget_patients);
        item->setData(Qt::UserRole, patient.id);
        if (patient.id == select)
            ui.listWidget_patients->setCurrentItem(item);
    }
    updateButtons();
    fillLog();
}

void patientDialog::fillLog()
{
    ui.listWidget_audit->clear();
    const QMap<QString, QString> actions{{recordStore::exportedCsv, tr("Verlauf als CSV exportiert")},
                                         {recordStore::exportedPdf, tr("Verlauf als PDF exportiert")},
                                         {recordStore::exportedHomework, tr("Hausaufgabe erstellt")},
                                         {recordStore::imported, tr("Ergebnisse einer Hausaufgabe übernommen")},
                                         {recordStore::deleted, tr("Patient gelöscht")}};
    for (const auditRecord &line : store.accessLog()) {
        // Of a deleted patient only the first digits of the identity, which
        // tell the lines of one patient apart.
        const QString patient = line.patient.isEmpty()
            ? tr("Kennung %1… (der Name wird nach dem Löschen nicht aufbewahrt)").arg(line.patientUid.left(8))
            : line.patient;
        ui.listWidget_audit->addItem(tr("%1  %2: %3 – %4")
                                         .arg(line.at.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm")),
                                              line.user, actions.value(line.action, line.action), patient));
    }
    ui.groupBox_audit->setVisible(ui.listWidget_audit->count());
}

patientRecord patientDialog::current() const
{
    const int row = ui.listWidget_patients->currentRow();
    return row >= 0 && row < m_patients.size() ? m_patients.at(row) : patientRecord();
}

void patientDialog::complain(const QString &message)
{
    showNotice(this, QMessageBox::Warning, windowTitle(), message);
}
