#include "wordlists/wordlisterrors.h"

#include "dialogs/screenfit.h"

#include <QPushButton>

wordListErrors::wordListErrors(QWidget *parent)
    : QDialog(parent)
{
    ui.setupUi(this);
    keepOnScreen(this);
    connect(ui.buttonBox, &QDialogButtonBox::accepted, this, &wordListErrors::accept);
    connect(ui.buttonBox, &QDialogButtonBox::rejected, this, &wordListErrors::reject);
}

wordListErrors::~wordListErrors() = default;

void wordListErrors::setReport(const QString &summary, const QList<wordList::Problem> &problems,
                               const QString &acceptText, const QStringList &pictures)
{
    ui.label_summary->setText(summary);
    ui.listWidget_problems->clear();
    for (const wordList::Problem &problem : problems)
        ui.listWidget_problems->addItem(problem.message());
    ui.listWidget_problems->addItems(pictures);
    ui.listWidget_problems->setVisible(ui.listWidget_problems->count() > 0);

    ui.buttonBox->clear();
    if (!acceptText.isEmpty())
        ui.buttonBox->addButton(acceptText, QDialogButtonBox::AcceptRole);
    QPushButton *cancel = ui.buttonBox->addButton(acceptText.isEmpty() ? tr("Schließen") : tr("Abbrechen"),
                                                  QDialogButtonBox::RejectRole);
    // Nothing is loaded or written by a stray Enter.
    cancel->setDefault(true);

    // The summary alone: as high as its wrapped lines need.
    if (ui.listWidget_problems->count() == 0) {
        layout()->activate();
        resize(width(), layout()->totalHeightForWidth(width()));
    }
}

void wordListErrors::addAlternative(const QString &text)
{
    QPushButton *button = ui.buttonBox->addButton(text, QDialogButtonBox::ActionRole);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this] { done(Alternative); });
}
