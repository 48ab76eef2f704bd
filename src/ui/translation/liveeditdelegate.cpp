#include "ui/translation/liveeditdelegate.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPersistentModelIndex>

namespace {

constexpr char OriginalText[] = "originalText";
constexpr char EditedCell[] = "editedCell";

} // namespace

QWidget *LiveEditDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const
{
    auto *editor = new QLineEdit(parent);
    editor->setFrame(false);
    const QPersistentModelIndex cell(index);
    editor->setProperty(OriginalText, index.data(Qt::EditRole).toString());
    editor->setProperty(EditedCell, QVariant::fromValue(cell));
    connect(editor, &QLineEdit::textEdited, editor, [cell](const QString &text) {
        if (cell.isValid())
            const_cast<QAbstractItemModel *>(cell.model())->setData(cell, text, Qt::EditRole);
    });
    return editor;
}

void LiveEditDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *line = qobject_cast<QLineEdit *>(editor);
    if (!line)
        return;
    // The view hands back every change the editor made itself; setting the same text again would
    // throw the cursor to the end while the user types.
    const QString text = index.data(Qt::EditRole).toString();
    if (line->text() != text)
        line->setText(text);
}

void LiveEditDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    if (auto *line = qobject_cast<QLineEdit *>(editor))
        model->setData(index, line->text(), Qt::EditRole);
}

bool LiveEditDelegate::eventFilter(QObject *object, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        if (auto *line = qobject_cast<QLineEdit *>(object)) {
            const QPersistentModelIndex cell = line->property(EditedCell).value<QPersistentModelIndex>();
            const QString original = line->property(OriginalText).toString();
            if (cell.isValid() && cell.data(Qt::EditRole).toString() != original)
                const_cast<QAbstractItemModel *>(cell.model())->setData(cell, original, Qt::EditRole);
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}
