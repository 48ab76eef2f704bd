#pragma once

#include <QObject>
#include <QPoint>

#include <optional>

class LoupeWidget;
class QAction;
class StatusReport;
class TMainForm;

// What makes the main window behave like the desktop programs its users know: the keyboard
// shortcuts of the menu commands, zoom steps and fitting, the status bar's live report and the
// loupe. It only adds to the window; the window's own handlers stay as they are.
class DesktopCommands : public QObject
{
    Q_OBJECT
public:
    explicit DesktopCommands(TMainForm &form);

    // Components.
    QAction *Vergrern1 = nullptr;        // zoom in
    QAction *Verkleinern1 = nullptr;     // zoom out
    QAction *GanzesBildzeigen1 = nullptr; // fit the picture to the window
    QAction *Lupeanzeigen1 = nullptr;    // the loupe, checkable
    StatusReport *StatusText = nullptr;
    LoupeWidget *Loupe = nullptr;

    // The status bar and the loupe follow the cursor on the drawing, or its absence.
    void cursorAt(std::optional<QPoint> surfacePosition);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setShortcuts();
    void addViewItems();
    // The centre of the drawing surface: keyboard zooms keep it in place.
    QPoint surfaceCentre() const;

    TMainForm &form;
    std::optional<QPoint> cursor;
};
