#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>

class QSettings;
class QWidget;
class Workspace;

// One value a window keeps between runs, stored under the key component + "_" + property
// ("KommaEd_Value"). By default it is the Qt property qtProperty of the window's child named
// component (the window itself when component is empty). Values that are no single Qt property,
// such as a swatch's colour or the parts of a font, bring their own get and set; these receive
// the child named component, or nullptr when the window has none of that name. The initial value
// also gives the value's type: bool, int, double or QString. A get that answers with an invalid
// QVariant stores nothing.
struct StoredProperty {
    QString component;
    QString property;
    QVariant initial;
    QByteArray qtProperty;
    std::function<QVariant(QObject *component)> get;
    std::function<void(QObject *component, const QVariant &value)> set;

    QString key() const { return component + QLatin1Char('_') + property; }
};

StoredProperty componentProperty(const QString &component, const QString &property, const char *qtProperty,
                                 const QVariant &initial);
StoredProperty hookedProperty(const QString &component, const QString &property, const QVariant &initial,
                              std::function<QVariant(QObject *)> get,
                              std::function<void(QObject *, const QVariant &)> set);

// The work's label font as the parts component_Font_Name, _Font_Height (negative: character
// height in pixels), _Font_Color ("#rrggbb") and _Font_Style (1 bold, 2 italic, 4 underline,
// 8 strike-out). work must outlive the list.
QList<StoredProperty> fontProperties(const QString &component, Workspace &work, const QString &name, int height,
                                     const QColor &color, int style);

// The main window's stored values with their initial values: the option check marks,
// ShowPicCheck, the label font of FontDialog1 ("Tahoma", height -15, red, no style), the brush
// colour of the swatch Shape1 (Shape1_Brush_Color, red), WidthEd (2.0), PfeillangEd (30.0) and
// the results list's width in Splitter1 (Splitter1_ResultsWidth, ResultsListWidth).
inline constexpr int ResultsListWidth = 280;
QList<StoredProperty> mainFormStoredProperties(Workspace &work);

// The stored settings of one window: its listed values and its placement (Left, Top, Width,
// Height of the normal geometry and State: 0 normal, 1 minimized, 2 maximized), in the group
// named after the window's class in the INI file settingsFolder() + "Tesselon.ini". They are
// restored each time the window is shown, from an event filter, so before the window's own
// showEvent runs; they are stored each time it closes or hides, and when the storage is
// destroyed. Keep the storage as a member of the window, so that it is destroyed while the
// window's components still exist; it stores at destruction only when it has restored in this
// run, so a window never shown does not overwrite what an earlier run kept.
// A value that is missing or unreadable takes its initial value. Values restored into check
// marks or fields change them as a program would (toggled, valueChanged), not as a user would
// (triggered, clicked): effects that follow a value belong to the restored() signal.
class FormStorage : public QObject
{
    Q_OBJECT
public:
    enum class Placement { Full, StateOnly, None };

    FormStorage(QWidget *window, QList<StoredProperty> properties, Placement placement = Placement::Full,
                const QString &group = QString());
    ~FormStorage() override;

    QString group() const { return groupName; }
    const QList<StoredProperty> &properties() const { return stored; }

    // Restores at once, e.g. a dialog whose values are needed before it is ever shown.
    void restoreNow();
    // False when the file could not be written; what it held before stays.
    bool storeNow();

    static QString fileName();

signals:
    // After each restore, for effects that follow a restored value (the results list).
    void restored();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QObject *componentOf(const StoredProperty &p) const;
    QVariant read(const StoredProperty &p) const;
    void write(const StoredProperty &p, const QVariant &value) const;
    void restorePlacement(const QSettings &settings);
    void storePlacement(QSettings &settings) const;

    QWidget *window;
    QList<StoredProperty> stored;
    Placement placement;
    QString groupName;
    bool hasRestored = false;
};
