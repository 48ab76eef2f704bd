#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QAction;
class QMainWindow;
class Workspace;
class TPdfSeiteForm;
class TPerspektiveForm;
class TPlanmassstabForm;

// Plans and photographs as measuring ground: "Aus Auflösung und Planmaßstab..." (the scale from
// the picture's resolution and the plan's ratio) and "Perspektive entzerren..." (straightening
// the picture from four corners of a real rectangle, elements and scale along with it). It also
// owns the page dialog for opening PDF plans.
class PlanCommands : public QObject
{
    Q_OBJECT
public:
    // numericScale runs the scale dialog, offered when the picture states no resolution. The two
    // items (either may be missing) are wired to the commands.
    PlanCommands(QMainWindow *window, Workspace &work, std::function<void()> numericScale,
                 QAction *scaleFromResolutionItem, QAction *straightenPerspectiveItem);

    TPdfSeiteForm *pdfPageForm = nullptr;
    TPlanmassstabForm *planScaleForm = nullptr;
    TPerspektiveForm *perspectiveForm = nullptr;

public slots:
    void AusAuflsungundPlanmastab1Click();
    void Perspektiveentzerren1Click();

private:
    void tell(const QString &message);

signals:
    void repaintNeeded();

private:
    QMainWindow *window;
    Workspace &work;
    std::function<void()> numericScale;
    double lastRatio = 100;
    QString lastUnit = QStringLiteral("m");
};
