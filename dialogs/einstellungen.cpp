#include "dialogs/einstellungen.h"

#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

einstellungen::einstellungen(QWidget *parent)
    : QDialog(parent)
{
    ui.setupUi(this);

    // The form is laid out for 474 x 220 pixels. Where the platform's font
    // is wider than the one it was drawn with, "Zeitverzögerung" would be cut
    // off; the dialog then grows just enough to show every text whole, and
    // stays fixed at that size.
    const QSize needed = minimumSizeHint().expandedTo(size());
    if (needed != size())
        setFixedSize(needed);

    connect(ui.pushButton_OK, &QPushButton::clicked, this, &einstellungen::close);
    // clicked, not toggled: presetting must not write the method back, while
    // a click on the button that is already checked must.
    connect(ui.radioButton_weiter, &QRadioButton::clicked, this, &einstellungen::gameMethod_1);
    connect(ui.radioButton_time, &QRadioButton::clicked, this, &einstellungen::gameMethod_2);
    connect(ui.spinBox_time, qOverload<int>(&QSpinBox::valueChanged),
            this, &einstellungen::timeDelayChanged);
    connect(ui.spinBox_fontSize, qOverload<int>(&QSpinBox::valueChanged),
            this, &einstellungen::fontSizeChanged);
}

einstellungen::~einstellungen() = default;

void einstellungen::showPreferences()
{
}

void einstellungen::setFontSize(int size)
{
    ui.spinBox_fontSize->setValue(size);
}

void einstellungen::setGameMethod(int method)
{
    // Unchecking the checked button of an auto-exclusive pair is refused by
    // the button itself, so each branch ends with exactly the wanted button
    // checked whatever the starting state.
    if (method == 1) {
        if (!ui.radioButton_weiter->isChecked())
            ui.radioButton_weiter->toggle();
        if (ui.radioButton_time->isChecked())
            ui.radioButton_time->toggle();
    } else if (method == 2) {
        if (ui.radioButton_weiter->isChecked())
            ui.radioButton_weiter->toggle();
        if (!ui.radioButton_time->isChecked())
            ui.radioButton_time->toggle();
    }
}

void einstellungen::setTimeDelay(int time)
{
    ui.spinBox_time->setValue(time / 1000);
}
