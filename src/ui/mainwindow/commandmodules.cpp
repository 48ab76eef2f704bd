#include "ui/mainwindow/mainform.h"

#include "core/optionsfile.h"
#include "core/translate.h"
#include "render/viewstate.h"
#include "tools/toolcontroller.h"
#include "ui/commands/exportcommands.h"
#include "ui/commands/fileopening.h"
#include "ui/commands/historycommands.h"
#include "ui/commands/languagecommands.h"
#include "ui/commands/measurementcommands.h"
#include "ui/commands/plancommands.h"
#include "ui/commands/printcommands.h"
#include "ui/commands/projectcommands.h"
#include "ui/commands/scancommands.h"
#include "ui/commands/workrecovery.h"
#include "ui/dialogs/massstabform.h"
#include "ui/dialogs/nachkommaform.h"
#include "ui/dialogs/printform.h"
#include "ui/mainwindow/afterfirstpaint.h"
#include "ui/mainwindow/formstorage.h"
#include "ui/mainwindow/projectsettings.h"
#include "ui/mainwindow/windowhost.h"
#include "ui/translation/qttranslations.h"
#include "ui/translation/translateform.h"
#include "ui/translation/translatewalk.h"

#include <QAction>
#include <QSpinBox>
#include <QTreeView>

// The commands whose work lives in modules of their own: each finds its menu items by name,
// enables them and works on the workspace.
void TMainForm::createCommandModules()
{
    printCommands = new PrintCommands(this, *work);
    connect(printCommands, &PrintCommands::repaintNeeded, this, &TMainForm::PaintBox1Paint);

    auto *exportCommands = new ExportCommands(this, *work, *results, [this] { return view(); });
    connect(exportCommands, &ExportCommands::repaintNeeded, this, &TMainForm::PaintBox1Paint);

    projectCommands = new ProjectCommands(this, *work, *host);
    recovery = new WorkRecovery(this, *work, *projectCommands);

    measurementCommands = new MeasurementCommands(this, menus.scaleMenu, menus.settingsMenu, *work);
    connect(measurementCommands, &MeasurementCommands::repaintNeeded, this, &TMainForm::PaintBox1Paint);
    const LabelNumbers labelNumbers = [this](NumberSettings numbers) {
        return measurementCommands->labelNumbers(std::move(numbers));
    };
    printCommands->setLabelNumbers(labelNumbers);
    exportCommands->setLabelNumbers(labelNumbers);
    keepExpandedRows(ListView1);

    auto *scanCommands = new ScanCommands(this, *work);
    connect(scanCommands, &ScanCommands::pictureScanned, this, [this] {
        work->commitStep(Translate(QStringLiteral("Scannen")));
        PaintBox1Paint();
    });

    auto *planCommands = new PlanCommands(this, *work, [this] { Numerisch1Click(); });
    connect(planCommands, &PlanCommands::repaintNeeded, this, &TMainForm::PaintBox1Paint);

    TranslateForm = new TTranslateForm(this);
    languageCommands = new LanguageCommands(this, languageIndex, tickingLanguage, TranslateForm);
    languageCommands->setOptionsPath(optionsFilePath());
    languageCommands->setScaleSource([this] { return massstabForm->savedScales(); });

    FormStorage1 = std::make_unique<FormStorage>(this, mainFormStoredProperties(*work),
                                                 FormStorage::Placement::Full, QStringLiteral("TMainForm"));
    connect(FormStorage1.get(), &FormStorage::restored, this,
            [this] { ListView1->setVisible(menus.showResultsList->isChecked()); });

    // Made after the stored settings, so its question comes before they are stored at closing.
    auto *history = new HistoryCommands(this, *work, *controller, *projectCommands);
    connect(history, &HistoryCommands::repaintNeeded, this, &TMainForm::PaintBox1Paint);
}

// The first showing: decimal places from their dialog's stored values, the options file, the
// message table, the interface language, the unit text and the picture or project named on the
// command line.
void TMainForm::FormShow()
{
    NachkommaForm->storage().restoreNow();
    work->setDecimals(NachkommaForm->NachEd->value(), NachkommaForm->Nach2Ed->value());
    firstShowingDone = true;

    Options options;
    languageIndex = 1;
    languageCommands->tickLanguage(languageIndex);
    // A damaged options file starts like a missing one: English and no saved scales.
    if (LoadOptions(optionsFilePath(), options)) {
        languageIndex = options.language;
        languageCommands->tickLanguage(languageIndex);
        massstabForm->setSavedScales(options.scales);
    }

    ensureMessages();
    setLanguageIndex(languageIndex);
    installQtTranslations(languageIndex);
    if (languageIndex != 0)
        translateApplication();
    work->setUnit(Message(3));
    // What the window starts with is no step.
    work->startHistory();
    // The window shows first; a large picture then takes its decoding time with the window on
    // screen, and opening it is no step either. Work left by a crash is offered after it.
    runAfterFirstPaint(this, [this] {
        if (!commandLineImage.isEmpty() && fileOpening->open(commandLineImage))
            work->startHistory();
        recovery->offerLeftCopies();
    });
    PaintBox1Paint();
}
