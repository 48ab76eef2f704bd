#pragma once

#include "core/elements.h"
#include "core/geometry.h"
#include "core/picture.h"
#include "core/scalecheck.h"
#include "render/labels.h"
#include "render/renderer.h"
#include "workspace/elementcopy.h"

#include <QObject>
#include <QString>

#include <array>
#include <memory>
#include <optional>
#include <vector>

class QUndoStack;
class WorkStep;

// The work: the document, the picture, the scale, the number settings, the drawing settings
// with the label font, the project's file name, whether there are unsaved changes and the
// history of its changes. Windows, commands, printing and exports read and change the work only
// here; the signals tell their views what changed.
//
// Changes are made in place and then made one step of the history with commitStep. A step keeps
// what changed: the elements removed, inserted or changed (compared with a copy of the document
// as the last step left it) with the zoom their points were placed at, the scale with its axis
// lines and checks, the decimals and unit, the colour, line width, arrow
// length and label font, and the picture by reference. The history keeps MaxSteps steps.
class Workspace : public QObject
{
    Q_OBJECT
public:
    explicit Workspace(QObject *parent = nullptr);
    ~Workspace() override;

    Document &document() { return doc; }
    const Document &document() const { return doc; }

    // The picture; a record without pixels when there is none.
    const dib &picture() const { return current->get(); }
    // The same picture, shared: whoever keeps it keeps these pixels alive, with no copy.
    std::shared_ptr<const Picture> sharedPicture() const { return current; }
    void setPicture(Picture picture);
    void setPicture(std::shared_ptr<const Picture> picture);

    Scale scale() const { return scale_; }
    // A different scale ends the checks made against the old one; a scale without separate axes
    // also ends the axis lines.
    void setScale(const Scale &scale);
    // The two lines a scale with separate axes was set from; none without separate axes.
    std::optional<std::array<ReferenceLine, 2>> axisLines() const { return axes; }
    void setAxisLines(const std::optional<std::array<ReferenceLine, 2>> &lines);
    // The lines of "Maßstab prüfen..." made against the current scale.
    const std::vector<ReferenceLine> &scaleChecks() const { return checks; }
    void setScaleChecks(const std::vector<ReferenceLine> &lines);

    // The unit text and the decimal places.
    NumberSettings numberSettings() const { return numbers; }
    void setNumberSettings(const NumberSettings &numbers);
    void setUnit(const QString &unit);
    void setDecimals(int lengthDecimals, int areaDecimals);

    DrawingSettings drawingSettings() const { return drawing; }
    void setDrawingSettings(const DrawingSettings &drawing);
    LabelFont labelFont() const { return drawing.labelFont; }
    void setLabelFont(const LabelFont &font);
    void setElementColor(const QColor &color);
    void setLineWidth(double width);
    void setArrowLength(double length);
    void setShowPicture(bool show);
    void setShowScaleLine(bool show);
    void setOutlineText(bool outline);

    // The project file the work was last opened from or saved to; empty for a new drawing.
    QString fileName() const { return file; }
    void setFileName(const QString &fileName);

    // Unsaved changes: steps since the last save, or a work marked modified as a whole.
    bool isModified() const;
    void setModified(bool modified);

    static constexpr int MaxSteps = 500;
    QUndoStack &history() { return *stack; }
    // Makes everything changed since the last step one step named text. Nothing changed but the
    // selection: no step. Settings-only steps with the same non-zero mergeKey that follow each
    // other become one (the arrows of a number field).
    void commitStep(const QString &text, int mergeKey = 0);
    // Puts the work back as the last step left it: a construction given up.
    void revertUncommitted();
    // Undoes or redoes one step; changes not yet made a step are given up first.
    void undo();
    void redo();
    // The work as it is now starts a new history without steps and without unsaved changes.
    void startHistory();
    // The work as it is now is the saved one.
    void markSaved();

    // The document was changed in place: tells the views.
    void documentEdited();

signals:
    // Anything of the work changed.
    void changed();
    void documentChanged();
    void pictureChanged();
    void scaleChanged();
    void numbersChanged();
    void drawingChanged();
    void fileNameChanged(const QString &fileName);
    void modifiedChanged(bool modified);

private:
    friend class WorkStep;

    // What a step compares and restores besides the document.
    struct Settings {
        Scale scale;
        std::optional<std::array<ReferenceLine, 2>> axes;
        std::vector<ReferenceLine> checks;
        NumberSettings numbers;
        QColor elementColor;
        double lineWidth = 0;
        double arrowLength = 0;
        LabelFont labelFont;
        std::shared_ptr<const Picture> picture;
        bool operator==(const Settings &other) const;
    };

    void announce(void (Workspace::*signal)());
    Settings currentSettings() const;
    void applySettings(const Settings &settings);
    void takeSnapshot();
    void updateModified();

    Document doc;
    std::shared_ptr<const Picture> current;
    Scale scale_;
    std::optional<std::array<ReferenceLine, 2>> axes;
    std::vector<ReferenceLine> checks;
    NumberSettings numbers;
    DrawingSettings drawing;
    QString file;
    bool modified = false;
    bool markedModified = false;
    QUndoStack *stack = nullptr;
    // The document and the settings as the last step left them.
    std::vector<ElementCopy> shadow;
    Settings shadowSettings;
};
