#include "ui/commands/desktopcommands.h"

#include "core/dib.h"
#include "render/viewstate.h"
#include "tools/livevalue.h"
#include "tools/toolcontroller.h"
#include "ui/commands/viewcommands.h"
#include "ui/mainwindow/mainform.h"
#include "ui/mainwindow/paintbox.h"
#include "ui/mainwindow/statusreport.h"
#include "ui/mainwindow/statustext.h"
#include "ui/widgets/loupewidget.h"

#include <QAction>
#include <QEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

DesktopCommands::DesktopCommands(TMainForm &mainForm) : QObject(&mainForm), form(mainForm)
{
    setObjectName(QStringLiteral("DesktopCommands"));
    setShortcuts();
    addViewItems();

    StatusText = new StatusReport(form.StatusBar1);
    form.StatusBar1->addWidget(StatusText, 1);
    Loupe = new LoupeWidget(form.PaintBox1);

    // After the tools have handled the event, so the report shows its outcome.
    connect(form.PaintBox1, &PaintBox::mouseMoved, this,
            [this](QMouseEvent *event) { cursorAt(event->position().toPoint()); });
    connect(form.PaintBox1, &PaintBox::mousePressed, this,
            [this](QMouseEvent *event) { cursorAt(event->position().toPoint()); });
    // The zoom and the picture position under the cursor change with the view, also when the
    // wheel or a zoom command moved it.
    connect(form.viewCommands, &ViewCommands::viewChanged, this, [this] { cursorAt(cursor); });
    connect(Lupeanzeigen1, &QAction::toggled, this, [this] { cursorAt(cursor); });
    form.PaintBox1->installEventFilter(this);

    // The tool buttons' hints also show in the status bar while the mouse is over them.
    for (QToolButton *button : form.tools.ToolBar2->findChildren<QToolButton *>())
        button->setStatusTip(button->toolTip());
    cursorAt(std::nullopt);
}

void DesktopCommands::setShortcuts()
{
    const MainMenus &m = form.menus;
    m.openProject->setShortcut(QKeySequence::Open);
    m.openPicture->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    m.saveProjectAs->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    m.print->setShortcut(QKeySequence::Print);
    m.copy->setShortcut(QKeySequence::Copy);
    m.paste->setShortcut(QKeySequence::Paste);
    m.quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    m.about->setShortcut(QKeySequence(Qt::Key_F1));
}

void DesktopCommands::addViewItems()
{
    QMenu *menu = form.menus.settingsMenu;
    auto item = [this, menu](const char *name, const QString &caption, const QList<QKeySequence> &keys) {
        auto *action = new QAction(caption, &form);
        action->setObjectName(QLatin1String(name));
        action->setShortcuts(keys);
        action->setMenuRole(QAction::NoRole);
        menu->addAction(action);
        return action;
    };
    menu->addSeparator();
    // Ctrl+= as well: on many layouts "+" needs Shift, and Ctrl+Shift+= is what arrives.
    Vergrern1 = item("Vergrern1", QStringLiteral("Vergrößern"),
                     {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    Verkleinern1 = item("Verkleinern1", QStringLiteral("Verkleinern"), {QKeySequence(Qt::CTRL | Qt::Key_Minus)});
    GanzesBildzeigen1 = item("GanzesBildzeigen1", QStringLiteral("Ganzes Bild zeigen"), {QKeySequence(Qt::CTRL | Qt::Key_0)});
    Lupeanzeigen1 = item("Lupeanzeigen1", QStringLiteral("Lupe beim Messen anzeigen"), {QKeySequence(Qt::Key_L)});
    Lupeanzeigen1->setCheckable(true);

    connect(Vergrern1, &QAction::triggered, this, [this] { form.viewCommands->zoomStep(true, surfaceCentre()); });
    connect(Verkleinern1, &QAction::triggered, this, [this] { form.viewCommands->zoomStep(false, surfaceCentre()); });
    connect(GanzesBildzeigen1, &QAction::triggered, this, [this] {
        const dib &picture = form.workspace().picture();
        form.viewCommands->fit(QSize(DibWidth(picture), DibHeight(picture)), form.PaintBox1->size());
    });
}

QPoint DesktopCommands::surfaceCentre() const
{
    return form.PaintBox1->rect().center();
}

bool DesktopCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == form.PaintBox1 && event->type() == QEvent::Leave)
        cursorAt(std::nullopt);
    return QObject::eventFilter(watched, event);
}

void DesktopCommands::cursorAt(std::optional<QPoint> surfacePosition)
{
    cursor = surfacePosition;
    ToolController &tools = *form.controller;
    Workspace &work = form.workspace();
    const NumberSettings numbers = work.numberSettings();
    const ViewState &view = form.view();
    StatusInputs in;
    if (cursor)
        in.cursor = view.image(*cursor);
    in.scale = work.scale();
    in.unit = numbers.unit;
    in.lengthDecimals = numbers.lengthDecimals;
    in.zoom = view.zoomPercent;
    in.zoomCaption = form.settings.Label1->text();
    in.liveValue = liveValue(tools.construction(), tools.tool(), work.document(), in.scale,
                             {numbers.unit, numbers.lengthDecimals, numbers.areaDecimals});
    StatusText->setText(statusText(in));

    if (cursor && Lupeanzeigen1->isChecked() && tools.measuringToolDown() && work.picture().poi)
        Loupe->showAt(*cursor, work.picture(), *in.cursor, tools.snapTarget(*cursor));
    else
        Loupe->hide();
}
