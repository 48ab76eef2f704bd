#include "ui/mainwindow/mainform.h"

#include "core/numberformat.h"
#include "core/optionsfile.h"
#include "core/translate.h"
#include "ui/dialogs/massstabform.h"
#include "ui/dialogs/nachkommaform.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>

void TMainForm::Numerisch1Click()
{
    const Scale scale = work->scale();
    const ScaleDialogValues current{scale.pixelLength, scale.realLength, work->numberSettings().unit,
                                    menus.showScaleLine->isChecked()};
    const ScaleDialogValues chosen =
        runScaleDialog(*massstabForm, current, [this](const QList<SavedScale> &) { SaveOptions(); });
    menus.showScaleLine->setChecked(chosen.showScale);
    // Separate X/Y scales end only when the dialog sets another scale: confirming the x scale as
    // the dialog showed it (four decimals by default) keeps them.
    if (!scale.separateAxes || F(chosen.pixelLength, 4) != F(scale.pixelLength, 4) || F(chosen.realLength, 4) != F(scale.realLength, 4))
        work->setScale(Scale{chosen.pixelLength, chosen.realLength});
    work->setUnit(chosen.unit);
    work->commitStep(Translate(QStringLiteral("Maßstab")));
    PaintBox1Paint();
}

void TMainForm::Nachkommastellen1Click()
{
    NumberSettings numbers = work->numberSettings();
    if (askDecimalPlaces(*NachkommaForm, numbers.lengthDecimals, numbers.areaDecimals)) {
        work->setDecimals(numbers.lengthDecimals, numbers.areaDecimals);
        work->commitStep(Translate(QStringLiteral("Nachkommastellen")));
        PaintBox1Paint();
    }
}

bool TMainForm::SaveOptions()
{
    Options options;
    options.language = languageIndex;
    options.scales = massstabForm->savedScales();
    const QString path = optionsFilePath();
    if (::SaveOptions(path, options))
        return true;
    QMessageBox::critical(this, QCoreApplication::applicationName(),
                          Message(14) + QLatin1Char('\n') + QDir::toNativeSeparators(path));
    return false;
}
