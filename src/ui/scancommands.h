#pragma once

#include "core/dib.h"

#include <QObject>
#include <QtGlobal>

#include <functional>

class QMainWindow;

// The main window's scanner commands: "Scannen..." (Scannen1) and "Scanner wählen..."
// (Scannerwhlen1), found among the window's actions by name, and WMUser2, the answer to the
// scanner library's event 1025 when a scanned picture is ready.
class ScanCommands : public QObject
{
    Q_OBJECT
public:
    // Takes the scanned picture over: releases the window's image, makes this one current and
    // repaints, leaving the zoom as it is.
    using ReplaceImage = std::function<void(dib &image)>;

    ScanCommands(QMainWindow *window, ReplaceImage replaceImage);

public slots:
    void Scannen1Click();
    void Scannerwhlen1Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void WMUser2(quintptr wParam);

    QMainWindow *window;
    ReplaceImage replaceImage;
};
