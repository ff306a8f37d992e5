#ifndef ANLEITUNGSDIALOG_H
#define ANLEITUNGSDIALOG_H

#include <QDialog>
#include <QString>

class QEvent;
class Ui_AnleitungsDialog;

// Shows the instructions document handed in by the window; the dialog reads
// nothing itself.
class AnleitungsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AnleitungsDialog(QWidget *parent = nullptr);
    ~AnleitungsDialog() override;

    void setText(QString text);

protected:
    void changeEvent(QEvent *event) override;

private:
    Q_DISABLE_COPY(AnleitungsDialog)

    Ui_AnleitungsDialog *ui;
};

#endif // ANLEITUNGSDIALOG_H
