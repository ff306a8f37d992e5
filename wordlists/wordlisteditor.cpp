#include "wordlists/wordlisteditor.h"

#include "dialogs/screenfit.h"
#include "wordlists/wordfielddelegate.h"
#include "wordlists/wordlisterrors.h"
#include "words/spellcheck.h"
#include "words/threewords.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>

#include <algorithm>

namespace {

const QColor unknownWord(255, 236, 153); // a right word the dictionary does not know
const QColor knownWord(255, 190, 190);   // a misspelling that is a word

} // namespace

wordListEditor::wordListEditor(const QList<wordList::Group> &groups, const QString &path,
                               const spellCheck *speller, QWidget *parent)
    : QDialog(parent), m_groups(groups), m_path(path), m_speller(speller)
{
    ui.setupUi(this);
    keepOnScreen(this);
    ui.tableWidget_entries->setItemDelegate(new wordFieldDelegate(ui.tableWidget_entries));
    ui.tableWidget_entries->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    for (const wordList::Group &group : qAsConst(m_groups)) {
        auto *item = new QListWidgetItem(group.name, ui.listWidget_groups);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
    ui.label_spelling->setText(
        speller ? tr("<span style=\"background-color:%1\">&nbsp;Gelb&nbsp;</span>: nicht im Wörterbuch (bei Namen "
                     "und seltenen Wörtern in Ordnung). <span style=\"background-color:%2\">&nbsp;Rot&nbsp;</span>: "
                     "Falschschreibung, die ein richtiges Wort ist.")
                      .arg(unknownWord.name(), knownWord.name())
                : tr("Rechtschreibprüfung aus: kein deutsches Wörterbuch gefunden (Paket hunspell-de-de)."));

    connect(ui.listWidget_groups, &QListWidget::currentRowChanged, this, &wordListEditor::showGroup);
    connect(ui.listWidget_groups, &QListWidget::itemChanged, this, &wordListEditor::groupEdited);
    connect(ui.pushButton_addGroup, &QPushButton::clicked, this, &wordListEditor::addGroup);
    connect(ui.pushButton_renameGroup, &QPushButton::clicked, this, &wordListEditor::renameGroup);
    connect(ui.pushButton_deleteGroup, &QPushButton::clicked, this, &wordListEditor::deleteGroup);
    connect(ui.tableWidget_entries, &QTableWidget::itemChanged, this, &wordListEditor::entryEdited);
    connect(ui.tableWidget_entries, &QTableWidget::itemSelectionChanged, this, &wordListEditor::updateButtons);
    connect(ui.pushButton_addEntry, &QPushButton::clicked, this, &wordListEditor::addEntry);
    connect(ui.pushButton_deleteEntry, &QPushButton::clicked, this, &wordListEditor::deleteEntries);
    connect(ui.pushButton_propose, &QPushButton::clicked, this, &wordListEditor::proposeMisspellings);
    connect(ui.pushButton_save, &QPushButton::clicked, this, &wordListEditor::save);
    connect(ui.pushButton_saveAs, &QPushButton::clicked, this, &wordListEditor::saveAs);
    connect(ui.pushButton_close, &QPushButton::clicked, this, &wordListEditor::reject);

    ui.listWidget_groups->setCurrentRow(0);
    setModified(false);
    updateButtons();
}

wordListEditor::~wordListEditor() = default;

void wordListEditor::setNotice(const QString &notice)
{
    m_notice = notice;
    say(QString());
}

void wordListEditor::say(const QString &message)
{
    ui.label_notice->setText(message.isEmpty() ? m_notice : message);
}

QList<wordList::Group> wordListEditor::groups() const
{
    QList<wordList::Group> groups = m_groups;
    for (wordList::Group &group : groups) {
        group.entries.erase(std::remove_if(group.entries.begin(), group.entries.end(),
                                           [](const QStringList &fields) {
                                               return fields.join(QString()).trimmed().isEmpty();
                                           }),
                            group.entries.end());
    }
    return groups;
}

const QString &wordListEditor::path() const
{
    return m_path;
}

QString wordListEditor::defaultFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("Wortlisten"));
}

bool wordListEditor::save()
{
    return m_path.isEmpty() ? saveAs() : writeTo(m_path);
}

bool wordListEditor::saveAs()
{
    // The file dialog can only show a folder that exists, but the default
    // folder is to come into being only when a list is saved there: it is
    // made for the dialog and taken away again, with the folders made for
    // it, if it stays empty.
    QString start = m_path;
    QStringList made;
    if (start.isEmpty()) {
        const QString folder = defaultFolder();
        for (QString dir = folder; !QFileInfo::exists(dir); dir = QFileInfo(dir).path())
            made.append(dir);
        QDir().mkpath(folder);
        start = QDir(folder).filePath(tr("Wortliste.txt"));
    }
    QFileDialog dialog(this, tr("Wortliste speichern unter"), QFileInfo(start).path(),
                       tr("Wortlisten (*.txt);;Alle Dateien (*)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.selectFile(QFileInfo(start).fileName());
    const bool written = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
        && writeTo(dialog.selectedFiles().first());
    for (const QString &dir : qAsConst(made))
        QDir().rmdir(dir);
    return written;
}

bool wordListEditor::writeTo(const QString &path)
{
    const wordList list(groups());
    const wordList checked = wordList::check(list.toBytes());
    QList<wordList::Problem> problems = checked.problems();
    // Lines as they are written: a header, then its entries.
    int line = 0;
    for (const wordList::Group &group : list.groups()) {
        ++line;
        for (const QStringList &fields : group.entries) {
            ++line;
            for (int c = 1; m_speller && c < fields.size(); ++c) {
                if (!fields.at(c).trimmed().isEmpty() && m_speller->knows(fields.at(c)))
                    problems.append({line, tr("„%1“ steht im Wörterbuch: die Aufgabe zu „%2“ hätte zwei richtige "
                                              "Antworten.").arg(fields.at(c), fields.at(0))});
            }
        }
    }
    std::stable_sort(problems.begin(), problems.end(),
                     [](const wordList::Problem &a, const wordList::Problem &b) { return a.line < b.line; });
    if (!problems.isEmpty() || !checked.refusal().isEmpty()) {
        wordListErrors dialog(this);
        dialog.setReport(tr("Die Wortliste hat Fehler. Gespeichert wird sie, wie sie ist; wer sie öffnet, "
                            "bekommt nur die Zeilen ohne Formfehler. %1").arg(checked.refusal()),
                         problems, tr("Trotzdem speichern"));
        if (dialog.exec() != QDialog::Accepted)
            return false;
    }
    const QString error = list.save(path);
    if (!error.isEmpty()) {
        QMessageBox::warning(this, tr("Wortliste speichern"),
                             tr("%1 Die Änderungen bleiben hier erhalten.").arg(error));
        return false;
    }
    m_path = QFileInfo(path).absoluteFilePath();
    setModified(false);
    emit saved(m_path);
    return true;
}

void wordListEditor::reject()
{
    if (!isWindowModified())
        return QDialog::reject();
    QMessageBox box(QMessageBox::Question, tr("Wortliste bearbeiten"),
                    tr("Die Wortliste hat Änderungen, die noch nicht gespeichert sind."),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.button(QMessageBox::Save)->setText(tr("Speichern"));
    box.button(QMessageBox::Discard)->setText(tr("Verwerfen"));
    box.button(QMessageBox::Cancel)->setText(tr("Abbrechen"));
    box.setDefaultButton(QMessageBox::Cancel);
    box.setFont(font());
    const int answer = box.exec();
    if (answer == QMessageBox::Discard || (answer == QMessageBox::Save && save()))
        QDialog::reject();
}

void wordListEditor::showGroup(int row)
{
    m_current = row >= 0 && row < m_groups.size() ? row : -1;
    m_filling = true;
    QTableWidget *table = ui.tableWidget_entries;
    table->setRowCount(0);
    if (m_current >= 0) {
        const QList<QStringList> &entries = m_groups.at(m_current).entries;
        table->setRowCount(entries.size());
        for (int r = 0; r < entries.size(); ++r) {
            for (int c = 0; c < 3; ++c)
                table->setItem(r, c, new QTableWidgetItem(entries.at(r).value(c)));
            markRow(r);
        }
    }
    m_filling = false;
    ui.label_entries->setText(m_current >= 0 ? tr("Wörter der Gruppe „%1“").arg(m_groups.at(m_current).name)
                                             : tr("Wörter der Gruppe"));
    updateButtons();
}

void wordListEditor::addGroup()
{
    QString name = tr("Neue Gruppe");
    auto taken = [this](const QString &name) {
        return std::any_of(m_groups.begin(), m_groups.end(), [&](const wordList::Group &g) { return g.name == name; });
    };
    for (int n = 2; taken(name); ++n)
        name = tr("Neue Gruppe %1").arg(n);
    m_groups.append(wordList::Group{name, {}});
    m_filling = true;
    auto *item = new QListWidgetItem(name, ui.listWidget_groups);
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    m_filling = false;
    ui.listWidget_groups->setCurrentItem(item);
    ui.listWidget_groups->editItem(item);
    setModified(true);
}

void wordListEditor::renameGroup()
{
    if (QListWidgetItem *item = ui.listWidget_groups->currentItem())
        ui.listWidget_groups->editItem(item);
}

void wordListEditor::deleteGroup()
{
    const int row = ui.listWidget_groups->currentRow();
    if (row < 0)
        return;
    const wordList::Group &group = m_groups.at(row);
    const int words = int(groups().at(row).entries.size());
    if (words > 0) {
        QMessageBox box(QMessageBox::Question, tr("Gruppe löschen"),
                        tr("Die Gruppe „%1“ mit %2 Einträgen löschen?").arg(group.name, QString::number(words)),
                        QMessageBox::Yes | QMessageBox::No, this);
        box.button(QMessageBox::Yes)->setText(tr("Löschen"));
        box.button(QMessageBox::No)->setText(tr("Behalten"));
        box.setDefaultButton(QMessageBox::No);
        box.setFont(font());
        if (box.exec() != QMessageBox::Yes)
            return;
    }
    m_groups.removeAt(row);
    m_filling = true;
    delete ui.listWidget_groups->takeItem(row);
    m_filling = false;
    showGroup(ui.listWidget_groups->currentRow());
    setModified(true);
}

void wordListEditor::groupEdited(QListWidgetItem *item)
{
    if (m_filling)
        return;
    const int row = ui.listWidget_groups->row(item);
    const QString name = item->text().trimmed();
    QString refused;
    if (name.isEmpty())
        refused = tr("Eine Gruppe braucht einen Namen.");
    else if (name == threeWords::allGroups)
        refused = tr("„Alle“ steht für alle Gruppen zusammen und kann keine Gruppe heißen.");
    for (int i = 0; i < m_groups.size() && refused.isEmpty(); ++i) {
        if (i != row && m_groups.at(i).name == name)
            refused = tr("Die Gruppe „%1“ gibt es schon.").arg(name);
    }
    say(refused);
    m_filling = true;
    item->setText(refused.isEmpty() ? name : m_groups.at(row).name);
    m_filling = false;
    if (refused.isEmpty() && name != m_groups.at(row).name) {
        m_groups[row].name = name;
        if (row == m_current)
            ui.label_entries->setText(tr("Wörter der Gruppe „%1“").arg(name));
        setModified(true);
    }
}

void wordListEditor::addEntry()
{
    if (m_current < 0)
        return;
    m_groups[m_current].entries.append(QStringList{QString(), QString(), QString()});
    QTableWidget *table = ui.tableWidget_entries;
    const int row = table->rowCount();
    m_filling = true;
    table->insertRow(row);
    for (int c = 0; c < 3; ++c)
        table->setItem(row, c, new QTableWidgetItem);
    m_filling = false;
    table->setCurrentCell(row, 0);
    table->editItem(table->item(row, 0));
    setModified(true);
}

void wordListEditor::deleteEntries()
{
    QList<int> rows = chosenRows();
    std::sort(rows.rbegin(), rows.rend());
    m_filling = true;
    for (int row : qAsConst(rows)) {
        m_groups[m_current].entries.removeAt(row);
        ui.tableWidget_entries->removeRow(row);
    }
    m_filling = false;
    if (!rows.isEmpty())
        setModified(true);
    updateButtons();
}

void wordListEditor::entryEdited(QTableWidgetItem *item)
{
    if (m_filling || m_current < 0)
        return;
    m_groups[m_current].entries[item->row()][item->column()] = item->text();
    markRow(item->row());
    setModified(true);
}

void wordListEditor::proposeMisspellings()
{
    if (!m_speller || m_current < 0)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QStringList without;
    for (int row : chosenRows()) {
        QStringList &fields = m_groups[m_current].entries[row];
        const QString right = fields.at(0).trimmed();
        if (right.isEmpty())
            continue;
        const QStringList proposals = m_speller->proposeMisspellings(right, 2);
        if (proposals.size() < 2)
            without.append(right);
        m_filling = true;
        for (int k = 0; k < proposals.size(); ++k) {
            fields[k + 1] = proposals.at(k);
            ui.tableWidget_entries->item(row, k + 1)->setText(proposals.at(k));
        }
        m_filling = false;
        markRow(row);
        if (!proposals.isEmpty())
            setModified(true);
    }
    QApplication::restoreOverrideCursor();
    say(without.isEmpty() ? QString() : tr("Zu wenige Vorschläge für: %1").arg(without.join(QStringLiteral(", "))));
}

void wordListEditor::updateButtons()
{
    const bool group = ui.listWidget_groups->currentRow() >= 0;
    const bool rows = m_current >= 0 && !chosenRows().isEmpty();
    ui.pushButton_renameGroup->setEnabled(group);
    ui.pushButton_deleteGroup->setEnabled(group);
    ui.pushButton_addEntry->setEnabled(m_current >= 0);
    ui.pushButton_deleteEntry->setEnabled(rows);
    ui.pushButton_propose->setEnabled(rows && m_speller);
}

void wordListEditor::markRow(int row)
{
    const bool filling = std::exchange(m_filling, true);
    for (int c = 0; c < 3; ++c) {
        QTableWidgetItem *item = ui.tableWidget_entries->item(row, c);
        const QString text = item->text().trimmed();
        QString why;
        if (m_speller && !text.isEmpty() && c == 0 && !m_speller->knows(text))
            why = tr("Nicht im Wörterbuch: bei Namen und seltenen Wörtern in Ordnung.");
        else if (m_speller && !text.isEmpty() && c > 0 && m_speller->knows(text))
            why = tr("Dieses Wort steht im Wörterbuch: die Aufgabe hätte zwei richtige Antworten.");
        item->setToolTip(why);
        item->setData(Qt::BackgroundRole, why.isEmpty() ? QVariant() : QVariant(c == 0 ? unknownWord : knownWord));
    }
    m_filling = filling;
}

void wordListEditor::setModified(bool modified)
{
    setWindowTitle(tr("Wortliste bearbeiten – %1[*]")
                       .arg(m_path.isEmpty() ? tr("noch nicht gespeichert") : QFileInfo(m_path).fileName()));
    setWindowModified(modified);
}

QList<int> wordListEditor::chosenRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : ui.tableWidget_entries->selectionModel()->selectedIndexes()) {
        if (!rows.contains(index.row()))
            rows.append(index.row());
    }
    return rows;
}
