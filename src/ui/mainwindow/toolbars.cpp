#include "ui/mainwindow/toolbars.h"

#include <QButtonGroup>
#include <QIcon>
#include <QToolBar>
#include <QToolButton>

namespace {

constexpr int ButtonSide = 31;
constexpr int IconSide = 24;
constexpr int BarSide = 33;

QToolButton *toolButton(QToolBar *bar, const char *name, const char *icon, const QString &hint)
{
    auto *button = new QToolButton(bar);
    button->setObjectName(QLatin1String(name));
    button->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(icon))));
    button->setIconSize(QSize(IconSide, IconSide));
    button->setFixedSize(ButtonSide, ButtonSide);
    button->setToolTip(hint);
    button->setAutoRaise(true);
    bar->addWidget(button);
    return button;
}

QToolBar *fixedBar(QWidget *parent, const char *name, Qt::Orientation orientation)
{
    auto *bar = new QToolBar(parent);
    bar->setObjectName(QLatin1String(name));
    bar->setOrientation(orientation);
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(IconSide, IconSide));
    bar->setContentsMargins(0, 0, 0, 0);
    return bar;
}

} // namespace

std::array<QToolButton *, 11> ToolButtons::all() const
{
    return {ZeigerBtn, HandBtn, DimensionBtn, StreckeBtn, PolygonBtn, RectBtn,
            CircleBtn, SchraegBtn, massstabBtn, TextBtn, AngleBtn};
}

ToolButtons buildToolBar2(QWidget *parent)
{
    ToolButtons t;
    t.ToolBar2 = fixedBar(parent, "ToolBar2", Qt::Vertical);
    t.ToolBar2->setFixedWidth(BarSide);

    t.ZeigerBtn = toolButton(t.ToolBar2, "ZeigerBtn", "pointer", QStringLiteral("Objekte auswählen"));
    t.HandBtn = toolButton(t.ToolBar2, "HandBtn", "hand", QStringLiteral("Ansicht verschieben"));
    t.DimensionBtn = toolButton(t.ToolBar2, "DimensionBtn", "dimension",
                                QStringLiteral("Abstand messen; STRG/ALT Taste für horizontale/vertikale Linie"));
    t.StreckeBtn = toolButton(t.ToolBar2, "StreckeBtn", "polyline",
                              QStringLiteral("Gesamtstrecke vermessen; STRG/ALT Taste für horizontale/vertikale Linie"));
    t.PolygonBtn = toolButton(t.ToolBar2, "PolygonBtn", "polygon",
                              QStringLiteral("Polygon-Fläche messen; STRG/ALT Taste für horizontale/vertikale Linie"));
    t.RectBtn = toolButton(t.ToolBar2, "RectBtn", "rectangle", QStringLiteral("Rechteck Messung; STRG für Quadrat"));
    t.CircleBtn = toolButton(t.ToolBar2, "CircleBtn", "ellipse",
                             QStringLiteral("Ellipse (STRG gedrückt halten für Kreis)"));
    t.SchraegBtn = toolButton(
        t.ToolBar2, "SchraegBtn", "inclined",
        QStringLiteral("Geneigte Strecke messen, z.B. Dachschräge messen; Winkel muss bekannt sein"));
    t.massstabBtn = toolButton(t.ToolBar2, "massstabBtn", "scalebar", QStringLiteral("Maßstab grafisch ermitteln"));
    t.TextBtn = toolButton(t.ToolBar2, "TextBtn", "text", QStringLiteral("Beschriftung hinzufügen"));
    t.AngleBtn = toolButton(t.ToolBar2, "AngleBtn", "angle", QStringLiteral("Winkel messen"));

    // Exclusive, yet nothing is down until a tool is chosen.
    t.group = new QButtonGroup(t.ToolBar2);
    t.group->setObjectName(QStringLiteral("ToolGroup"));
    t.group->setExclusive(true);
    for (QToolButton *button : t.all()) {
        button->setCheckable(true);
        button->setChecked(false);
        t.group->addButton(button);
    }
    return t;
}

OpenToolBar buildToolBar1(QWidget *parent)
{
    OpenToolBar o;
    o.ToolBar1 = fixedBar(parent, "ToolBar1", Qt::Horizontal);
    o.OpenBtn = toolButton(o.ToolBar1, "OpenBtn", "open", QStringLiteral("Bild öffnen"));
    return o;
}
