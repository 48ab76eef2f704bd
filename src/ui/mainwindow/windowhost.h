#pragma once

#include "tools/toolhost.h"
#include "ui/commands/projectcommands.h"

class TMainForm;

// The main window as the mouse tools see it (the work's document, the view, the back buffer, the
// dialogs and the option check marks) and as the project commands see it (the settings its
// controls show).
class WindowHost final : public ToolHost, public ProjectWindow
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
    void setScale(double pixelLength, double realLength) override;
    void runNumericScaleCommand() override;

    void setPointerToolDown() override;

    void beginPan(QPoint press) override;
    void panTo(QPoint cursor) override;
    void endPan() override;

    ProjectSettings currentSettings(const FontRecord *original) const override;
    void applySettings(const ProjectSettings &settings) override;
    void endConstruction() override;

private:
    TMainForm &form;
};
