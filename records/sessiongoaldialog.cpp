#include "records/sessiongoaldialog.h"

#include "dialogs/screenfit.h"

#include <QPushButton>

sessionGoalDialog::sessionGoalDialog(int minutes, int words, QWidget *parent)
    : QDialog(parent)
{
    ui.setupUi(this);
    if (parent)
        setFont(parent->font());
    ui.buttonBox->button(QDialogButtonBox::Cancel)->setText(tr("Abbrechen"));
    if (minutes > 0) {
        ui.radioButton_minutes->setChecked(true);
        ui.spinBox_minutes->setValue(minutes);
    } else if (words > 0) {
        ui.radioButton_words->setChecked(true);
        ui.spinBox_words->setValue(words);
    }
    ui.spinBox_minutes->setEnabled(ui.radioButton_minutes->isChecked());
    ui.spinBox_words->setEnabled(ui.radioButton_words->isChecked());
    connect(ui.radioButton_minutes, &QRadioButton::toggled, ui.spinBox_minutes, &QSpinBox::setEnabled);
    connect(ui.radioButton_words, &QRadioButton::toggled, ui.spinBox_words, &QSpinBox::setEnabled);
    connect(ui.buttonBox, &QDialogButtonBox::accepted, this, &sessionGoalDialog::accept);
    connect(ui.buttonBox, &QDialogButtonBox::rejected, this, &sessionGoalDialog::reject);
    keepOnScreen(this);
}

int sessionGoalDialog::minutes() const
{
    return ui.radioButton_minutes->isChecked() ? ui.spinBox_minutes->value() : 0;
}

int sessionGoalDialog::words() const
{
    return ui.radioButton_words->isChecked() ? ui.spinBox_words->value() : 0;
}
