#include "ui/mainform.h"

#include "core/optionsfile.h"
#include "core/translate.h"
#include "render/viewstate.h"
#include "tools/toolcontroller.h"
#include "ui/exportcommands.h"
#include "ui/formstorage.h"
#include "ui/languagecommands.h"
#include "ui/massstabform.h"
#include "ui/measurementcommands.h"
#include "ui/nachkommaform.h"
#include "ui/printcommands.h"
#include "ui/printform.h"
#include "ui/projectcommands.h"
#include "ui/projectsettings.h"
#include "ui/qttranslations.h"
#include "ui/scancommands.h"
#include "ui/translateform.h"
#include "ui/translatewalk.h"

#include <QAction>
#include <QSpinBox>
#include <QTreeView>

// The commands whose work lives in modules of their own: each finds its menu items by name,
// enables them and keeps what it needs of the window behind a few hooks.
void TMainForm::createCommandModules()
{
    DrawingAccess drawing;
    drawing.document = [this]() -> Document & { return elemente; };
    drawing.image = [this]() -> const dib & { return di; };
    drawing.drawingSettings = [this] { return drawingSettings(); };
    drawing.scale = [this] { return scale; };
    drawing.numbers = [this] { return numberSettings(); };
    drawing.repaint = [this] { PaintBox1Paint(); };
    printCommands = new PrintCommands(this, &printer, drawing);

    ExportCommands::Host exportHost{drawing};
    exportHost.view = [this] { return view(); };
    exportHost.results = [this]() -> const ResultsModel & { return *results; };
    new ExportCommands(this, exportHost);

    projectCommands = new ProjectCommands(
        this, {[this]() -> Document & { return elemente; }, [this]() -> dib & { return di; },
               [this](const FontRecord *original) { return settingsFromWindow(*this, original); },
               [this](const ProjectSettings &s) { applySettingsToWindow(*this, s); },
               [this] { toolController->elementsRemoved(); }, [this] { PaintBox1Paint(); }});

    measurementCommands = new MeasurementCommands(
        this, menus.Mastab1, menus.Einstellungen1,
        {[this]() -> Document & { return elemente; }, [this] { return scale; }, [this] { return einh; },
         [this](const Scale &s) {
             scale = s;
             PaintBox1Paint();
         },
         [this] { PaintBox1Paint(); }});
    keepExpandedRows(ListView1);

    new ScanCommands(this, [this](dib &image) {
        FreeDib(di);
        di = image;
        PaintBox1Paint();
    });

    TranslateForm = new TTranslateForm(this);
    languageCommands = new LanguageCommands(this, languagesetto, dontchlang, TranslateForm);
    languageCommands->setOptionsPath(optionsFilePath());
    languageCommands->setScaleSource([this] { return massstabForm->savedScales(); });

    const FontAccess labelFontAccess{[this] { return labelFont; }, [this](const QFont &f) { labelFont = f; },
                                     [this] { return labelFontColor; },
                                     [this](const QColor &c) { labelFontColor = c; }};
    FormStorage1 = std::make_unique<FormStorage>(this, mainFormStoredProperties(labelFontAccess),
                                                 FormStorage::Placement::Full, QStringLiteral("TMainForm"));
    connect(FormStorage1.get(), &FormStorage::restored, this,
            [this] { ListView1->setVisible(menus.Ergebnisslisteanzeigen1->isChecked()); });
}

// The first showing: decimal places from their dialog's stored values, the options file, the
// message table, the interface language, the unit text and the picture named on the command line.
void TMainForm::FormShow()
{
    NachkommaForm->storage().restoreNow();
    nachkomma = NachkommaForm->NachEd->value();
    nachkomma2 = NachkommaForm->Nach2Ed->value();
    openfirst = true;

    Options options;
    languagesetto = 1;
    languageCommands->tickLanguage(languagesetto);
    // A damaged options file starts like a missing one: English and no saved scales.
    if (LoadOptions(optionsFilePath(), options)) {
        languagesetto = options.language;
        languageCommands->tickLanguage(languagesetto);
        massstabForm->setSavedScales(options.scales);
    }

    ensureMessages();
    setLanguageIndex(languagesetto);
    installQtTranslations(languagesetto);
    if (languagesetto != 0)
        translateApplication();
    einh = Message(3);
    if (!commandLineImage.isEmpty())
        LadeBild(commandLineImage);
    PaintBox1Paint();
}
