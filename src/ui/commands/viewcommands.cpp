#include "ui/commands/viewcommands.h"

#include <QAbstractButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace {

constexpr int WheelNotch = 120;

// A quarter more or a fifth less, and always at least one percent.
int steppedZoom(int zoom, bool in)
{
    const int next = in ? std::max(zoom + 1, static_cast<int>(std::lround(zoom * 1.25)))
                        : std::min(zoom - 1, static_cast<int>(std::lround(zoom / 1.25)));
    return std::clamp(next, ViewState::ZoomMin, ViewState::ZoomMax);
}

} // namespace

ViewCommands::ViewCommands(QSpinBox *zoomedField, QScrollBar *horizontal, QScrollBar *vertical,
                           QAbstractButton *handButton, std::function<void()> repaintFunction, QObject *parent)
    : QObject(parent), zoomed(zoomedField), ScrollBar1(horizontal), ScrollBar2(vertical), HandBtn(handButton),
      repaint(std::move(repaintFunction))
{
    state.setZoom(zoomed->value());
    state.setScrollX(ScrollBar1->value());
    state.setScrollY(ScrollBar2->value());
    connect(zoomed, &QSpinBox::valueChanged, this, &ViewCommands::zoomedChange);
    connect(ScrollBar1, &QScrollBar::valueChanged, this, &ViewCommands::ScrollBar1Change);
    connect(ScrollBar2, &QScrollBar::valueChanged, this, &ViewCommands::ScrollBar2Change);
}

bool ViewCommands::handToolDown() const
{
    return HandBtn->isChecked();
}

void ViewCommands::zoomedChange()
{
    state.setZoom(zoomed->value());
    repaint();
    emit viewChanged();
}

void ViewCommands::ScrollBar1Change()
{
    state.setScrollX(ScrollBar1->value());
    repaint();
    emit viewChanged();
}

void ViewCommands::ScrollBar2Change()
{
    state.setScrollY(ScrollBar2->value());
    repaint();
    emit viewChanged();
}

void ViewCommands::HandBtnClick()
{
    HandBtn->setChecked(true);
    repaint();
}

int ViewCommands::notchesOf(int angleDelta)
{
    // Finer devices send parts of a notch, which add up to whole notches.
    wheelRemainder += angleDelta;
    const int notches = wheelRemainder / WheelNotch;
    wheelRemainder -= notches * WheelNotch;
    return notches;
}

void ViewCommands::wheel(int angleDelta)
{
    const int notches = notchesOf(angleDelta);
    bool changed = false;
    for (int i = 0; i < std::abs(notches); ++i)
        changed = state.wheel(notches < 0) || changed;
    showView(changed);
}

void ViewCommands::beginPan(QPoint press)
{
    hand.press(press, state);
}

void ViewCommands::panTo(QPoint cursor)
{
    // Both bars move before the one repaint, so a purely vertical drag is shown as well.
    showView(hand.moveTo(cursor, state));
}

void ViewCommands::endPan()
{
    hand.release();
}

void ViewCommands::zoomWheel(int angleDelta, QPoint anchor)
{
    const int notches = notchesOf(angleDelta);
    int zoom = state.zoomPercent;
    for (int i = 0; i < std::abs(notches); ++i)
        zoom = steppedZoom(zoom, notches > 0);
    zoomAbout(zoom, anchor);
}

void ViewCommands::zoomStep(bool in, QPoint anchor)
{
    zoomAbout(steppedZoom(state.zoomPercent, in), anchor);
}

void ViewCommands::zoomAbout(int zoom, QPoint anchor)
{
    showView(state.zoomAbout(zoom, anchor));
}

void ViewCommands::fit(QSize picture, QSize surface)
{
    showView(state.fit(picture, surface));
}

void ViewCommands::scrollIntoView(const QRectF &imageBox, QSize surface)
{
    showView(state.scrollIntoView(imageBox, surface));
}

void ViewCommands::showView(bool changed)
{
    if (!changed)
        return;
    {
        const QSignalBlocker quietZoom(zoomed);
        const QSignalBlocker quietHorizontal(ScrollBar1);
        const QSignalBlocker quietVertical(ScrollBar2);
        zoomed->setValue(state.zoomPercent);
        ScrollBar1->setValue(state.scrollX);
        ScrollBar2->setValue(state.scrollY);
    }
    repaint();
    emit viewChanged();
}
