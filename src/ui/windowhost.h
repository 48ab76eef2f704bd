#pragma once

#include "tools/toolhost.h"

class TMainForm;

// The main window as the mouse tools see it: its document, its view, its back buffer, its
// dialogs and its option check marks.
class WindowHost final : public ToolHost
{
public:
    explicit WindowHost(TMainForm &form);

    Document &document() override;

    double zoom() const override;
    QPoint scrollPosition() const override;
    QPoint imageToScreen(double x, double y) const override;
    QPointF screenToImage(QPoint screen) const override;

    void repaint() override;
    void renderWithoutShowing() override;
    void drawRubberBand(const RubberBand &band) override;
    void drawTextPreview(QPoint cursor) override;
    void showBackBuffer() override;
    QSize labelTextExtent(const QString &text) const override;

    bool leftCtrl() const override;
    bool anyCtrl() const override;
    bool alt() const override;

    bool askNameOption() const override;
    bool returnToPointerOption() const override;

    bool askName(QString &text) override;
    bool askInclination(double &degrees) override;
    void setScale(double mas1, double mas2) override;
    void runNumericScaleCommand() override;

    void setPointerToolDown() override;

    void beginPan(QPoint press) override;
    void panTo(QPoint cursor) override;
    void endPan() override;

private:
    TMainForm &form;
};
