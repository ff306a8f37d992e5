#ifndef VERLAUFREPORT_H
#define VERLAUFREPORT_H

#include "records/recordstore.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

class QIODevice;
class QWidget;

// The Verlauf of one patient in the words of its table. The dialog, the CSV
// and the PDF show the same cells, so what a therapist files is what she saw.
class verlaufReport
{
public:
    verlaufReport(const QString &patient, const QList<trainingSummary> &trainings,
                  const QList<QPair<QString, int>> &missed);

    // twoLines: the long titles broken for a narrow table. "Darbietung"
    // comes last, and only where another than "Nur Schrift" was trained:
    // the columns before it stay where a reader of the CSV expects them.
    QStringList header(bool twoLines = false) const;
    static QString presentationName(int presentation);
    static bool isNumber(int column); // right-aligned
    bool showsPresentations() const;
    // "Ort" comes after everything else, and only once a training was done
    // at home.
    bool showsPlace() const;

    // The practice per week (practiceTime::byWeek) and the goal for a
    // week, 0 for none. A therapist who never gives homework sees the chart
    // only once there is more than one week to compare.
    void setPractice(const QList<practiceTime::practiceSum> &weeks, int weeklyGoalMinutes);
    bool showsPractice() const;
    // "Übungszeit: 3 Std. 20 Min., davon zu Hause 2 Std. 5 Min."
    QString practiceLine() const;
    // Minutes per week, stacked in the practice and at home, the goal as a line.
    QWidget *practiceChartView(QWidget *parent) const;
    // Per training type, the percentage right at the first attempt with each
    // presentation trained; empty where only "Nur Schrift" was.
    QStringList byPresentation() const;
    // One row per training, oldest first.
    const QList<QStringList> &rows() const;
    const QList<QPair<QString, int>> &missed() const;
    // "05.01.2026 – 12.03.2026"; empty without trainings.
    QString period() const;

    // The percentage right at the first attempt per training, over time.
    QWidget *chartView(QWidget *parent) const;
    // Semicolons, UTF-8 with a byte-order mark and CRLF: German spreadsheet
    // programs open it as it is.
    QByteArray csv() const;
    // An A4 report: patient, period, the percentages per presentation, chart,
    // table, the words missed most.
    void writePdf(QIODevice *device) const;

private:
    QString m_patient;
    QList<trainingSummary> m_trainings;
    QList<QPair<QString, int>> m_missed;
    QList<QStringList> m_rows;
    bool m_showsPresentations = false;
    bool m_showsPlace = false;
    QList<practiceTime::practiceSum> m_weeks;
    int m_weeklyGoalMinutes = 0;
};

#endif // VERLAUFREPORT_H
