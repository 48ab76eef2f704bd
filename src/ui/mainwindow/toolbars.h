#pragma once

#include <array>

class QButtonGroup;
class QString;
class QToolBar;
class QToolButton;
class QWidget;

// The left tool bar: the measuring tools as mutually exclusive check buttons, none down at first.
struct ToolButtons {
    QToolBar *ToolBar2 = nullptr;
    QButtonGroup *group = nullptr;
    QToolButton *ZeigerBtn = nullptr;
    QToolButton *HandBtn = nullptr;
    QToolButton *DimensionBtn = nullptr;
    QToolButton *StreckeBtn = nullptr;
    QToolButton *PolygonBtn = nullptr;
    QToolButton *RectBtn = nullptr;
    QToolButton *CircleBtn = nullptr;
    QToolButton *SchraegBtn = nullptr;
    QToolButton *massstabBtn = nullptr;
    QToolButton *TextBtn = nullptr;
    QToolButton *AngleBtn = nullptr;

    // Top to bottom, as they appear.
    std::array<QToolButton *, 11> all() const;
};

ToolButtons buildToolBar2(QWidget *parent);

// The small bar at the top left holding the image-open button.
struct OpenToolBar {
    QToolBar *ToolBar1 = nullptr;
    QToolButton *OpenBtn = nullptr;
};

OpenToolBar buildToolBar1(QWidget *parent);
