#include "wordlists/wordlisteditor.h"

#include "dialogs/screenfit.h"
#include "wordlists/wordfielddelegate.h"
#include "wordlists/wordlisterrors.h"
#include "words/picturefolder.h"
#include "words/spellcheck.h"
#include "words/threewords.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyle>
#include <QSvgRenderer>
#include <QUrl>

#include <algorithm>

namespace {

const QColor unknownWord(255, 236, 153); // a right word the dictionary does not know
const QColor knownWord(255, 190, 190);   // a misspelling that is a word

const int pictureColumn = 3;

// A picture as small as a row, read at that size: a folder of photos
// costs no more than their thumbnails.
QPixmap thumbnail(const QString &file, const QSize &size)
{
    QImage image;
    if (file.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        QSvgRenderer svg(file);
        if (!svg.isValid())
            return QPixmap();
        image = QImage(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        QRectF target(QPointF(0, 0), QSizeF(svg.defaultSize()).scaled(QSizeF(size), Qt::KeepAspectRatio));
        target.moveCenter(QRectF(QPointF(0, 0), QSizeF(size)).center());
        svg.render(&painter, target);
    } else {
        QImageReader reader(file);
        reader.setAutoTransform(true);
        const QSize full = reader.size();
        if (full.isValid())
            reader.setScaledSize(full.scaled(size * 2, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)).boundedTo(full));
        image = reader.read();
        if (image.isNull())
            return QPixmap();
        image = image.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    return QPixmap::fromImage(image);
}

} // namespace

wordListEditor::wordListEditor(const QList<wordList::Group> &groups, const QString &path,
                               const spellCheck *speller, QWidget *parent)
    : QDialog(parent), m_groups(groups), m_path(path), m_pictures(path), m_speller(speller)
{
    ui.setupUi(this);
    keepOnScreen(this);
    ui.tableWidget_entries->setItemDelegate(new wordFieldDelegate(ui.tableWidget_entries));
    ui.tableWidget_entries->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    // The words take the room; the pictures as much as a thumbnail needs.
    ui.tableWidget_entries->horizontalHeader()->setStretchLastSection(false);
    ui.tableWidget_entries->horizontalHeader()->setSectionResizeMode(pictureColumn, QHeaderView::ResizeToContents);
    const int rowHeight = ui.tableWidget_entries->verticalHeader()->defaultSectionSize();
    ui.tableWidget_entries->setIconSize(QSize(rowHeight, rowHeight) * 5 / 4 - QSize(6, 6));
    ui.tableWidget_entries->verticalHeader()->setDefaultSectionSize(rowHeight * 5 / 4);
    ui.label_preview->setFixedHeight(fontMetrics().height() * 8);
    for (const wordList::Group &group : qAsConst(m_groups)) {
        auto *item = new QListWidgetItem(group.name, ui.listWidget_groups);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        QStringList names;
        for (const QStringList &fields : group.entries)
            names.append(fields.value(0));
        m_pictureNames.append(names);
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
    connect(ui.pushButton_choosePicture, &QPushButton::clicked, this, &wordListEditor::choosePicture);
    connect(ui.pushButton_removePicture, &QPushButton::clicked, this, &wordListEditor::removePicture);
    connect(ui.tableWidget_entries, &QTableWidget::cellDoubleClicked, this, [this](int, int column) {
        if (column == pictureColumn)
            choosePicture();
    });
    connect(ui.tableWidget_entries, &QTableWidget::currentCellChanged, this, &wordListEditor::showCurrentPicture);
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

void wordListEditor::setPictureSource(const QString &listPath)
{
    if (!m_path.isEmpty())
        return;
    m_pictures = listPath;
    showGroup(m_current);
}

bool wordListEditor::picturesChanged() const
{
    return m_picturesChanged;
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
    const QString before = m_pictures;
    m_path = QFileInfo(path).absoluteFilePath();
    m_pictures = m_path;
    const QStringList pictureErrors = carryPictures(before, m_path);
    if (!pictureErrors.isEmpty()) {
        QMessageBox box(QMessageBox::Warning, tr("Wortliste speichern"),
                        tr("Die Wortliste ist gespeichert, doch nicht jedes Bild ließ sich mitnehmen:"),
                        QMessageBox::Ok, this);
        box.setInformativeText(pictureErrors.join(QLatin1Char('\n')));
        box.setFont(font());
        box.exec();
    }
    if (m_current >= 0) {
        for (int row = 0; row < ui.tableWidget_entries->rowCount(); ++row)
            showPicture(row);
        showCurrentPicture();
    }
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
            showPicture(r);
        }
    }
    m_filling = false;
    showCurrentPicture();
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
    m_pictureNames.append(QStringList());
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
    m_pictureNames.removeAt(row);
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
    m_pictureNames[m_current].append(QString());
    QTableWidget *table = ui.tableWidget_entries;
    const int row = table->rowCount();
    m_filling = true;
    table->insertRow(row);
    for (int c = 0; c < 3; ++c)
        table->setItem(row, c, new QTableWidgetItem);
    m_filling = false;
    showPicture(row);
    table->setCurrentCell(row, 0);
    table->editItem(table->item(row, 0));
    setModified(true);
}

void wordListEditor::deleteEntries()
{
    QList<int> rows = chosenRows();
    std::sort(rows.rbegin(), rows.rend());
    QStringList kept;
    const pictureFolder folder(m_pictures);
    for (int row : qAsConst(rows)) {
        const QString word = pictureWord(row);
        const QStringList files = word.isEmpty() ? QStringList() : folder.filesOf(word);
        if (!files.isEmpty())
            kept.prepend(QStringLiteral("„%1“").arg(QFileInfo(files.first()).fileName()));
    }
    m_filling = true;
    for (int row : qAsConst(rows)) {
        m_groups[m_current].entries.removeAt(row);
        m_pictureNames[m_current].removeAt(row);
        ui.tableWidget_entries->removeRow(row);
    }
    m_filling = false;
    if (!rows.isEmpty())
        setModified(true);
    if (!kept.isEmpty())
        say(tr("Im Ordner „Bilder“ bleibt %1; ein Eintrag dieses Worts zeigt es wieder. Wer es nicht mehr braucht, "
               "nimmt es vor dem Löschen mit „Bild entfernen“ heraus.").arg(kept.join(QStringLiteral(", "))));
    updateButtons();
}

void wordListEditor::entryEdited(QTableWidgetItem *item)
{
    if (m_filling || m_current < 0)
        return;
    if (item->column() == pictureColumn)
        return;
    m_groups[m_current].entries[item->row()][item->column()] = item->text();
    markRow(item->row());
    if (item->column() == 0) {
        showPicture(item->row());
        showCurrentPicture();
    }
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
    // Enabled without a folder too: a click says what to do first.
    const bool entry = m_current >= 0 && ui.tableWidget_entries->currentRow() >= 0;
    ui.pushButton_choosePicture->setEnabled(entry);
    ui.pushButton_removePicture->setEnabled(entry && !m_path.isEmpty()
                                            && !pictureFolder(m_pictures).filesOf(pictureWord(ui.tableWidget_entries->currentRow())).isEmpty());
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

QString wordListEditor::pictureWord(int group, int row) const
{
    if (m_pictures.isEmpty() || group < 0 || group >= m_groups.size() || row < 0
        || row >= m_groups.at(group).entries.size())
        return QString();
    const QString &named = m_pictureNames.at(group).at(row);
    if (!named.isEmpty() && !pictureFolder(m_pictures).filesOf(named).isEmpty())
        return named;
    const QString word = m_groups.at(group).entries.at(row).value(0);
    if (word.trimmed().isEmpty() || word == named)
        return named;
    // A word renamed to what another entry's picture is named after does
    // not take that picture.
    for (int g = 0; g < m_pictureNames.size(); ++g) {
        for (int e = 0; e < m_pictureNames.at(g).size(); ++e) {
            if ((g != group || e != row) && m_pictureNames.at(g).at(e).compare(word, Qt::CaseInsensitive) == 0)
                return named;
        }
    }
    return word;
}

QString wordListEditor::pictureWord(int row) const
{
    return pictureWord(m_current, row);
}

void wordListEditor::showPicture(int row)
{
    QTableWidget *table = ui.tableWidget_entries;
    const bool filling = std::exchange(m_filling, true);
    auto *item = new QTableWidgetItem;
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    const QString word = pictureWord(row);
    const QString file = word.isEmpty() ? QString() : pictureFolder(m_pictures).filesOf(word).value(0);
    if (!file.isEmpty()) {
        const QString name = QFileInfo(file).fileName();
        const QPixmap small = thumbnail(file, table->iconSize());
        if (small.isNull()) {
            item->setIcon(style()->standardIcon(QStyle::SP_MessageBoxWarning));
            item->setToolTip(tr("„%1“ lässt sich nicht lesen: die Datei ist beschädigt oder kein Bild.").arg(name));
            item->setData(Qt::AccessibleTextRole, tr("Bild %1 nicht lesbar").arg(name));
        } else {
            item->setIcon(QIcon(small));
            item->setToolTip(QStringLiteral("<p>%1</p><img src=\"%2\" width=\"%3\">")
                                 .arg(name.toHtmlEscaped(), QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded),
                                      QString::number(fontMetrics().height() * 12)));
            item->setData(Qt::AccessibleTextRole, tr("Bild %1").arg(name));
        }
    } else {
        item->setData(Qt::AccessibleTextRole, tr("kein Bild"));
    }
    table->setItem(row, pictureColumn, item);
    m_filling = filling;
}

void wordListEditor::showCurrentPicture()
{
    const int row = ui.tableWidget_entries->currentRow();
    QString text, file;
    if (m_pictures.isEmpty()) {
        text = tr("Bilder kommen in den Ordner „Bilder“ neben der Liste, sobald sie gespeichert ist.");
    } else if (m_current >= 0 && row >= 0 && row < m_groups.at(m_current).entries.size()) {
        const QString right = m_groups.at(m_current).entries.at(row).value(0);
        const QString word = pictureWord(row);
        file = word.isEmpty() ? QString() : pictureFolder(m_pictures).filesOf(word).value(0);
        if (right.trimmed().isEmpty())
            text.clear();
        else if (file.isEmpty())
            text = tr("Zu „%1“ gibt es kein Bild.").arg(right);
        else
            text = tr("Bild zu „%1“: %2").arg(right, QFileInfo(file).fileName());
    }
    ui.label_picture->setText(text);
    // The picture large enough to see that it is the right one.
    const int side = ui.label_preview->height() - 2 * ui.label_preview->frameWidth();
    const QPixmap large = file.isEmpty() ? QPixmap() : thumbnail(file, QSize(side * 3 / 2, side));
    ui.label_preview->setPixmap(large);
    ui.label_preview->setText(large.isNull() ? tr("kein Bild") : QString());
    updateButtons();
}

QStringList wordListEditor::carryPictures(const QString &from, const QString &to)
{
    if (from.isEmpty())
        return QStringList();
    const pictureFolder old(from);
    const bool sameFolder = old.path() == pictureFolder(to).path();
    QList<QPair<QString, QString>> moves;
    QStringList kept;
    // pictureWord() asks the folder under the old path.
    const QString path = std::exchange(m_pictures, from);
    for (int g = 0; g < m_groups.size(); ++g) {
        for (int e = 0; e < m_groups.at(g).entries.size(); ++e) {
            const QString word = m_groups.at(g).entries.at(e).value(0);
            if (word.trimmed().isEmpty())
                continue;
            const QString named = sameFolder ? m_pictureNames.at(g).at(e) : pictureWord(g, e);
            if (!named.isEmpty() && named != word)
                moves.append({named, word});
            else if (sameFolder)
                kept.append(word);
            else if (!named.isEmpty())
                moves.append({named, word});
        }
    }
    m_pictures = path;
    QList<QPair<QString, QString>> done;
    const QStringList errors = sameFolder ? old.rename(moves, kept, &done) : old.copyTo(to, moves);
    if (!moves.isEmpty())
        m_picturesChanged = true;
    for (int g = 0; g < m_groups.size(); ++g) {
        for (int e = 0; e < m_groups.at(g).entries.size(); ++e) {
            QString &named = m_pictureNames[g][e];
            const QString word = m_groups.at(g).entries.at(e).value(0);
            // A picture that could not follow keeps its entry under its old name.
            if (!sameFolder || named.isEmpty() || done.contains({named, word}) || old.filesOf(named).isEmpty())
                named = word;
        }
    }
    return errors;
}

void wordListEditor::choosePicture()
{
    const int row = ui.tableWidget_entries->currentRow();
    if (m_current < 0 || row < 0)
        return;
    if (m_path.isEmpty()) {
        QMessageBox box(QMessageBox::Information, tr("Bild wählen"),
                        tr("Bilder liegen im Ordner „Bilder“ neben der Wortliste. Diese Liste ist noch nicht als "
                           "eigene Datei gespeichert: bitte zuerst speichern, dann das Bild wählen."),
                        QMessageBox::Save | QMessageBox::Cancel, this);
        box.button(QMessageBox::Save)->setText(tr("Speichern unter…"));
        box.button(QMessageBox::Cancel)->setText(tr("Abbrechen"));
        box.setFont(font());
        if (box.exec() != QMessageBox::Save || !saveAs())
            return;
    }
    const QString right = m_groups.at(m_current).entries.at(row).value(0);
    const QString word = pictureWord(row);
    if (word.isEmpty()) {
        say(right.trimmed().isEmpty() ? pictureFolder::unusableName(right)
                                      : tr("Ein anderer Eintrag „%1“ hat schon ein Bild: ein Wort hat nur eines.")
                                            .arg(right));
        return;
    }
    static QString lastFolder;
    QString start = lastFolder;
    if (start.isEmpty())
        start = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!QFileInfo(start).isDir())
        start = QDir::homePath();
    QFileDialog dialog(this, tr("Bild zu „%1“ wählen").arg(right), start,
                       tr("Bilder (*.png *.jpg *.jpeg *.svg *.PNG *.JPG *.JPEG *.SVG);;Alle Dateien (*)"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString source = dialog.selectedFiles().first();
    lastFolder = QFileInfo(source).path();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const pictureFolder folder(m_pictures);
    const QString error = folder.store(word, source);
    QApplication::restoreOverrideCursor();
    if (!error.isEmpty()) {
        QMessageBox::warning(this, tr("Bild wählen"), error);
        return;
    }
    m_pictureNames[m_current][row] = word;
    m_picturesChanged = true;
    showPicture(row);
    showCurrentPicture();
    say(tr("Das Bild zu „%1“ liegt jetzt im Ordner „Bilder“: %2")
            .arg(right, QFileInfo(folder.filesOf(word).value(0)).fileName()));
}

void wordListEditor::removePicture()
{
    const int row = ui.tableWidget_entries->currentRow();
    const QString word = pictureWord(row);
    const pictureFolder folder(m_pictures);
    const QStringList files = word.isEmpty() ? QStringList() : folder.filesOf(word);
    if (files.isEmpty())
        return;
    const QString error = folder.remove(word);
    m_picturesChanged = true;
    showPicture(row);
    showCurrentPicture();
    if (!error.isEmpty())
        QMessageBox::warning(this, tr("Bild entfernen"), error);
    else
        say(tr("„%1“ ist aus dem Ordner „Bilder“ genommen.").arg(QFileInfo(files.first()).fileName()));
}
