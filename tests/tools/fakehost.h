#pragma once

#include "core/elements.h"
#include "core/geometry.h"
#include "tools/toolhost.h"

#include <QList>
#include <QPoint>

#include <cmath>
#include <deque>
#include <functional>
#include <optional>

// Element fields are packed and unaligned: QCOMPARE binds references, so tests compare copies.
template <typename T>
T field(T value)
{
    return value;
}

// A window stand-in for the tools: the view mapping of the drawing surface, answers queued for
// the dialogs, and a record of every call. A repaint refreshes the measured values as the real
// renderer does.
class FakeHost : public ToolHost
{
public:
    Document doc;
    double zoomValue = 100;
    QPoint scroll;
    bool leftCtrlDown = false;
    bool rightCtrlDown = false;
    bool altDown = false;
    bool askNames = true;
    bool backToPointer = false;
    double pixelLength = 1;
    double realLength = 1;

    // Answers of the name dialog in order; a missing or empty optional cancels it.
    std::deque<std::optional<QString>> nameAnswers;
    QList<QString> namePresets;
    std::optional<double> inclinationAnswer;
    QList<double> inclinationPresets;
    // What the user does in the scale dialog, after it showed pixelLength and realLength.
    std::function<void(FakeHost &)> scaleDialog;
    QList<double> scaleShown;
    std::function<void(FakeHost &)> onRepaint;

    int repaints = 0;
    int renders = 0;
    int shows = 0;
    int pointerDowns = 0;
    QList<RubberBand> bands;
    QList<QPoint> previews;
    QList<QPoint> pans;
    int panStarts = 0;
    int panEnds = 0;

    static constexpr int CharWidth = 8;
    static constexpr int TextHeight = 15;

    Document &document() override { return doc; }
    double zoom() const override { return zoomValue; }
    QPoint scrollPosition() const override { return scroll; }
    QPoint imageToScreen(double x, double y) const override
    {
        return {toScreen(x) - scroll.x(), toScreen(y) - scroll.y()};
    }
    QPointF screenToImage(QPoint p) const override
    {
        return {(p.x() + scroll.x()) / zoomValue * 100, (p.y() + scroll.y()) / zoomValue * 100};
    }
    // The screen position of an image point: the inverse the tests press at.
    QPoint at(double x, double y) const { return imageToScreen(x, y); }

    void repaint() override
    {
        ++repaints;
        const Scale scale{pixelLength, realLength};
        for (int i = 0; i < doc.count(); ++i)
            computeElementValues(doc, i, scale);
        if (onRepaint)
            onRepaint(*this);
    }
    void renderWithoutShowing() override { ++renders; }
    void drawRubberBand(const RubberBand &band) override { bands.append(band); }
    void drawTextPreview(QPoint cursor) override { previews.append(cursor); }
    void showBackBuffer() override { ++shows; }
    QSize labelTextExtent(const QString &text) const override
    {
        const double f = zoomValue / 100;
        return {static_cast<int>(std::lround(CharWidth * text.size() * f)), static_cast<int>(std::lround(TextHeight * f))};
    }

    bool leftCtrl() const override { return leftCtrlDown; }
    bool anyCtrl() const override { return leftCtrlDown || rightCtrlDown; }
    bool alt() const override { return altDown; }
    bool askNameOption() const override { return askNames; }
    bool returnToPointerOption() const override { return backToPointer; }

    bool askName(QString &text) override
    {
        namePresets.append(text);
        std::optional<QString> answer;
        if (!nameAnswers.empty()) {
            answer = nameAnswers.front();
            nameAnswers.pop_front();
        }
        if (!answer)
            return false;
        text = *answer;
        return true;
    }
    bool askInclination(double &degrees) override
    {
        inclinationPresets.append(degrees);
        if (!inclinationAnswer)
            return false;
        degrees = *inclinationAnswer;
        return true;
    }
    void setScale(double m1, double m2) override
    {
        pixelLength = m1;
        realLength = m2;
    }
    void runNumericScaleCommand() override
    {
        scaleShown.append(pixelLength);
        scaleShown.append(realLength);
        if (scaleDialog)
            scaleDialog(*this);
        if (pixelLength == 0)
            pixelLength = 1;
        if (realLength == 0)
            realLength = 1;
        repaint();
    }
    void setPointerToolDown() override { ++pointerDowns; }
    void beginPan(QPoint press) override
    {
        ++panStarts;
        pans.append(press);
    }
    void panTo(QPoint cursor) override { pans.append(cursor); }
    void endPan() override { ++panEnds; }

    // Test set-up helpers.
    int addElement(int typ, double x1, double y1, double x2, double y2, double x3 = 0, double y3 = 0)
    {
        Telemente *e = doc.appendElement();
        e->typ = typ;
        e->x1 = x1;
        e->y1 = y1;
        e->x2 = x2;
        e->y2 = y2;
        e->x3 = x3;
        e->y3 = y3;
        return doc.count() - 1;
    }
    int addVertexElement(int typ, const QList<QPointF> &vertices)
    {
        Telemente *e = doc.appendElement();
        e->typ = typ;
        for (const QPointF &v : vertices)
            Document::appendVertex(e->vert, v.x(), v.y());
        e->x1 = vertices.value(0).x();
        e->y1 = vertices.value(0).y();
        return doc.count() - 1;
    }
    Telemente &element(int i) { return *doc.element(i); }
    QList<QPointF> vertices(int i)
    {
        QList<QPointF> out;
        Telemente &e = *doc.element(i);
        for (int k = 0; k < Document::vertexCount(e); ++k) {
            const Tvertex v = *Document::vertex(e.vert, k);
            out.append(QPointF(v.x, v.y));
        }
        return out;
    }

private:
    int toScreen(double v) const
    {
        // Round half to even, as the view mapping does.
        return static_cast<int>(std::nearbyint(static_cast<long double>(zoomValue) * v / 100));
    }
};
