#include "ui/viewcommands.h"

#include <QAbstractButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>

#include <utility>

namespace {

constexpr int WheelNotch = 120;

} // namespace

ViewCommands::ViewCommands(QSpinBox *zoomedField, QScrollBar *horizontal, QScrollBar *vertical,
                           QAbstractButton *handButton, std::function<void()> repaintFunction, QObject *parent)
    : QObject(parent), zoomed(zoomedField), ScrollBar1(horizontal), ScrollBar2(vertical), HandBtn(handButton),
      repaint(std::move(repaintFunction))
{
    connect(zoomed, &QSpinBox::valueChanged, this, &ViewCommands::zoomedChange);
    connect(ScrollBar1, &QScrollBar::valueChanged, this, &ViewCommands::ScrollBar1Change);
    connect(ScrollBar2, &QScrollBar::valueChanged, this, &ViewCommands::ScrollBar2Change);
}

ViewState &ViewCommands::view()
{
    state.zoomed = zoomed->value();
    state.scrollBar1 = ScrollBar1->value();
    state.scrollBar2 = ScrollBar2->value();
    state.handBtn = HandBtn->isChecked();
    return state;
}

void ViewCommands::zoomedChange()
{
    repaint();
}

void ViewCommands::ScrollBar1Change()
{
    repaint();
}

void ViewCommands::ScrollBar2Change()
{
    if (!state.donotpaintnow)
        repaint();
}

void ViewCommands::HandBtnClick()
{
    HandBtn->setChecked(true);
    if (!state.donotpaintnow)
        repaint();
}

void ViewCommands::showScrollPositions()
{
    const QSignalBlocker horizontal(ScrollBar1);
    const QSignalBlocker vertical(ScrollBar2);
    ScrollBar1->setValue(state.scrollBar1);
    ScrollBar2->setValue(state.scrollBar2);
}

void ViewCommands::wheel(int angleDelta)
{
    // Finer devices send parts of a notch, which add up to whole notches.
    wheelRemainder += angleDelta;
    const int notches = wheelRemainder / WheelNotch;
    wheelRemainder -= notches * WheelNotch;
    bool due = false;
    view();
    for (int i = 0; i < (notches < 0 ? -notches : notches); ++i)
        due = state.wheel(notches < 0) || due;
    showScrollPositions();
    if (due)
        repaint();
}

void ViewCommands::beginPan(QPoint press)
{
    view().handPress(press.x(), press.y(), false);
}

void ViewCommands::panTo(QPoint cursor)
{
    view();
    if (!state.handMove(cursor.x(), cursor.y()))
        return;
    // Both bars move before the one repaint, so a purely vertical drag is shown as well.
    showScrollPositions();
    repaint();
}

void ViewCommands::endPan()
{
    state.handRelease();
}
