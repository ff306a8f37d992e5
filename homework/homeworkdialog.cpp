#include "homework/homeworkdialog.h"

#include "dialogs/screenfit.h"
#include "words/threewords.h"
#include "words/wordlist.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

homeworkDialog::homeworkDialog(const QString &patient, const homeworkInfo &homework, const QString &ownList,
                               QWidget *parent)
    : QDialog(parent)
    , m_homework(homework)
{
    ui.setupUi(this);
    ui.label_patient->setText(tr("Hausaufgabe für %1").arg(patient));
    ui.buttonBox->button(QDialogButtonBox::Save)->setText(tr("Speichern…"));
    ui.comboBox_list->addItem(tr("Mitgelieferte Wortliste"), QString());
    if (!ownList.isEmpty())
        ui.comboBox_list->addItem(QFileInfo(ownList).fileName(), ownList);
    ui.comboBox_list->addItem(tr("Andere Wortliste wählen…"));
    ui.comboBox_list->setCurrentIndex(ownList.isEmpty() ? 0 : 1);

    const QVariantMap &settings = homework.settings;
    ui.comboBox_type->setCurrentIndex(qBound(0, settings.value(QStringLiteral("gameType"), 1).toInt(), 1));
    ui.comboBox_method->setCurrentIndex(settings.value(QStringLiteral("gameMethod"), 1).toInt() == 2);
    ui.spinBox_delay->setValue(settings.value(QStringLiteral("timeDelay"), 2000).toInt() / 1000);
    ui.spinBox_fontSize->setValue(settings.value(QStringLiteral("fontSize"), 14).toInt());
    ui.comboBox_presentation->setCurrentIndex(qBound(0, settings.value(QStringLiteral("presentation"), 0).toInt(), 3));
    ui.checkBox_speech->setChecked(settings.value(QStringLiteral("speakWords")).toString() == QLatin1String("true"));
    ui.spinBox_minutes->setValue(homework.minutesPerDay);
    ui.spinBox_days->setValue(homework.daysPerWeek);
    const QDate starts = homework.starts.isValid() ? homework.starts : QDate::currentDate();
    ui.dateEdit_starts->setDate(starts);
    ui.dateEdit_ends->setDate(homework.ends.isValid() ? homework.ends : starts.addDays(27));
    ui.checkBox_settingsFree->setChecked(homework.settingsFree);
    ui.lineEdit_displayName->setText(homework.displayName);
    fillGroups();

    connect(ui.comboBox_list, qOverload<int>(&QComboBox::activated), this, &homeworkDialog::listChosen);
    connect(ui.comboBox_type, qOverload<int>(&QComboBox::currentIndexChanged), this, &homeworkDialog::fillGroups);
    connect(ui.buttonBox, &QDialogButtonBox::accepted, this, &homeworkDialog::accept);
    connect(ui.buttonBox, &QDialogButtonBox::rejected, this, &homeworkDialog::reject);
    keepOnScreen(this);
}

const homeworkInfo &homeworkDialog::homework() const
{
    return m_homework;
}

void homeworkDialog::listChosen(int index)
{
    if (index == ui.comboBox_list->count() - 1) {
        const QString path = QFileDialog::getOpenFileName(this, tr("Wortliste für die Hausaufgabe"), QString(),
                                                          tr("Wortlisten (*.txt);;Alle Dateien (*)"));
        if (path.isEmpty()) {
            ui.comboBox_list->setCurrentIndex(0);
        } else {
            ui.comboBox_list->insertItem(index, QFileInfo(path).fileName(), path);
            ui.comboBox_list->setCurrentIndex(index);
        }
    }
    fillGroups();
}

void homeworkDialog::fillGroups()
{
    const QString path = ui.comboBox_list->currentData().toString();
    const QString wanted = ui.comboBox_group->count() ? ui.comboBox_group->currentText()
                                                      : m_homework.settings.value(QStringLiteral("wordGroup")).toString();
    QStringList groups = wordList::read(path.isEmpty() ? threeWords::bundledDocument : path).names();
    if (ui.comboBox_type->currentIndex() == 0)
        groups.append(threeWords::allGroups);
    ui.comboBox_group->clear();
    ui.comboBox_group->addItems(groups);
    ui.comboBox_group->setCurrentIndex(qMax(0, groups.indexOf(wanted)));
}

void homeworkDialog::accept()
{
    const QString problem = homeworkFile::takeList(ui.comboBox_list->currentData().toString(), &m_homework);
    if (!problem.isEmpty()) {
        QMessageBox::warning(this, windowTitle(), problem);
        return;
    }
    QVariantMap &settings = m_homework.settings;
    settings.insert(QStringLiteral("gameType"), ui.comboBox_type->currentIndex());
    settings.insert(QStringLiteral("wordGroup"), ui.comboBox_group->currentText());
    settings.insert(QStringLiteral("gameMethod"), ui.comboBox_method->currentIndex() ? 2 : 1);
    settings.insert(QStringLiteral("timeDelay"), ui.spinBox_delay->value() * 1000);
    settings.insert(QStringLiteral("fontSize"), ui.spinBox_fontSize->value());
    settings.insert(QStringLiteral("presentation"), ui.comboBox_presentation->currentIndex());
    settings.insert(QStringLiteral("speakWords"), ui.checkBox_speech->isChecked() ? QStringLiteral("true")
                                                                                 : QStringLiteral("false"));
    m_homework.minutesPerDay = ui.spinBox_minutes->value();
    m_homework.daysPerWeek = ui.spinBox_days->value();
    m_homework.starts = ui.dateEdit_starts->date();
    m_homework.ends = qMax(ui.dateEdit_starts->date(), ui.dateEdit_ends->date());
    m_homework.settingsFree = ui.checkBox_settingsFree->isChecked();
    m_homework.displayName = ui.lineEdit_displayName->text().simplified();
    QDialog::accept();
}
