#pragma once

#include <QObject>
#include <QtGlobal>

class QAction;
class QMainWindow;
class Workspace;

// The main window's scanner commands: "Scannen..." (Scannen1) and "Scanner wählen..."
// (Scannerwhlen1), and WMUser2, the answer to the scanner library's event 1025 when a scanned
// picture is ready.
class ScanCommands : public QObject
{
    Q_OBJECT
public:
    // A scanned picture replaces the work's picture, leaving the zoom as it is; work must
    // outlive the commands. The two items (either may be missing) are enabled and wired.
    ScanCommands(QMainWindow *window, Workspace &work, QAction *scanItem, QAction *selectScannerItem);

signals:
    // A scanned picture is now the work's picture.
    void pictureScanned();

public slots:
    void Scannen1Click();
    void Scannerwhlen1Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void WMUser2(quintptr wParam);

    QMainWindow *window;
    Workspace &work;
};
