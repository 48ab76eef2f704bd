#pragma once

#include "core/dib.h"
#include "core/elements.h"
#include "core/geometry.h"
#include "ui/mainmenus.h"
#include "ui/settingsrow.h"
#include "ui/toolbars.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QMainWindow>
#include <QString>

class PaintBox;
class QFileDialog;
class QFrame;
class QScrollBar;
class QStatusBar;
class QTreeView;
class ResultsModel;
class TAboutBox;

// The main window: menus, the tool bar, the settings row, the drawing surface with its scroll bars
// and the results list. It owns the document, the current image and the back buffer for the whole
// run; the components keep the object names the stored settings and the translation walk use.
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
    QFileDialog *OpenDialog1 = nullptr;

    // State.
    Document elemente;
    dib di;
    QImage bit;
    Scale scale;
    QString einh;
    // Decimal places: nachkomma for distances, nachkomma2 for everything else.
    int nachkomma = 2;
    int nachkomma2 = 4;
    Telemente kopie{};
    bool kopiert = false;
    int languagesetto = 0;
    bool dontchlang = false;
    bool openfirst = false;
    QString progpath;
    // The image named on the command line, loaded at the first showing.
    QString commandLineImage;
    // The label font (FontDialog1) and its colour.
    QFont labelFont;
    QColor labelFontColor{Qt::red};

    // Renders the document over the image into bit and shows it.
    void PaintBox1Paint();
    // Replaces the image by the picture in fileName and fits the zoom to the drawing's width.
    // A file that cannot be read is reported and changes nothing. Returns whether it loaded.
    bool LadeBild(const QString &fileName);

public slots:
    void Beenen1Click();
    void Schriftart1Click();
    void ChooseColorBtnClick();
    void Ergebnisslisteanzeigen1Click();
    void berdasProgramm1Click();
    void PfeillngeundSchriftgrebeimffneneinesBildesautomatischvoreinstellen1Click();

public:
    // Arrow length and label font height that keep their size relative to the image at the
    // current zoom.
    void applySizeRule();

protected:
    void showEvent(QShowEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void FormCreate();
    void FormShow();
    void buildLayout();
    QWidget *buildDrawingArea(QWidget *parent);
    void buildResultsList(QWidget *parent);
    void wireCommands();
    void disableCommandsNotYetAvailable();
    void tickLanguageItem(int index);

    int wheelRemainder = 0;
};
