#include "wordlists/wordfielddelegate.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

wordFieldDelegate::wordFieldDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{
}

QWidget *wordFieldDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                         const QModelIndex &index) const
{
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto *line = qobject_cast<QLineEdit *>(editor)) {
        const QRegularExpression allowed(index.column() == 0 ? QStringLiteral("(?:[^;#][^;]*)?")
                                                             : QStringLiteral("[^;]*"));
        line->setValidator(new QRegularExpressionValidator(allowed, line));
    }
    return editor;
}
