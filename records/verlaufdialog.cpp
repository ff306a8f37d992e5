#include "records/verlaufdialog.h"

#include "dialogs/screenfit.h"
#include "records/notice.h"
#include "records/recordstore.h"
#include "words/userfile.h"

#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTableWidgetItem>
#include <QTimer>

verlaufDialog::verlaufDialog(recordStore &store, qint64 patientId, const QString &patient, QWidget *parent,
                             int weeklyGoalMinutes)
    : QDialog(parent)
    , store(store)
    , patientId(patientId)
    , patient(patient)
    , m_report(patient, store.trainings(patientId), store.mostMissed(patientId, 20))
{
    m_report.setPractice(practiceTime::byWeek(store.practiceDays(patientId)), weeklyGoalMinutes);
    ui.setupUi(this);
    keepOnScreen(this);
    setWindowTitle(tr("Verlauf – %1").arg(patient));

    const QList<QStringList> &rows = m_report.rows();
    ui.label_summary->setText(rows.isEmpty()
                                  ? tr("Für %1 ist noch nichts aufgezeichnet.").arg(patient)
                                  : tr("%1: %2, %3").arg(patient,
                                                         rows.size() == 1 ? tr("1 Training")
                                                                          : tr("%1 Trainings").arg(rows.size()),
                                                         m_report.period()));
    const QStringList byPresentation = m_report.byPresentation();
    ui.label_presentations->setText(byPresentation.join(QLatin1Char('\n')));
    ui.label_presentations->setVisible(!byPresentation.isEmpty());
    ui.chartLayout->addWidget(m_report.chartView(ui.chartArea));
    // A tab of its own, so that the dialog grows no taller; without a
    // second week, homework or a goal there is nothing to compare, and the
    // tab bar hides itself.
    if (m_report.showsPractice()) {
        ui.practiceLayout->addWidget(m_report.practiceChartView(ui.practiceArea));
        ui.label_summary->setText(tr("%1. %2").arg(ui.label_summary->text(), m_report.practiceLine()));
    } else {
        ui.tabWidget_charts->removeTab(1);
    }

    QTableWidget *table = ui.tableWidget_trainings;
    table->setColumnCount(m_report.header().size());
    table->setHorizontalHeaderLabels(m_report.header(true));
    table->setRowCount(rows.size());
    for (int row = 0; row < rows.size(); ++row) {
        for (int column = 0; column < rows.at(row).size(); ++column) {
            auto *item = new QTableWidgetItem(rows.at(row).at(column));
            if (verlaufReport::isNumber(column))
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(row, column, item);
        }
    }
    // The group takes the room that is left; beside the presentation there
    // is too little left on a small screen, so there the group keeps its
    // words and the table scrolls sideways. Measuring every one of
    // thousands of rows would cost more than the rest of the dialog.
    QHeaderView *header = table->horizontalHeader();
    header->setResizeContentsPrecision(40);
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    const bool extraColumns = m_report.showsPresentations() || m_report.showsPlace();
    header->setSectionResizeMode(2, extraColumns ? QHeaderView::ResizeToContents : QHeaderView::Stretch);
    header->setStretchLastSection(extraColumns);
    // The newest trainings, once the table knows its height.
    QTimer::singleShot(0, table, &QTableWidget::scrollToBottom);

    for (const auto &word : m_report.missed())
        ui.listWidget_missed->addItem(QStringLiteral("%1 (%2)").arg(word.first, QString::number(word.second)));

    ui.pushButton_csv->setEnabled(!rows.isEmpty());
    ui.pushButton_pdf->setEnabled(!rows.isEmpty());
    connect(ui.pushButton_csv, &QPushButton::clicked, this, &verlaufDialog::chooseCsv);
    connect(ui.pushButton_pdf, &QPushButton::clicked, this, &verlaufDialog::choosePdf);
    connect(ui.pushButton_close, &QPushButton::clicked, this, &verlaufDialog::accept);
}

const verlaufReport &verlaufDialog::report() const
{
    return m_report;
}

bool verlaufDialog::exportCsv(const QString &fileName, QString *error) const
{
    if (!logExport(recordStore::exportedCsv, error))
        return false;
    // A patient's Verlauf is health data: for the user's eyes alone.
    *error = userFile::write(fileName, m_report.csv(), userFile::Private);
    return error->isEmpty();
}

bool verlaufDialog::exportPdf(const QString &fileName, QString *error) const
{
    if (!logExport(recordStore::exportedPdf, error))
        return false;
    // The PDF writer does not report a failed write; userFile notices it.
    *error = userFile::write(fileName, [this](QIODevice &file) {
        m_report.writePdf(&file);
        return true;
    }, userFile::Private);
    return error->isEmpty();
}

// Noted before the file is written: no export goes unrecorded.
bool verlaufDialog::logExport(const QString &action, QString *error) const
{
    if (store.logAccess(action, patientId))
        return true;
    *error = tr("%1 Der Verlauf wurde nicht exportiert.").arg(store.takeNotice());
    return false;
}

void verlaufDialog::chooseCsv()
{
    exportAs(tr("Verlauf als CSV exportieren"), tr("CSV-Dateien (*.csv)"), QStringLiteral("csv"),
             &verlaufDialog::exportCsv);
}

void verlaufDialog::choosePdf()
{
    exportAs(tr("Verlauf als PDF exportieren"), tr("PDF-Dateien (*.pdf)"), QStringLiteral("pdf"),
             &verlaufDialog::exportPdf);
}

void verlaufDialog::exportAs(const QString &title, const QString &filter, const QString &suffix, Writer write)
{
    // The patient's name stands in the file name, without the characters
    // that no file name may hold on one of the systems.
    QString name = tr("Verlauf %1 %2").arg(patient, QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
    name.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|]")), QStringLiteral("-"));
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QFileInfo(folder).isDir())
        folder = QDir::homePath();
    QFileDialog dialog(this, title, folder + QLatin1Char('/') + name + QLatin1Char('.') + suffix, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFont(font());
    dialog.setDefaultSuffix(suffix);
    QString error;
    if (dialog.exec() == QDialog::Accepted && !(this->*write)(dialog.selectedFiles().value(0), &error))
        showNotice(this, QMessageBox::Warning, tr("Export"), error);
}
