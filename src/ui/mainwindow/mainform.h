#pragma once

#include "tools/tool.h"
#include "ui/mainwindow/mainmenus.h"
#include "ui/mainwindow/settingsrow.h"
#include "ui/mainwindow/toolbars.h"
#include "workspace/workspace.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QMainWindow>
#include <QString>

#include <memory>

class DesktopCommands;
class EditCommands;
class ElementValueCache;
class FileOpening;
class FormStorage;
class LanguageCommands;
class MeasurementCommands;
class PrintCommands;
class ProjectCommands;
class TTranslateForm;
class KeyboardState;
class LabelCache;
class PaintBox;
class QFileDialog;
class QFrame;
class QMouseEvent;
class QScrollBar;
class QStatusBar;
class QTreeView;
class ResultsModel;
class TAboutBox;
class TBezeichnungForm;
class TNachkommaForm;
class TNeigungForm;
class TmassstabForm;
class ToolController;
class ViewCommands;
class WindowHost;
class WorkRecovery;
struct ViewState;

// The main window: menus, the tool bar, the settings row, the drawing surface with its scroll bars
// and the results list, over the work it owns for the whole run. The components keep the object
// names the stored settings and the translation walk use.
class TMainForm : public QMainWindow
{
    Q_OBJECT
public:
    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    // Components.
    MainMenus menus;
    ToolButtons tools;
    OpenToolBar openBar;
    SettingsRow settings;
    QFrame *Panel1 = nullptr;
    QFrame *Panel3 = nullptr;
    QFrame *ScrollBox1 = nullptr;
    PaintBox *PaintBox1 = nullptr;
    QScrollBar *ScrollBar1 = nullptr;
    QScrollBar *ScrollBar2 = nullptr;
    QTreeView *ListView1 = nullptr;
    ResultsModel *results = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    TAboutBox *AboutBox = nullptr;
    TmassstabForm *massstabForm = nullptr;
    TBezeichnungForm *BezeichnungForm = nullptr;
    TNeigungForm *NeigungForm = nullptr;
    TNachkommaForm *NachkommaForm = nullptr;
    QFileDialog *OpenDialog1 = nullptr;
    TTranslateForm *TranslateForm = nullptr;
    PrintCommands *printCommands = nullptr;
    ProjectCommands *projectCommands = nullptr;
    MeasurementCommands *measurementCommands = nullptr;
    LanguageCommands *languageCommands = nullptr;
    // The stored check marks, fields, label font and placement of this window.
    std::unique_ptr<FormStorage> FormStorage1;
    // The work: document, picture, scale, number and drawing settings, label font, file name.
    Workspace &workspace() { return *work; }
    const Workspace &workspace() const { return *work; }
    // The back buffer the drawing surface shows.
    QImage &backBuffer() { return bit; }
    const QImage &backBuffer() const { return bit; }
    // The interface language index (0 German, 1 English, 2 Italian) and whether the first
    // showing has run.
    int language() const { return languageIndex; }
    void setLanguage(int index) { languageIndex = index; }
    bool shownOnce() const { return firstShowingDone; }
    // The program's folder with a trailing "/".
    QString programFolder() const { return programDir; }
    // The picture or project named on the command line, opened at the first showing.
    void setCommandLineImage(const QString &fileName) { commandLineImage = fileName; }
    ToolController &toolController() { return *controller; }
    EditCommands &editCommands() { return *editing; }
    // Shortcuts, zoom steps, the status bar report and the loupe.
    DesktopCommands &desktopCommands() { return *desktop; }

    // The view: zoom and scroll positions, which the zoom field and the scroll bars show.
    const ViewState &view() const;

    // Renders the document over the image into bit, shows it and rebuilds the results list.
    void PaintBox1Paint();
    // The same without showing, for drawing a rubber band or a preview over it.
    void renderWithoutShowing();
    void showBackBuffer();
    // Writes the options file: the language and the scale dialog's saved scales. A failure is
    // reported to the user; returns whether the file was written.
    bool SaveOptions();
    // Replaces the image by the picture in fileName and fits the zoom to the drawing's width.
    // A file that cannot be read is reported and changes nothing. Returns whether it loaded.
    bool LadeBild(const QString &fileName);

signals:
    // A picture was opened from fileName.
    void pictureOpened(const QString &fileName);

public slots:
    void Beenen1Click();
    void Schriftart1Click();
    void ChooseColorBtnClick();
    void Ergebnisslisteanzeigen1Click();
    void berdasProgramm1Click();
    void PfeillngeundSchriftgrebeimffneneinesBildesautomatischvoreinstellen1Click();
    void Bildffnen1Click();
    void Neu1Click();
    void Lschen1Click();
    void Kopieren1Click();
    void Einfgen1Click();
    void Beschreibungbearbeiten1Click();
    void Numerisch1Click();
    void Grafisch1Click();
    void Nachkommastellen1Click();
    void PaintBox1MouseDown(QMouseEvent *event);
    void PaintBox1MouseMove(QMouseEvent *event);
    void PaintBox1MouseUp(QMouseEvent *event);

public:
    // Arrow length and label font height that keep their size relative to the image at the
    // current zoom.
    void applySizeRule();

protected:
    void showEvent(QShowEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    friend class WindowHost;
    friend class DesktopCommands;

    void FormCreate();
    // The settings row and the menus' check marks show the drawing settings of the work and
    // hand the user's changes to it.
    void bindDrawingControls();
    void showDrawingSettings();
    void FormShow();
    void buildLayout();
    QWidget *buildDrawingArea(QWidget *parent);
    void buildResultsList(QWidget *parent);
    void createDialogs();
    void createCommandModules();
    void wireCommands();
    void wireTools();
    // A tool button was clicked: its tool becomes current.
    void chooseTool(ToolId id);
    // One repaint into bit, shown on the drawing surface when show says so.
    void repaintPass(bool show);

    // The work lives longest: every member and child below may refer to it.
    std::unique_ptr<Workspace> work;
    QImage bit;
    int languageIndex = 0;
    bool tickingLanguage = false;
    bool firstShowingDone = false;
    QString programDir;
    QString commandLineImage;

    // The keyboard state the tools read at each mouse event, the view handlers, the tools with
    // the window as their host, and the editing commands with the copy buffer.
    KeyboardState *keyboard = nullptr;
    ViewCommands *viewCommands = nullptr;
    std::unique_ptr<WindowHost> host;
    std::unique_ptr<ToolController> controller;
    std::unique_ptr<EditCommands> editing;
    DesktopCommands *desktop = nullptr;
    FileOpening *fileOpening = nullptr;
    // The screen's rasterised label texts.
    std::unique_ptr<LabelCache> labelCache;
    // The values the screen's repaints refreshed, kept while the work does not change.
    std::unique_ptr<ElementValueCache> valueCache;
    // The copy of the work kept for a crash.
    WorkRecovery *recovery = nullptr;
};
