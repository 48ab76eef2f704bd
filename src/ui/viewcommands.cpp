#include "ui/viewcommands.h"

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

void ViewCommands::zoomWheel(int angleDelta, QPoint anchor)
{
    const int notches = notchesOf(angleDelta);
    int zoom = view().zoomed;
    for (int i = 0; i < std::abs(notches); ++i)
        zoom = steppedZoom(zoom, notches > 0);
    zoomAbout(zoom, anchor);
}

void ViewCommands::zoomStep(bool in, QPoint anchor)
{
    zoomAbout(steppedZoom(view().zoomed, in), anchor);
}

void ViewCommands::zoomAbout(int zoom, QPoint anchor)
{
    const QPointF fixed = view().image(anchor);
    if (!state.setZoom(zoom))
        return;
    state.setScrollBar1(static_cast<int>(state.scaledRound(fixed.x())) - anchor.x());
    state.setScrollBar2(static_cast<int>(state.scaledRound(fixed.y())) - anchor.y());
    showView();
}

void ViewCommands::fit(QSize picture, QSize surface)
{
    if (picture.isEmpty() || surface.isEmpty())
        return;
    view();
    const long long across = static_cast<long long>(surface.width()) * 100 / picture.width();
    const long long down = static_cast<long long>(surface.height()) * 100 / picture.height();
    state.setZoom(static_cast<int>(std::clamp<long long>(std::min(across, down), ViewState::ZoomMin, ViewState::ZoomMax)));
    state.setScrollBar1(0);
    state.setScrollBar2(0);
    showView();
}

void ViewCommands::scrollIntoView(const QRectF &imageBox, QSize surface)
{
    const ViewState &v = view();
    const QRect onScreen(v.screen(imageBox.topLeft()), v.screen(imageBox.bottomRight()));
    if (QRect(QPoint(0, 0), surface).contains(onScreen))
        return;
    const QPointF centre = imageBox.center();
    state.setScrollBar1(static_cast<int>(state.scaledRound(centre.x())) - surface.width() / 2);
    state.setScrollBar2(static_cast<int>(state.scaledRound(centre.y())) - surface.height() / 2);
    showView();
}

void ViewCommands::showView()
{
    {
        const QSignalBlocker quiet(zoomed);
        zoomed->setValue(state.zoomed);
    }
    showScrollPositions();
    repaint();
}
