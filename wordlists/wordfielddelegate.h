#ifndef WORDFIELDDELEGATE_H
#define WORDFIELDDELEGATE_H

#include <QStyledItemDelegate>

// Edits a field of a word-list entry so that it cannot break its line: no
// ";" anywhere, and no "#" at the start of the right word, which would make
// the line a group header when the list is read again.
class wordFieldDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit wordFieldDelegate(QObject *parent = nullptr);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
};

#endif // WORDFIELDDELEGATE_H
