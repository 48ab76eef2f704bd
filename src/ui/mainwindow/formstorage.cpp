#include "ui/mainwindow/formstorage.h"

#include "core/numberformat.h"
#include "core/optionsfile.h"
#include "ui/widgets/colorswatch.h"
#include "workspace/workspace.h"

#include <QDebug>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Placement keys beside the component values; component keys always hold a "_".
const QString LeftKey = QStringLiteral("Left");
const QString TopKey = QStringLiteral("Top");
const QString WidthKey = QStringLiteral("Width");
const QString HeightKey = QStringLiteral("Height");
const QString StateKey = QStringLiteral("State");

enum WindowStateValue { StateNormal = 0, StateMinimized = 1, StateMaximized = 2 };

// The stored text of a value, in the type of its initial value, always with ".".
QString textOf(const QVariant &value, const QVariant &initial)
{
    switch (initial.typeId()) {
    case QMetaType::Bool: return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QMetaType::Int: return QString::number(value.toInt());
    case QMetaType::Double: return QString::number(value.toDouble(), 'g', 17);
    default: return value.toString();
    }
}

// A stored text read back in the type of the initial value; the initial value when the text is
// missing or does not read as that type.
QVariant valueOf(const QVariant &stored, const QVariant &initial)
{
    if (!stored.isValid())
        return initial;
    const QString text = stored.toString().trimmed();
    switch (initial.typeId()) {
    case QMetaType::Bool:
        if (text == QLatin1String("true") || text == QLatin1String("1"))
            return true;
        if (text == QLatin1String("false") || text == QLatin1String("0"))
            return false;
        return initial;
    case QMetaType::Int: {
        bool ok = false;
        const int v = text.toInt(&ok);
        return ok ? QVariant(v) : initial;
    }
    case QMetaType::Double: {
        double v = 0.0;
        return parseNumber(text, v) ? QVariant(v) : initial;
    }
    default: return stored.toString();
    }
}

int intValue(const QSettings &settings, const QString &key, bool &ok)
{
    ok = false;
    const QVariant v = settings.value(key);
    return v.isValid() ? v.toString().trimmed().toInt(&ok) : 0;
}

bool onSomeScreen(const QRect &rect)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (const QScreen *screen : screens)
        if (screen->availableGeometry().intersects(rect))
            return true;
    return false;
}

enum FontStyleBit { StyleBold = 1, StyleItalic = 2, StyleUnderline = 4, StyleStrikeOut = 8 };

int styleBits(const QFont &font)
{
    return (font.bold() ? StyleBold : 0) | (font.italic() ? StyleItalic : 0) |
           (font.underline() ? StyleUnderline : 0) | (font.strikeOut() ? StyleStrikeOut : 0);
}

// Negative heights are character heights in pixels; a font given in points gets the pixels
// those make at 96 pixels per inch.
int fontHeight(const QFont &font)
{
    if (font.pixelSize() > 0)
        return -font.pixelSize();
    return -static_cast<int>(std::lround(font.pointSizeF() * 96.0 / 72.0));
}

} // namespace

StoredProperty componentProperty(const QString &component, const QString &property, const char *qtProperty,
                                 const QVariant &initial)
{
    StoredProperty p;
    p.component = component;
    p.property = property;
    p.initial = initial;
    p.qtProperty = qtProperty;
    return p;
}

StoredProperty hookedProperty(const QString &component, const QString &property, const QVariant &initial,
                              std::function<QVariant(QObject *)> get,
                              std::function<void(QObject *, const QVariant &)> set)
{
    StoredProperty p;
    p.component = component;
    p.property = property;
    p.initial = initial;
    p.get = std::move(get);
    p.set = std::move(set);
    return p;
}

QList<StoredProperty> fontProperties(const QString &component, Workspace &work, const QString &name, int height,
                                     const QColor &color, int style)
{
    Workspace *w = &work;
    // Each part changes the font as the work holds it now.
    auto change = [w](const std::function<void(LabelFont &)> &edit) {
        LabelFont f = w->labelFont();
        edit(f);
        w->setLabelFont(f);
    };
    const QString part = QStringLiteral("Font_");
    QList<StoredProperty> list;
    list << hookedProperty(component, part + QStringLiteral("Name"), name,
                           [w](QObject *) { return QVariant(w->labelFont().font.family()); },
                           [change](QObject *, const QVariant &v) {
                               change([&v](LabelFont &f) { f.font.setFamily(v.toString()); });
                           });
    list << hookedProperty(component, part + QStringLiteral("Height"), height,
                           [w](QObject *) { return QVariant(fontHeight(w->labelFont().font)); },
                           [change](QObject *, const QVariant &v) {
                               const int h = v.toInt();
                               if (h != 0)
                                   change([h](LabelFont &f) { f.font.setPixelSize(std::abs(h)); });
                           });
    list << hookedProperty(component, part + QStringLiteral("Color"), color.name(),
                           [w](QObject *) { return QVariant(w->labelFont().color.name()); },
                           [change, color](QObject *, const QVariant &v) {
                               const QColor c = QColor::fromString(v.toString());
                               change([&](LabelFont &f) { f.color = c.isValid() ? c : color; });
                           });
    list << hookedProperty(component, part + QStringLiteral("Style"), style,
                           [w](QObject *) { return QVariant(styleBits(w->labelFont().font)); },
                           [change](QObject *, const QVariant &v) {
                               const int bits = v.toInt();
                               change([bits](LabelFont &f) {
                                   f.font.setBold(bits & StyleBold);
                                   f.font.setItalic(bits & StyleItalic);
                                   f.font.setUnderline(bits & StyleUnderline);
                                   f.font.setStrikeOut(bits & StyleStrikeOut);
                               });
                           });
    return list;
}

QList<StoredProperty> mainFormStoredProperties(Workspace &work)
{
    const QString checked = QStringLiteral("Checked");
    auto check = [&checked](const char *component, bool initial) {
        return componentProperty(QLatin1String(component), checked, "checked", initial);
    };
    QList<StoredProperty> list;
    list << check("Anzeigen1", true) << check("BezeichnungfrElementeeingebenlassen1", true)
         << check("Ergebnisslisteanzeigen1", true) << check("NachMessungwiederdenZeigerauswhlen1", false)
         << check("PfeillngeundSchriftgrebeimffneneinesBildesautomatischvoreinstellen1", true)
         << check("SchriftumrandenumdieLesbarkeitzuverbessern1", false) << check("ShowPicCheck", true)
         << check("Lupeanzeigen1", false);
    list << fontProperties(QStringLiteral("FontDialog1"), work, QStringLiteral("Tahoma"), -15, Qt::red, 0);
    list << hookedProperty(
        QStringLiteral("Shape1"), QStringLiteral("Brush_Color"), QColor(Qt::red).name(),
        [](QObject *component) {
            const auto *swatch = qobject_cast<ColorSwatch *>(component);
            return swatch ? QVariant(swatch->brushColor().name()) : QVariant();
        },
        [](QObject *component, const QVariant &v) {
            auto *swatch = qobject_cast<ColorSwatch *>(component);
            const QColor c = QColor::fromString(v.toString());
            if (swatch)
                swatch->setBrushColor(c.isValid() ? c : QColor(Qt::red));
        });
    list << componentProperty(QStringLiteral("WidthEd"), QStringLiteral("Value"), "value", 2.0)
         << componentProperty(QStringLiteral("PfeillangEd"), QStringLiteral("Value"), "value", 30.0);
    // The results list's width in the splitter beside the drawing; a hidden list keeps the last one.
    list << hookedProperty(
        QStringLiteral("Splitter1"), QStringLiteral("ResultsWidth"), ResultsListWidth,
        [](QObject *component) {
            const auto *splitter = qobject_cast<QSplitter *>(component);
            const int width = splitter ? splitter->sizes().value(1) : 0;
            return width > 0 ? QVariant(width) : QVariant();
        },
        [](QObject *component, const QVariant &v) {
            if (auto *splitter = qobject_cast<QSplitter *>(component)) {
                const int width = std::max(v.toInt(), 1);
                splitter->setSizes({std::max(splitter->width() - width, 1), width});
            }
        });
    return list;
}

FormStorage::FormStorage(QWidget *window, QList<StoredProperty> properties, Placement placement,
                         const QString &group)
    : window(window), stored(std::move(properties)), placement(placement),
      groupName(group.isEmpty() ? QString::fromLatin1(window->metaObject()->className()) : group)
{
    setObjectName(QStringLiteral("FormStorage1"));
    window->installEventFilter(this);
}

FormStorage::~FormStorage()
{
    window->removeEventFilter(this);
    if (hasRestored)
        storeNow();
}

QString FormStorage::fileName()
{
    return settingsFolder() + QStringLiteral("Tesselon.ini");
}

QObject *FormStorage::componentOf(const StoredProperty &p) const
{
    if (p.component.isEmpty())
        return window;
    return window->findChild<QObject *>(p.component);
}

QVariant FormStorage::read(const StoredProperty &p) const
{
    QObject *component = componentOf(p);
    if (p.get)
        return p.get(component);
    return component ? component->property(p.qtProperty.constData()) : QVariant();
}

void FormStorage::write(const StoredProperty &p, const QVariant &value) const
{
    QObject *component = componentOf(p);
    if (p.set)
        p.set(component, value);
    else if (component)
        component->setProperty(p.qtProperty.constData(), value);
}

void FormStorage::restoreNow()
{
    QSettings settings(fileName(), QSettings::IniFormat);
    settings.beginGroup(groupName);
    for (const StoredProperty &p : std::as_const(stored))
        write(p, valueOf(settings.value(p.key()), p.initial));
    restorePlacement(settings);
    settings.endGroup();
    hasRestored = true;
    emit restored();
}

bool FormStorage::storeNow()
{
    settingsFolder(true);
    QSettings settings(fileName(), QSettings::IniFormat);
    settings.beginGroup(groupName);
    for (const StoredProperty &p : std::as_const(stored)) {
        const QVariant value = read(p);
        if (value.isValid())
            settings.setValue(p.key(), textOf(value, p.initial));
    }
    storePlacement(settings);
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

void FormStorage::restorePlacement(const QSettings &settings)
{
    if (placement == Placement::None)
        return;
    bool ok = false;
    if (placement == Placement::Full) {
        bool okLeft = false, okTop = false, okWidth = false, okHeight = false;
        const int left = intValue(settings, LeftKey, okLeft);
        const int top = intValue(settings, TopKey, okTop);
        const int width = intValue(settings, WidthKey, okWidth);
        const int height = intValue(settings, HeightKey, okHeight);
        if (okWidth && okHeight && width > 0 && height > 0) {
            const QRect rect(left, top, width, height);
            // A position on a screen that is no longer attached would hide the window.
            if (okLeft && okTop && onSomeScreen(rect))
                window->setGeometry(rect);
            else
                window->resize(width, height);
        }
    }
    const int state = intValue(settings, StateKey, ok);
    if (!ok)
        return;
    // A window left minimized comes back in its normal state, not hidden in the task bar.
    Qt::WindowStates states = window->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (state == StateMaximized)
        states |= Qt::WindowMaximized;
    window->setWindowState(states);
}

void FormStorage::storePlacement(QSettings &settings) const
{
    if (placement == Placement::None)
        return;
    if (placement == Placement::Full) {
        const QRect rect = window->normalGeometry();
        settings.setValue(LeftKey, rect.left());
        settings.setValue(TopKey, rect.top());
        settings.setValue(WidthKey, rect.width());
        settings.setValue(HeightKey, rect.height());
    }
    const int state = window->isMaximized() ? StateMaximized : window->isMinimized() ? StateMinimized : StateNormal;
    settings.setValue(StateKey, state);
}

bool FormStorage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window && !event->spontaneous()) {
        if (event->type() == QEvent::Show)
            restoreNow();
        else if (event->type() == QEvent::Hide && !storeNow())
            qWarning("The window settings could not be written to %s.", qPrintable(fileName()));
    }
    return QObject::eventFilter(watched, event);
}
