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
    const ScaleDialogValues current{scale.mas1, scale.mas2, work->numberSettings().einh,
                                    menus.showScaleLine->isChecked()};
    const ScaleDialogValues chosen =
        runScaleDialog(*massstabForm, current, [this](const QList<SavedScale> &) { SaveOptions(); });
    menus.showScaleLine->setChecked(chosen.showScale);
    // Separate X/Y scales end only when the dialog sets another scale: confirming the x scale as
    // the dialog showed it (four decimals by default) keeps them.
    if (!scale.separateAxes || F(chosen.mas1, 4) != F(scale.mas1, 4) || F(chosen.mas2, 4) != F(scale.mas2, 4))
        work->setScale(Scale{chosen.mas1, chosen.mas2});
    work->setUnit(chosen.einh);
    work->commitStep(Translate(QStringLiteral("Maßstab")));
    PaintBox1Paint();
}

void TMainForm::Nachkommastellen1Click()
{
    NumberSettings numbers = work->numberSettings();
    if (askDecimalPlaces(*NachkommaForm, numbers.nachkomma, numbers.nachkomma2)) {
        work->setDecimals(numbers.nachkomma, numbers.nachkomma2);
        work->commitStep(Translate(QStringLiteral("Nachkommastellen")));
        PaintBox1Paint();
    }
}

bool TMainForm::SaveOptions()
{
    Options options;
    options.language = languagesetto;
    options.scales = massstabForm->savedScales();
    const QString path = optionsFilePath();
    if (::SaveOptions(path, options))
        return true;
    QMessageBox::critical(this, QCoreApplication::applicationName(),
                          Message(14) + QLatin1Char('\n') + QDir::toNativeSeparators(path));
    return false;
}
