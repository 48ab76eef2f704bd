#pragma once

#include "core/dib.h"
#include "core/elements.h"
#include "core/geometry.h"

#include <QObject>
#include <QString>

#include <functional>

class QMainWindow;
class TPdfSeiteForm;
class TPerspektiveForm;
class TPlanmassstabForm;

// Plans and photographs as measuring ground: "Aus Auflösung und Planmaßstab..." (the scale from
// the picture's resolution and the plan's ratio) and "Perspektive entzerren..." (straightening
// the picture from four corners of a real rectangle, elements and scale along with it), found
// among the window's actions by name. It also owns the page dialog for opening PDF plans.
class PlanCommands : public QObject
{
    Q_OBJECT
public:
    struct Host {
        std::function<dib &()> image;
        std::function<Document &()> document;
        std::function<Scale()> scale;
        std::function<QString()> unit;
        std::function<void(const Scale &, const QString &)> setScale;
        // The scale dialog, offered when the picture states no resolution.
        std::function<void()> numericScale;
        std::function<void()> repaint;
    };

    PlanCommands(QMainWindow *window, Host host);

    TPdfSeiteForm *pdfPageForm = nullptr;
    TPlanmassstabForm *planScaleForm = nullptr;
    TPerspektiveForm *perspectiveForm = nullptr;

public slots:
    void AusAuflsungundPlanmastab1Click();
    void Perspektiveentzerren1Click();

private:
    void tell(const QString &message);

    QMainWindow *window;
    Host host;
    double lastRatio = 100;
    QString lastUnit = QStringLiteral("m");
};
