#include "dialogs/aboutwindow.h"

#include "dialogs/screenfit.h"
#include "words/textdocument.h"

#include <QLabel>
#include <QPushButton>
#include <QString>

namespace {

// Taken from the build's project version, so the dialog can never show a
// version other than the one the program was built as.
QString versionLine()
{
    const QString version = QString::number(SKARVEL_VERSION_MAJOR) + QLatin1Char('.')
            + QString::number(SKARVEL_VERSION_MINOR) + QLatin1Char('.')
            + QString::number(SKARVEL_VERSION_PATCH);
    return QStringLiteral("<SPAN style=\"color : #000058; font-size : 15px;\">Version ")
            + version + QStringLiteral("</SPAN><br>");
}

} // namespace

aboutWindow::aboutWindow(QWidget *parent)
    : QDialog(parent)
{
    ui.setupUi(this);
    keepOnScreen(this);

    ui.textEdit_ueber->setText(readTextDocument(QStringLiteral(":/data/ueber.html"))
                               + versionLine());
    // Only the about text carries the maker's web link; the licence stays inert.
    ui.textEdit_ueber->setOpenExternalLinks(true);

    ui.textEdit_Lizenz->setText(readTextDocument(QStringLiteral(":/data/lizenz.html")));

    connect(ui.pushButton_OK, &QPushButton::clicked, this, &aboutWindow::close);
}
