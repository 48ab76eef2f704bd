#pragma once

#include <QTableView>

// A table view whose first column can stay in view while the others scroll sideways. Qt's views
// have no fixed columns, so a second view over the same model, showing only the first column,
// lies over the first column; the two share the selection and the vertical scrolling.
class FrozenColumnView : public QTableView
{
    Q_OBJECT
public:
    explicit FrozenColumnView(QWidget *parent = nullptr);

    void setModel(QAbstractItemModel *model) override;
    void setFrozen(bool frozen);
    bool isFrozen() const { return frozen; }
    // The view over the first column, for wiring its editing and keys like the main view's.
    QTableView *frozenView() const { return overlay; }
    // A cell of this view is being edited.
    bool isEditing() const { return state() == EditingState; }

    // Scrolls so that the cell's row is the top row and its column the leftmost one beside the
    // frozen column (the leftmost of all when nothing is frozen).
    void scrollToTopLeft(const QModelIndex &index);

    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void updateGeometries() override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;

private:
    void hideOtherColumns();
    void updateOverlayGeometry();
    int frozenWidth() const;

    QTableView *overlay = nullptr;
    bool frozen = false;
    QMetaObject::Connection resetConnection;
    QMetaObject::Connection columnsConnection;
};
