#include "dialogs/datenablage.h"

#include <QFileDialog>
#include <QKeyEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

datenablage::datenablage(QWidget *parent)
    : QWidget(parent)
{
    ui.setupUi(this);
    reserveNote();

    connect(ui.radioButton_server, &QRadioButton::toggled, ui.widget_server, &QWidget::setEnabled);
    connect(ui.radioButton_server, &QRadioButton::toggled, this, &datenablage::changed);
    for (QLineEdit *edit : {ui.lineEdit_host, ui.lineEdit_port, ui.lineEdit_database, ui.lineEdit_user,
                            ui.lineEdit_password, ui.lineEdit_caFile}) {
        connect(edit, &QLineEdit::textEdited, this, &datenablage::changed);
        edit->installEventFilter(this);
    }
    connect(ui.pushButton_caFile, &QPushButton::clicked, this, &datenablage::chooseCaFile);
    connect(ui.pushButton_apply, &QPushButton::clicked, this, [this] {
        emit applyRequested(ui.radioButton_server->isChecked(), fields(), ui.lineEdit_password->text());
    });
}

datenablage::~datenablage() = default;

void datenablage::setChoice(bool onServer, const recordsLocation::server &fields, bool passwordKept)
{
    (onServer ? ui.radioButton_server : ui.radioButton_computer)->setChecked(true);
    ui.lineEdit_host->setText(fields.host);
    ui.lineEdit_port->setText(fields.port);
    ui.lineEdit_database->setText(fields.database);
    ui.lineEdit_user->setText(fields.user);
    ui.lineEdit_caFile->setText(fields.caFile);
    ui.lineEdit_password->clear();
    setPasswordKept(passwordKept);
    // Presetting is no change of the user's.
    ui.pushButton_apply->setEnabled(false);
}

void datenablage::setPasswordKept(bool kept)
{
    ui.lineEdit_password->setPlaceholderText(kept ? tr("leer lassen: bleibt gespeichert") : QString());
}

void datenablage::applied(const QString &note)
{
    ui.lineEdit_password->clear();
    ui.pushButton_apply->setEnabled(false);
    setNote(note);
}

void datenablage::setNote(const QString &note)
{
    ui.label_note->setText(note);
}

void datenablage::addNote(const QString &line)
{
    const QString note = ui.label_note->text();
    setNote(note.isEmpty() ? line : note + QLatin1Char('\n') + line);
}

void datenablage::showProblem(const recordsLocation::problem &problem)
{
    setNote(problem.text);
    QLineEdit *field = problem.field == recordsLocation::Host ? ui.lineEdit_host
        : problem.field == recordsLocation::Port              ? ui.lineEdit_port
        : problem.field == recordsLocation::Database          ? ui.lineEdit_database
        : problem.field == recordsLocation::User              ? ui.lineEdit_user
        : problem.field == recordsLocation::CaFile            ? ui.lineEdit_caFile
                                                              : nullptr;
    if (field) {
        field->setFocus();
        field->selectAll();
    }
}

void datenablage::setBusy(bool busy)
{
    m_busy = busy;
    ui.radioButton_computer->setEnabled(!busy);
    ui.radioButton_server->setEnabled(!busy);
    ui.widget_server->setEnabled(!busy && ui.radioButton_server->isChecked());
    ui.pushButton_apply->setText(busy ? tr("Wird übernommen …") : tr("Übernehmen"));
    if (busy)
        ui.pushButton_apply->setEnabled(false);
}

void datenablage::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        reserveNote();
    QWidget::changeEvent(event);
}

// Room for a few lines of note from the start: the dialog keeps its size,
// and a note coming would squeeze the fields.
void datenablage::reserveNote()
{
    ui.label_note->setMinimumHeight(4 * fontMetrics().lineSpacing());
}

bool datenablage::eventFilter(QObject *watched, QEvent *event)
{
    // Enter in a field takes the fields over; passed on, it would reach the
    // dialog's "Ok" and close it with what was typed lost.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (ui.pushButton_apply->isEnabled())
                ui.pushButton_apply->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

recordsLocation::server datenablage::fields() const
{
    recordsLocation::server fields;
    fields.host = ui.lineEdit_host->text();
    fields.port = ui.lineEdit_port->text();
    fields.database = ui.lineEdit_database->text();
    fields.user = ui.lineEdit_user->text();
    fields.caFile = ui.lineEdit_caFile->text();
    return fields;
}

void datenablage::chooseCaFile()
{
    const QString file = QFileDialog::getOpenFileName(this, tr("CA-Datei des Praxisservers wählen"),
                                                      QFileInfo(ui.lineEdit_caFile->text()).absolutePath(),
                                                      tr("Zertifikate (*.pem *.crt *.cer);;Alle Dateien (*)"));
    if (file.isEmpty())
        return;
    ui.lineEdit_caFile->setText(file);
    changed();
}

void datenablage::changed()
{
    ui.pushButton_apply->setEnabled(!m_busy);
}
