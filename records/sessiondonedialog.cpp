#include "records/sessiondonedialog.h"

#include "dialogs/screenfit.h"
#include "records/notice.h"

sessionDoneDialog::sessionDoneDialog(const QString &summary, QWidget *parent)
    : QDialog(parent)
{
    ui.setupUi(this);
    if (parent)
        setFont(parent->font());
    ui.label_summary->setText(summary);
    ignoreAnswerKeys(this);
    connect(ui.pushButton_goOn, &QPushButton::clicked, this, &sessionDoneDialog::reject);
    connect(ui.pushButton_stop, &QPushButton::clicked, this, &sessionDoneDialog::accept);
    keepOnScreen(this);
}
