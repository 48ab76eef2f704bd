#include "ui/translation/frozencolumnview.h"

#include <QHeaderView>
#include <QScrollBar>

#include <algorithm>

FrozenColumnView::FrozenColumnView(QWidget *parent) : QTableView(parent)
{
    overlay = new QTableView(this);
    overlay->setObjectName(QStringLiteral("FrozenColumn"));
    overlay->setFocusPolicy(Qt::NoFocus);
    overlay->verticalHeader()->hide();
    overlay->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    overlay->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    overlay->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    overlay->setFrameShape(QFrame::NoFrame);
    overlay->hide();
    viewport()->stackUnder(overlay);

    // Whole pixels rather than whole rows, so that both views always stand at the same place.
    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerPixel);
    overlay->setVerticalScrollMode(ScrollPerPixel);

    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        if (section == 0) {
            overlay->setColumnWidth(0, size);
            updateOverlayGeometry();
        }
    });
    connect(verticalHeader(), &QHeaderView::sectionResized, this,
            [this](int section, int, int size) { overlay->setRowHeight(section, size); });
    connect(overlay->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(), &QAbstractSlider::setValue);
    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, overlay->verticalScrollBar(), &QAbstractSlider::setValue);
}

void FrozenColumnView::setModel(QAbstractItemModel *newModel)
{
    disconnect(resetConnection);
    disconnect(columnsConnection);
    QTableView::setModel(newModel);
    overlay->setModel(newModel);
    overlay->setSelectionModel(selectionModel());
    if (newModel) {
        // A reset forgets which sections were hidden.
        resetConnection = connect(newModel, &QAbstractItemModel::modelReset, this, &FrozenColumnView::hideOtherColumns);
        columnsConnection =
            connect(newModel, &QAbstractItemModel::columnsInserted, this, &FrozenColumnView::hideOtherColumns);
    }
    hideOtherColumns();
}

void FrozenColumnView::hideOtherColumns()
{
    const QAbstractItemModel *m = model();
    if (!m)
        return;
    for (int column = 1; column < m->columnCount(); ++column)
        overlay->setColumnHidden(column, true);
    overlay->setColumnWidth(0, columnWidth(0));
    updateOverlayGeometry();
}

void FrozenColumnView::setFrozen(bool on)
{
    frozen = on;
    overlay->setVisible(on);
    updateOverlayGeometry();
    if (on) {
        overlay->verticalScrollBar()->setValue(verticalScrollBar()->value());
        // The column right of the frozen one must not start hidden under it.
        if (const QModelIndex current = currentIndex(); current.isValid() && current.column() > 0)
            scrollTo(current);
    }
}

int FrozenColumnView::frozenWidth() const
{
    return frozen ? columnWidth(0) : 0;
}

void FrozenColumnView::updateOverlayGeometry()
{
    const int x = (verticalHeader()->isVisible() ? verticalHeader()->width() : 0) + frameWidth();
    overlay->setGeometry(x, frameWidth(), columnWidth(0), viewport()->height() + horizontalHeader()->height());
}

void FrozenColumnView::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    updateOverlayGeometry();
}

void FrozenColumnView::updateGeometries()
{
    QTableView::updateGeometries();
    if (overlay)
        updateOverlayGeometry();
}

QModelIndex FrozenColumnView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex current = QTableView::moveCursor(cursorAction, modifiers);
    if (frozen && cursorAction == MoveLeft && current.column() > 0 && visualRect(current).left() < frozenWidth())
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + visualRect(current).left() - frozenWidth());
    return current;
}

void FrozenColumnView::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    if (!frozen || !index.isValid()) {
        QTableView::scrollTo(index, hint);
        return;
    }
    // The frozen column is always in view: only the rows move for it. Any other column is brought
    // out from under the frozen one.
    const int horizontal = horizontalScrollBar()->value();
    QTableView::scrollTo(index, hint);
    if (index.column() == 0) {
        horizontalScrollBar()->setValue(horizontal);
        return;
    }
    const QRect cell = visualRect(index);
    if (cell.left() < frozenWidth())
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + cell.left() - frozenWidth());
}

void FrozenColumnView::scrollToTopLeft(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    QTableView::scrollTo(index, PositionAtTop);
    const int left = columnViewportPosition(index.column()) + horizontalScrollBar()->value();
    horizontalScrollBar()->setValue(std::max(0, left - frozenWidth()));
}
