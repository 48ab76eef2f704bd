#include "workspace/workspace.h"

#include "core/translate.h"
#include "workspace/workstep.h"

#include <QUndoStack>

#include <cstring>

namespace {

bool sameFont(const LabelFont &a, const LabelFont &b)
{
    return a.font == b.font && a.color == b.color;
}

bool sameScale(const Scale &a, const Scale &b)
{
    return a.pixelLength == b.pixelLength && a.realLength == b.realLength && a.separateAxes == b.separateAxes
        && (!a.separateAxes || (a.yPixelLength == b.yPixelLength && a.yRealLength == b.yRealLength));
}

bool sameDrawing(const DrawingSettings &a, const DrawingSettings &b)
{
    return a.elementColor == b.elementColor && a.lineWidth == b.lineWidth && a.arrowLength == b.arrowLength
        && sameFont(a.labelFont, b.labelFont) && a.showPicture == b.showPicture
        && a.showScaleLine == b.showScaleLine && a.outlineText == b.outlineText;
}

// The white placeholder shown until a picture is loaded. Should memory be that short, the
// record stays empty, which every reader treats as "no image".
std::shared_ptr<const Picture> placeholder()
{
    Picture white;
    dib &d = white.record();
    if (newdib(d, 320, 320, 24, nullptr, 0))
        std::memset(d.poi, 255, static_cast<std::size_t>(DibHeight(d)) * static_cast<std::size_t>(d.bytew));
    return std::make_shared<const Picture>(std::move(white));
}

// The name of a step made by a mouse gesture: the kind of element it finished, a new scale, or
// a move of what was there.
QString gestureText(const DocumentChange &change, bool scaleChanged)
{
    if (scaleChanged)
        return Translate(QStringLiteral("Maßstab"));
    if (const ElementCopy *added = change.singleInsertion()) {
        switch (added->type()) {
        case TypDistance: return Message(18);
        case TypPolygon: return Message(19);
        case TypPolyline: return Message(20);
        case TypRectangle: return Message(21);
        case TypEllipse: return Message(22);
        case TypAngle: return Message(30);
        case TypText: return Translate(QStringLiteral("Beschriftung"));
        case TypScaleLine: return Translate(QStringLiteral("Maßstab"));
        default: break;
        }
    }
    return Translate(QStringLiteral("Verschieben"));
}

} // namespace

Workspace::Workspace(QObject *parent) : QObject(parent), current(placeholder()), stack(new QUndoStack(this))
{
    drawing.labelFont.font = QFont(QStringLiteral("Tahoma"));
    drawing.labelFont.font.setPixelSize(15);
    drawing.labelFont.color = Qt::red;
    stack->setUndoLimit(MaxSteps);
    connect(stack, &QUndoStack::cleanChanged, this, &Workspace::updateModified);
    takeSnapshot();
}

Workspace::~Workspace()
{
    // The history empties itself as it goes; nobody is to hear of that any more.
    stack->blockSignals(true);
}

void Workspace::announce(void (Workspace::*signal)())
{
    (this->*signal)();
    emit changed();
}

void Workspace::setPicture(Picture picture)
{
    setPicture(std::make_shared<const Picture>(std::move(picture)));
}

void Workspace::setPicture(std::shared_ptr<const Picture> picture)
{
    if (!picture)
        picture = std::make_shared<const Picture>();
    if (picture == current)
        return;
    current = std::move(picture);
    announce(&Workspace::pictureChanged);
}

void Workspace::setScale(const Scale &scale)
{
    if (sameScale(scale, scale_))
        return;
    scale_ = scale;
    checks.clear();
    if (!scale_.separateAxes)
        axes.reset();
    announce(&Workspace::scaleChanged);
}

void Workspace::setAxisLines(const std::optional<std::array<ReferenceLine, 2>> &lines)
{
    if (lines == axes)
        return;
    axes = lines;
    announce(&Workspace::scaleChanged);
}

void Workspace::setScaleChecks(const std::vector<ReferenceLine> &lines)
{
    if (lines == checks)
        return;
    checks = lines;
    announce(&Workspace::scaleChanged);
}

void Workspace::setNumberSettings(const NumberSettings &n)
{
    if (n.unit == numbers.unit && n.lengthDecimals == numbers.lengthDecimals && n.areaDecimals == numbers.areaDecimals)
        return;
    numbers = n;
    announce(&Workspace::numbersChanged);
}

void Workspace::setUnit(const QString &unit)
{
    NumberSettings n = numbers;
    n.unit = unit;
    setNumberSettings(n);
}

void Workspace::setDecimals(int lengthDecimals, int areaDecimals)
{
    NumberSettings n = numbers;
    n.lengthDecimals = lengthDecimals;
    n.areaDecimals = areaDecimals;
    setNumberSettings(n);
}

void Workspace::setDrawingSettings(const DrawingSettings &d)
{
    if (sameDrawing(d, drawing))
        return;
    drawing = d;
    announce(&Workspace::drawingChanged);
}

void Workspace::setLabelFont(const LabelFont &font)
{
    DrawingSettings d = drawing;
    d.labelFont = font;
    setDrawingSettings(d);
}

void Workspace::setElementColor(const QColor &color)
{
    DrawingSettings d = drawing;
    d.elementColor = color;
    setDrawingSettings(d);
}

void Workspace::setLineWidth(double width)
{
    DrawingSettings d = drawing;
    d.lineWidth = width;
    setDrawingSettings(d);
}

void Workspace::setArrowLength(double length)
{
    DrawingSettings d = drawing;
    d.arrowLength = length;
    setDrawingSettings(d);
}

void Workspace::setShowPicture(bool show)
{
    DrawingSettings d = drawing;
    d.showPicture = show;
    setDrawingSettings(d);
}

void Workspace::setShowScaleLine(bool show)
{
    DrawingSettings d = drawing;
    d.showScaleLine = show;
    setDrawingSettings(d);
}

void Workspace::setOutlineText(bool outline)
{
    DrawingSettings d = drawing;
    d.outlineText = outline;
    setDrawingSettings(d);
}

void Workspace::setFileName(const QString &fileName)
{
    if (fileName == file)
        return;
    file = fileName;
    emit fileNameChanged(file);
    emit changed();
}

bool Workspace::isModified() const
{
    return modified;
}

void Workspace::setModified(bool m)
{
    markedModified = m;
    if (!m)
        stack->setClean();
    updateModified();
}

void Workspace::updateModified()
{
    const bool now = markedModified || !stack->isClean();
    if (now == modified)
        return;
    modified = now;
    emit modifiedChanged(modified);
}

bool Workspace::Settings::operator==(const Settings &o) const
{
    return sameScale(scale, o.scale) && axes == o.axes && checks == o.checks && numbers.unit == o.numbers.unit
        && numbers.lengthDecimals == o.numbers.lengthDecimals && numbers.areaDecimals == o.numbers.areaDecimals
        && elementColor == o.elementColor && lineWidth == o.lineWidth && arrowLength == o.arrowLength
        && sameFont(labelFont, o.labelFont) && picture == o.picture;
}

Workspace::Settings Workspace::currentSettings() const
{
    return Settings{scale_,
                    axes,
                    checks,
                    numbers,
                    drawing.elementColor,
                    drawing.lineWidth,
                    drawing.arrowLength,
                    drawing.labelFont,
                    current};
}

void Workspace::applySettings(const Settings &s)
{
    setScale(s.scale);
    setAxisLines(s.axes);
    setScaleChecks(s.checks);
    setNumberSettings(s.numbers);
    DrawingSettings d = drawing;
    d.elementColor = s.elementColor;
    d.lineWidth = s.lineWidth;
    d.arrowLength = s.arrowLength;
    d.labelFont = s.labelFont;
    setDrawingSettings(d);
    setPicture(s.picture);
    shadowSettings = s;
}

void Workspace::takeSnapshot()
{
    shadow.clear();
    shadow.reserve(static_cast<std::size_t>(doc.count()));
    for (int i = 0; i < doc.count(); ++i)
        shadow.emplace_back(*doc.element(i));
    shadowSettings = currentSettings();
}

void Workspace::commitStep(const QString &text, int mergeKey)
{
    // Whatever was changed in place since the last step is new to the values shown.
    doc.touch();
    DocumentChange change = DocumentChange::between(shadow, doc);
    const Settings now = currentSettings();
    const bool settingsChanged = !(now == shadowSettings);
    if (!change.changesWork() && !settingsChanged) {
        // The selection alone is no step; the copy follows it so later steps compare with it.
        change.apply(nullptr, &shadow, true);
        return;
    }
    const QString name = text.isEmpty()
        ? gestureText(change, !sameScale(now.scale, shadowSettings.scale))
        : text;
    std::optional<std::pair<Settings, Settings>> settings;
    if (settingsChanged)
        settings.emplace(shadowSettings, now);
    // The copy takes the step's elements over as they are now.
    change.apply(nullptr, &shadow, true);
    shadowSettings = now;
    stack->push(new WorkStep(*this, name, std::move(change), std::move(settings), mergeKey));
}

void Workspace::revertUncommitted()
{
    const DocumentChange change = DocumentChange::between(shadow, doc);
    if (!change.isEmpty()) {
        change.apply(&doc, nullptr, false);
        announce(&Workspace::documentChanged);
    }
    if (!(currentSettings() == shadowSettings))
        applySettings(shadowSettings);
}

void Workspace::undo()
{
    revertUncommitted();
    stack->undo();
}

void Workspace::redo()
{
    revertUncommitted();
    stack->redo();
}

void Workspace::startHistory()
{
    doc.touch();
    stack->clear();
    markedModified = false;
    takeSnapshot();
    updateModified();
}

void Workspace::markSaved()
{
    markedModified = false;
    stack->setClean();
    updateModified();
}

void Workspace::documentEdited()
{
    doc.touch();
    announce(&Workspace::documentChanged);
}
