#include "ui/mainwindow/formstorage.h"
#include "ui/mainwindow/mainform.h"

#include "core/elementvalues.h"
#include "core/resultsmodel.h"
#include "core/translate.h"
#include "core/translationtable.h"
#include "image/velumo.h"
#include "render/labelcache.h"
#include "tools/editcommands.h"
#include "tools/toolcontroller.h"
#include "ui/commands/desktopcommands.h"
#include "ui/commands/fileopening.h"
#include "ui/commands/resultsselection.h"
#include "ui/commands/viewcommands.h"
#include "ui/dialogs/aboutbox.h"
#include "ui/dialogs/bezeichnungform.h"
#include "ui/dialogs/massstabform.h"
#include "ui/dialogs/nachkommaform.h"
#include "ui/dialogs/neigungform.h"
#include "ui/mainwindow/keyboardstate.h"
#include "ui/mainwindow/paintbox.h"
#include "ui/mainwindow/windowhost.h"
#include "ui/widgets/colorswatch.h"
#include "ui/widgets/quietfiledialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QMessageBox>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

constexpr int ClientWidth = 904;
constexpr int ResultsColumnWidths[ResultsModel::ColumnCount] = {50, 75, 75, 75, 75};
constexpr int ClientHeight = 555;
constexpr int TopRowHeight = 33;

QScrollBar *scrollBar(QWidget *parent, const char *name, Qt::Orientation orientation)
{
    auto *bar = new QScrollBar(orientation, parent);
    bar->setObjectName(QLatin1String(name));
    bar->setRange(-10000, 10000);
    bar->setSingleStep(10);
    bar->setPageStep(50);
    bar->setValue(0);
    return bar;
}

} // namespace

// The icons live in a static library; registering them once keeps them from being dropped by the
// linker. Resource initialisers must be called from the global namespace.
static void registerResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    Q_UNUSED(registered);
}

TMainForm::TMainForm(QWidget *parent) : QMainWindow(parent)
{
    registerResources();
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Kovrant Tesselon 1.0"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/tesselon.svg")));

    work = std::make_unique<Workspace>();
    FormCreate();
    buildLayout();

    keyboard = new KeyboardState(this);
    viewCommands = new ViewCommands(settings.zoomed, ScrollBar1, ScrollBar2, tools.HandBtn,
                                    [this] { PaintBox1Paint(); }, this);
    host = std::make_unique<WindowHost>(*this);
    controller = std::make_unique<ToolController>(*host);
    editing = std::make_unique<EditCommands>(*host, *controller);
    labelCache = std::make_unique<LabelCache>();
    valueCache = std::make_unique<ElementValueCache>();

    bindDrawingControls();
    wireCommands();
    wireTools();
    createDialogs();
    createCommandModules();
    desktop = new DesktopCommands(*this);
    fileOpening = new FileOpening(*this, *projectCommands);
    new ResultsSelection(*this, *viewCommands);

    resize(ClientWidth, ClientHeight + menuBar()->sizeHint().height());
    if (const QScreen *screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

TMainForm::~TMainForm()
{
    // The stored settings read the label font and the components: keep them while storing.
    FormStorage1.reset();
    // The members go before the child widgets, and a child going (a zoom field losing the focus
    // with an uncommitted edit) may still signal: nothing of the window may answer any more.
    QObjectList receivers{this};
    for (QObject *child : children())
        if (!child->isWidgetType())
            receivers.append(child);
    // Neither may a filter that reads the window's members see the child widgets' last events.
    for (QObject *sender : findChildren<QObject *>())
        for (QObject *receiver : receivers) {
            QObject::disconnect(sender, nullptr, receiver, nullptr);
            sender->removeEventFilter(receiver);
        }
    QObject::disconnect(work.get(), nullptr, nullptr, nullptr);
    // Nor is a zoom typed but not yet applied applied now.
    settings.zoomed->blockSignals(true);
}

void TMainForm::createDialogs()
{
    // The dialogs are the window's children, so a walk over the main window reaches them too.
    AboutBox = new TAboutBox(this);
    massstabForm = new TmassstabForm(this);
    BezeichnungForm = new TBezeichnungForm(this);
    NeigungForm = new TNeigungForm(this);
    NachkommaForm = new TNachkommaForm(this);
}

void TMainForm::FormCreate()
{
    programDir = QCoreApplication::applicationDirPath();
    if (!programDir.endsWith(QLatin1Char('/')))
        programDir += QLatin1Char('/');

    OpenDialog1 = newQuietFileDialog(this);
    OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));
    OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
    OpenDialog1->setNameFilters(GetDIBOpenFilter().split(QStringLiteral(";;")));
    OpenDialog1->setDefaultSuffix(QStringLiteral("bmp"));

    setTranslationCorruptionHandler([](const QString &message) {
        QMessageBox::critical(nullptr, QCoreApplication::applicationName(), message, QMessageBox::Ok);
    });
    translationTable().ensureLoaded();
}

void TMainForm::buildLayout()
{
    menus = buildMainMenus(menuBar(), this);

    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("ClientArea"));
    auto *outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    Panel1 = new QFrame(central);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::NoFrame);
    Panel1->setFixedHeight(TopRowHeight);
    auto *top = new QHBoxLayout(Panel1);
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(0);

    Panel3 = new QFrame(Panel1);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setFrameShape(QFrame::NoFrame);
    Panel3->setFixedWidth(TopRowHeight);
    openBar = buildToolBar1(Panel3);
    auto *openLayout = new QHBoxLayout(Panel3);
    openLayout->setContentsMargins(0, 0, 0, 0);
    openLayout->addWidget(openBar.ToolBar1);

    settings = buildSettingsRow(Panel1);
    top->addWidget(Panel3);
    top->addWidget(settings.Panel2, 1);
    outer->addWidget(Panel1);

    auto *body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    tools = buildToolBar2(central);
    body->addWidget(tools.ToolBar2);
    // The user widens or narrows the results list; the drawing takes what the window gains.
    auto *splitter = new QSplitter(Qt::Horizontal, central);
    splitter->setObjectName(QStringLiteral("Splitter1"));
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(buildDrawingArea(splitter));
    buildResultsList(splitter);
    splitter->addWidget(ListView1);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    splitter->setSizes({ClientWidth - ResultsListWidth, ResultsListWidth});
    // The splitter lays the list out once the window is; until then it has its initial width.
    ListView1->resize(ResultsListWidth, ListView1->height());
    body->addWidget(splitter, 1);
    outer->addLayout(body, 1);

    setCentralWidget(central);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setMinimumHeight(19);
    setStatusBar(StatusBar1);
}

QWidget *TMainForm::buildDrawingArea(QWidget *parent)
{
    auto *area = new QWidget(parent);
    area->setObjectName(QStringLiteral("DrawingArea"));
    auto *grid = new QGridLayout(area);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);

    // The scroll box never scrolls itself: the two scroll bars move the view.
    ScrollBox1 = new QFrame(area);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setFrameShape(QFrame::StyledPanel);
    ScrollBox1->setFrameShadow(QFrame::Sunken);
    ScrollBox1->setBackgroundRole(QPalette::Dark);
    ScrollBox1->setAutoFillBackground(true);
    PaintBox1 = new PaintBox(bit, ScrollBox1);
    auto *inside = new QVBoxLayout(ScrollBox1);
    inside->setContentsMargins(0, 0, 0, 0);
    inside->addWidget(PaintBox1);

    ScrollBar1 = scrollBar(area, "ScrollBar1", Qt::Horizontal);
    ScrollBar2 = scrollBar(area, "ScrollBar2", Qt::Vertical);
    grid->addWidget(ScrollBox1, 0, 0);
    grid->addWidget(ScrollBar2, 0, 1);
    grid->addWidget(ScrollBar1, 1, 0);
    return area;
}

void TMainForm::buildResultsList(QWidget *parent)
{
    ListView1 = new QTreeView(parent);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setRootIsDecorated(false);
    // A polyline's or polygon's sides are child rows, collapsed until opened by a double click.
    ListView1->setItemsExpandable(true);
    ListView1->setUniformRowHeights(true);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setAllColumnsShowFocus(true);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    results = new ResultsModel(ListView1);
    ListView1->setModel(results);
    QHeaderView *header = ListView1->header();
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    for (int column = 0; column < ResultsModel::ColumnCount; ++column)
        header->resizeSection(column, ResultsColumnWidths[column]);
    // A column widens to what its rows show, so no type or angle is cut off; it never narrows
    // below what the user made it. The view measures only the rows in sight, so the rebuild at
    // every repaint stays cheap.
    connect(results, &ResultsModel::modelReset, ListView1, [this] {
        QHeaderView *columns = ListView1->header();
        for (int column = 0; column < ResultsModel::ColumnCount; ++column) {
            const int needed = static_cast<QAbstractItemView *>(ListView1)->sizeHintForColumn(column);
            if (columns->sectionSize(column) < needed)
                columns->resizeSection(column, needed);
        }
    });
}

void TMainForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    ListView1->setVisible(menus.showResultsList->isChecked());
    if (!firstShowingDone)
        FormShow();
}

