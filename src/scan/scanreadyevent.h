#pragma once

#include <QEvent>
#include <QtGlobal>

// The event a window receives when its scan is ready: the window message WM_USER + 1.
inline constexpr QEvent::Type ScanReadyEventType = QEvent::Type(QEvent::User + 25);
static_assert(ScanReadyEventType == 1025);

class ScanReadyEvent : public QEvent
{
public:
    explicit ScanReadyEvent(quintptr id) : QEvent(ScanReadyEventType), id(id) {}
    // The identifier of the scanned picture, for GetScanedDib.
    quintptr wParam() const { return id; }

private:
    quintptr id;
};
