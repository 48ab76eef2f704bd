#pragma once

#include <QRect>
#include <QSize>

#include <optional>

// Where the picture lies on the printed page: the print dialog's arithmetic, shared by its
// preview (the page shrunk into the preview box) and the printout (the page at full size).
// Integer arithmetic with divisions truncating toward zero, as the preview has always done.

// The choices of the print dialog.
struct PrintSizeChoice {
    bool useFullPage = true;     // "Seite voll nutzen"; otherwise "Benutzerdefiniert"
    bool keepProportions = true; // "Seitenverhältnis beibehalten"
    bool centred = true;         // "Zentrierte Ausgabe"
    int widthPercent = 50;       // BreitEdit
    int heightPercent = 50;      // HochEdit
};

// The page of page.width() x page.height() printer pixels in its proportions inside an area,
// centred: a landscape page takes the area's width, any other page its height. Empty when the
// page or the area has no size.
QRect previewPageRect(QSize area, QSize page);

// The picture's rectangle on a page rectangle, for a picture of image's size. The whole page
// while the picture has no size.
QRect picturePlacement(const QRect &pageRect, QSize image, const PrintSizeChoice &choice);

// The width rule with the proportions kept: the height percentage describing the same picture
// as widthPercent of the page width, truncated and held at 1..100. None while the picture or the
// page has no size.
std::optional<int> heightPercentFor(int widthPercent, QSize image, QSize page);
// The height rule: the width percentage for heightPercent of the page height.
std::optional<int> widthPercentFor(int heightPercent, QSize image, QSize page);
