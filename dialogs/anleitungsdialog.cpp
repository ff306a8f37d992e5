#include "dialogs/anleitungsdialog.h"

#include "dialogs/screenfit.h"
#include "ui_anleitungsdialog.h"

#include <QEvent>
#include <QFont>
#include <QLabel>
#include <QPushButton>

AnleitungsDialog::AnleitungsDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui_AnleitungsDialog)
{
    ui->setupUi(this);
    keepOnScreen(this);

    // Word wrap together with the scroll area's fixed-off horizontal bar is
    // what keeps long lines inside the visible width.
    ui->label->setWordWrap(true);
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(12);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    ui->label->setFont(font);

    connect(ui->pushButton, &QPushButton::clicked, this, &AnleitungsDialog::close);
}

AnleitungsDialog::~AnleitungsDialog()
{
    delete ui;
}

void AnleitungsDialog::setText(QString text)
{
    ui->label->setText(text);
}

void AnleitungsDialog::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
}
