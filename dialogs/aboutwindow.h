#ifndef ABOUTWINDOW_H
#define ABOUTWINDOW_H

#include "ui_aboutwindow.h"

#include <QDialog>

// The about and licence documents are read from the resource bundle each time
// the dialog is built, so it always shows what the bundle holds.
class aboutWindow : public QDialog
{
    Q_OBJECT

public:
    explicit aboutWindow(QWidget *parent = nullptr);

private:
    Ui_aboutDialog ui;
};

#endif // ABOUTWINDOW_H
