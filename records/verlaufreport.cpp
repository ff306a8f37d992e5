#include "records/verlaufreport.h"

#include "words/qtcompat.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QDateTimeAxis>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QImage>
#include <QLineSeries>
#include <QLocale>
#include <QMap>
#include <QPainter>
#include <QPdfWriter>
#include <QStackedBarSeries>
#include <QTextDocument>
#include <QUrl>
#include <QValueAxis>
#include <QVector>

#include <algorithm>
#include <utility>

using namespace QtCompat::Charts;

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("verlaufReport", text);
}

int percentRight(int firstRight, int items)
{
    // Truncated, as the window counts.
    return items ? int(double(firstRight) / items * 100.0) : 0;
}

int percentRight(const trainingSummary &training)
{
    return percentRight(training.firstRight, training.items);
}


QString typeName(int gameType)
{
    if (gameType == 0)
        return tr("Falschwörter");
    if (gameType == 1)
        return tr("gruppenfremde Wörter");
    return QString::number(gameType);
}

QString csvField(QString field)
{
    // A spreadsheet program runs a cell that begins like this as a formula
    // (a group or a list named "=HYPERLINK(…)"); the apostrophe keeps it text.
    const bool formula = !field.isEmpty() && QStringLiteral("=+-@\t\r").contains(field.at(0));
    if (formula)
        field.prepend(QLatin1Char('\''));
    else if (!field.contains(QLatin1Char(';')) && !field.contains(QLatin1Char('"')) && !field.contains(QLatin1Char('\n'))
             && !field.contains(QLatin1Char('\r')))
        return field;
    field.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + field + QLatin1Char('"');
}

QChart *makeChart(const QList<trainingSummary> &trainings, bool byPresentation)
{
    // One line per type, and per presentation where more than one was
    // trained: a line from a "Falschwörter" training to one of "gruppenfremde
    // Wörter", or from words read to words heard, would draw a progress that
    // is none.
    QMap<QPair<int, int>, QVector<QPointF>> points;
    for (const trainingSummary &training : trainings)
        points[{training.gameType, byPresentation ? training.presentation : 0}].append(
            QPointF(qreal(training.started.toMSecsSinceEpoch()), percentRight(training)));
    QList<QLineSeries *> lines;
    for (auto line = points.cbegin(); line != points.cend(); ++line) {
        auto *series = new QLineSeries;
        series->setName(byPresentation ? QStringLiteral("%1<br>%2").arg(typeName(line.key().first),
                                                                        verlaufReport::presentationName(line.key().second))
                                       : typeName(line.key().first));
        series->replace(line.value());
        series->setPointsVisible(true);
        lines.append(series);
    }

    auto *chart = new QChart;
    for (QLineSeries *series : std::as_const(lines))
        chart->addSeries(series);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->legend()->setVisible(!lines.isEmpty());
    chart->setMargins(QMargins(4, 4, 4, 4));
    auto *time = new QDateTimeAxis;
    time->setFormat(QStringLiteral("dd.MM.yy"));
    // Whole days, a tick at most every day: dates never repeat on the axis,
    // and a single day still stands between two others.
    QDate first = trainings.isEmpty() ? QDate::currentDate() : trainings.first().started.toLocalTime().date();
    QDate last = (trainings.isEmpty() ? first : trainings.last().started.toLocalTime().date()).addDays(1);
    if (first.daysTo(last) < 3) {
        first = first.addDays(-1);
        last = last.addDays(1);
    }
    time->setRange(first.startOfDay(), last.startOfDay());
    time->setTickCount(int(qMin<qint64>(first.daysTo(last), 6)) + 1);
    auto *percent = new QValueAxis;
    percent->setRange(0, 100);
    percent->setTickCount(6);
    percent->setLabelFormat(QStringLiteral("%d %%"));
    percent->setTitleText(tr("Richtig im 1. Versuch"));
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(percent, Qt::AlignLeft);
    for (QLineSeries *series : std::as_const(lines)) {
        series->attachAxis(time);
        series->attachAxis(percent);
    }
    return chart;
}

// The weeks the chart shows: enough to see a trend, few enough that the
// labels stay readable on a small screen.
const int chartWeeks = 12;

QString hoursAndMinutes(qint64 ms)
{
    const qint64 minutes = ms / 60000;
    return minutes < 60 ? tr("%1 Min.").arg(minutes)
                        : tr("%1 Std. %2 Min.").arg(QString::number(minutes / 60), QString::number(minutes % 60));
}

QChart *makePracticeChart(const QList<practiceTime::practiceSum> &allWeeks, int goalMinutes)
{
    const QList<practiceTime::practiceSum> weeks = allWeeks.mid(qMax(0, int(allWeeks.size()) - chartWeeks));
    auto *room = new QBarSet(tr("in der Praxis"));
    auto *home = new QBarSet(tr("zu Hause"));
    QStringList labels;
    qreal highest = goalMinutes;
    bool anyHome = false;
    for (const practiceTime::practiceSum &week : weeks) {
        *room << week.roomMs / 60000.0;
        *home << week.homeMs / 60000.0;
        anyHome = anyHome || week.homeMs > 0;
        highest = qMax(highest, (week.roomMs + week.homeMs) / 60000.0);
        labels << tr("KW %1").arg(week.day.weekNumber());
    }
    auto *bars = new QStackedBarSeries;
    bars->append(room);
    if (anyHome)
        bars->append(home);
    else
        delete home;
    auto *chart = new QChart;
    chart->addSeries(bars);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));
    auto *axis = new QBarCategoryAxis;
    axis->append(labels);
    auto *minutes = new QValueAxis;
    minutes->setRange(0, qMax<qreal>(10, highest * 1.1));
    minutes->applyNiceNumbers();
    minutes->setLabelFormat(QStringLiteral("%d"));
    minutes->setTitleText(tr("Minuten je Woche"));
    chart->addAxis(axis, Qt::AlignBottom);
    chart->addAxis(minutes, Qt::AlignLeft);
    bars->attachAxis(axis);
    bars->attachAxis(minutes);
    if (goalMinutes > 0) {
        // Across the whole width: the bars stand at 0, 1, 2, …
        auto *goal = new QLineSeries;
        goal->setName(tr("Ziel: %1 Minuten").arg(goalMinutes));
        goal->append(-0.5, goalMinutes);
        goal->append(weeks.size() - 0.5, goalMinutes);
        QPen pen(Qt::darkGreen);
        pen.setWidth(2);
        pen.setStyle(Qt::DashLine);
        goal->setPen(pen);
        chart->addSeries(goal);
        goal->attachAxis(axis);
        goal->attachAxis(minutes);
    }
    chart->legend()->setVisible(anyHome || goalMinutes > 0);
    return chart;
}

// The chart drawn at twice the size it is laid out in, so that it stays
// sharp on paper.
QImage chartImage(QChart *chart, const QSizeF &size)
{
    QImage image((size * 2).toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QGraphicsScene scene;
    scene.addItem(chart);
    chart->setGeometry(QRectF(QPointF(0, 0), size));
    // The axes lay themselves out in posted events.
    QCoreApplication::sendPostedEvents(chart);
    QCoreApplication::sendPostedEvents(&scene);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, QRectF(image.rect()), QRectF(QPointF(0, 0), size));
    return image;
}

} // namespace

verlaufReport::verlaufReport(const QString &patient, const QList<trainingSummary> &trainings,
                             const QList<QPair<QString, int>> &missed)
    : m_patient(patient)
    , m_trainings(trainings)
    , m_missed(missed)
{
    const QLocale german(QLocale::German);
    m_showsPresentations = std::any_of(trainings.cbegin(), trainings.cend(),
                                       [](const trainingSummary &training) { return training.presentation != 0; });
    m_showsPlace = std::any_of(trainings.cbegin(), trainings.cend(),
                               [](const trainingSummary &training) { return training.atHome; });
    m_rows.reserve(trainings.size());
    for (const trainingSummary &training : trainings) {
        QString group = training.group;
        if (!training.wordList.isEmpty())
            group += QStringLiteral(" (") + QFileInfo(training.wordList).fileName() + QLatin1Char(')');
        m_rows.append({training.started.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm")),
                       typeName(training.gameType), group, QString::number(training.items),
                       QString::number(percentRight(training)),
                       training.medianMs < 0 ? QStringLiteral("–") : german.toString(training.medianMs / 1000.0, 'f', 1)});
        if (m_showsPresentations)
            m_rows.last().append(presentationName(training.presentation));
        if (m_showsPlace)
            m_rows.last().append(training.atHome ? tr("zu Hause") : tr("Praxis"));
    }
}

QStringList verlaufReport::header(bool twoLines) const
{
    QStringList titles{tr("Datum"), tr("Trainingstyp"), tr("Wortgruppe"), tr("Wörter"),
                       tr("Richtig im\n1. Versuch (%)"), tr("Median\nAntwortzeit (s)")};
    if (m_showsPresentations) {
        // Room for the extra column on a small screen.
        titles[4] = tr("Richtig im\n1. Versuch\n(%)");
        titles[5] = tr("Median\nAntwortzeit\n(s)");
        titles.append(tr("Darbietung"));
    }
    if (m_showsPlace)
        titles.append(tr("Ort"));
    if (!twoLines)
        titles.replaceInStrings(QStringLiteral("\n"), QStringLiteral(" "));
    return titles;
}

QString verlaufReport::presentationName(int presentation)
{
    switch (presentation) {
    case 0:
        return tr("Nur Schrift");
    case 1:
        return tr("Bild und Schrift");
    case 2:
        return tr("Hören und Schrift");
    case 3:
        return tr("Bild, Hören und Schrift");
    default:
        return QString::number(presentation);
    }
}

bool verlaufReport::isNumber(int column)
{
    return column >= 3 && column <= 5;
}

bool verlaufReport::showsPresentations() const
{
    return m_showsPresentations;
}

bool verlaufReport::showsPlace() const
{
    return m_showsPlace;
}

void verlaufReport::setPractice(const QList<practiceTime::practiceSum> &weeks, int weeklyGoalMinutes)
{
    m_weeks = weeks;
    m_weeklyGoalMinutes = qMax(0, weeklyGoalMinutes);
}

bool verlaufReport::showsPractice() const
{
    return m_weeks.size() > 1 || m_showsPlace || (m_weeklyGoalMinutes > 0 && !m_weeks.isEmpty());
}

QString verlaufReport::practiceLine() const
{
    qint64 room = 0, home = 0;
    for (const practiceTime::practiceSum &week : m_weeks)
        room += week.roomMs, home += week.homeMs;
    QString line = tr("Übungszeit: %1").arg(hoursAndMinutes(room + home));
    if (home > 0)
        line = tr("%1, davon zu Hause %2").arg(line, hoursAndMinutes(home));
    return line;
}

QWidget *verlaufReport::practiceChartView(QWidget *parent) const
{
    auto *view = new QChartView(makePracticeChart(m_weeks, m_weeklyGoalMinutes), parent);
    view->setRenderHint(QPainter::Antialiasing);
    view->setAccessibleName(tr("Übungszeit je Woche"));
    return view;
}

QStringList verlaufReport::byPresentation() const
{
    QStringList lines;
    if (!m_showsPresentations)
        return lines;
    // Over the words, not the trainings: a training of five words weighs
    // less than one of fifty.
    QMap<int, QMap<int, QPair<int, int>>> counts; // type, presentation: right at once, words
    for (const trainingSummary &training : m_trainings) {
        QPair<int, int> &count = counts[training.gameType][training.presentation];
        count.first += training.firstRight;
        count.second += training.items;
    }
    for (auto type = counts.cbegin(); type != counts.cend(); ++type) {
        QStringList parts;
        for (auto count = type->cbegin(); count != type->cend(); ++count) {
            const int words = count->second;
            parts.append(tr("%1 %2 % (%3)").arg(presentationName(count.key()),
                                                 QString::number(percentRight(count->first, words)),
                                                 words == 1 ? tr("1 Wort") : tr("%1 Wörter").arg(words)));
        }
        lines.append(tr("%1, richtig im 1. Versuch: %2").arg(typeName(type.key()), parts.join(QStringLiteral(", "))));
    }
    return lines;
}

const QList<QStringList> &verlaufReport::rows() const
{
    return m_rows;
}

const QList<QPair<QString, int>> &verlaufReport::missed() const
{
    return m_missed;
}

QString verlaufReport::period() const
{
    if (m_trainings.isEmpty())
        return QString();
    const QString format = QStringLiteral("dd.MM.yyyy");
    const trainingSummary &last = m_trainings.last();
    return m_trainings.first().started.toLocalTime().toString(format) + QStringLiteral(" – ")
        + (last.ended.isValid() ? last.ended : last.started).toLocalTime().toString(format);
}

QWidget *verlaufReport::chartView(QWidget *parent) const
{
    auto *view = new QChartView(makeChart(m_trainings, m_showsPresentations), parent);
    view->setRenderHint(QPainter::Antialiasing);
    view->setAccessibleName(tr("Richtig im 1. Versuch je Training"));
    return view;
}

QByteArray verlaufReport::csv() const
{
    QString text;
    for (const QStringList &row : QList<QStringList>{header()} + m_rows) {
        QStringList fields;
        for (const QString &field : row)
            fields.append(csvField(field));
        text += fields.join(QLatin1Char(';')) + QStringLiteral("\r\n");
    }
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

void verlaufReport::writePdf(QIODevice *device) const
{
    QPdfWriter writer(device);
    writer.setPageSize(QPageSize(QPageSize::A4));
    // QTextDocument::print() keeps 2 cm free on every side itself.
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setTitle(tr("Verlauf – %1").arg(m_patient));
    writer.setCreator(QStringLiteral("Skarvel"));

    // 17 cm wide at 96 dpi. A line per presentation needs a longer legend:
    // the chart is laid out larger and shown at the same width.
    const int width = 640;
    const QSizeF size = m_showsPresentations ? QSizeF(760, 320) : QSizeF(width, 270);
    const QImage image = chartImage(makeChart(m_trainings, m_showsPresentations), size);

    QString html = QStringLiteral("<h2>%1</h2><p>%2<br>%3</p><p><img src=\"skarvel:chart\" width=\"%4\"></p>")
                       .arg(tr("Verlauf – %1").arg(m_patient.toHtmlEscaped()),
                            tr("Zeitraum: %1").arg(period()),
                            tr("Erstellt am %1 mit Skarvel")
                                .arg(QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm"))),
                            QString::number(width));
    if (showsPractice())
        html += QStringLiteral("<p>%1</p><p><img src=\"skarvel:practice\" width=\"%2\"></p>")
                    .arg(practiceLine().toHtmlEscaped(), QString::number(width));
    if (m_showsPresentations) {
        QStringList lines = byPresentation();
        for (QString &line : lines)
            line = line.toHtmlEscaped();
        html += QStringLiteral("<p>") + lines.join(QStringLiteral("<br>")) + QStringLiteral("</p>");
    }
    html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\"><thead><tr>");
    for (const QString &title : header(true))
        html += QStringLiteral("<th>") + title.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"))
            + QStringLiteral("</th>");
    html += QStringLiteral("</tr></thead>");
    for (const QStringList &row : m_rows) {
        html += QStringLiteral("<tr>");
        for (int column = 0; column < row.size(); ++column)
            html += QLatin1String(isNumber(column) ? "<td align=\"right\">" : "<td>") + row.at(column).toHtmlEscaped()
                + QStringLiteral("</td>");
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table>");
    if (!m_missed.isEmpty()) {
        html += QStringLiteral("<h3>") + tr("Am häufigsten falsch beantwortet") + QStringLiteral("</h3><p>");
        QStringList words;
        for (const auto &word : m_missed)
            words.append(QStringLiteral("%1 (%2)").arg(word.first.toHtmlEscaped(), QString::number(word.second)));
        html += words.join(QStringLiteral(", ")) + QStringLiteral("</p>");
    }

    QTextDocument document;
    QFont font = document.defaultFont();
    font.setPointSize(9);
    document.setDefaultFont(font);
    // A narrow column breaks between words, never inside one.
    QTextOption wrap = document.defaultTextOption();
    wrap.setWrapMode(QTextOption::WordWrap);
    document.setDefaultTextOption(wrap);
    document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("skarvel:chart")), image);
    if (showsPractice())
        document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("skarvel:practice")),
                             chartImage(makePracticeChart(m_weeks, m_weeklyGoalMinutes), QSizeF(width, 240)));
    document.setHtml(html);
    document.print(&writer);
}
