#include "ui/translation/translatewalk.h"

#include "core/translate.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QAbstractPrintDialog>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QErrorMessage>
#include <QFileDialog>
#include <QFontComboBox>
#include <QFontDialog>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QProgressDialog>
#include <QSet>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>
#include <QVariant>

#include <deque>
#include <functional>

namespace {

// Numbers read the same in every language, and a table row per number would only bury the texts
// that need translating.
bool isNumber(const QString &text)
{
    bool ok = false;
    QLocale::c().toDouble(text.trimmed(), &ok);
    return ok;
}

QString translated(const QString &text)
{
    if (text.isEmpty() || isNumber(text))
        return text;
    return Translate(text);
}

void translateText(const std::function<QString()> &get, const std::function<void(const QString &)> &set)
{
    const QString before = get();
    const QString after = translated(before);
    if (after != before)
        set(after);
}

// A format abbreviation such as "PNG" or "JPEG2000".
bool isFormatName(const QString &description)
{
    const QString name = description.trimmed();
    if (name.isEmpty())
        return false;
    for (const QChar c : name)
        if (!((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')))
            return false;
    return true;
}

QString translateFilterEntry(const QString &entry)
{
    qsizetype split = entry.size();
    if (entry.endsWith(u')')) {
        const qsizetype open = entry.lastIndexOf(u'(');
        if (open >= 0)
            split = open;
    }
    const QString description = entry.left(split);
    if (description.trimmed().isEmpty() || isFormatName(description))
        return entry;
    return translated(description) + entry.mid(split);
}

// Parts Qt builds inside its widgets (the line edit of a spin box, scroll area viewports, tool bar
// extension buttons) carry names starting with "qt_" and hold no texts of the program.
bool isQtPart(const QObject *object)
{
    return object->objectName().startsWith(QLatin1String("qt_"));
}

bool isDefaultFileDialogTitle(const QString &title)
{
    static const char *const defaults[] = {"Open", "Save As", "Find Directory"};
    for (const char *text : defaults)
        if (title == QLatin1String(text) || title == QFileDialog::tr(text))
            return true;
    return false;
}

bool isMenuOwnAction(const QAction *action)
{
    const auto *menu = qobject_cast<const QMenu *>(action->parent());
    return menu && menu->menuAction() == action;
}

bool isStandardButton(const QAbstractButton *button)
{
    const auto *box = qobject_cast<const QDialogButtonBox *>(button->parent());
    return box && box->standardButton(const_cast<QAbstractButton *>(button)) != QDialogButtonBox::NoButton;
}

class Walker
{
public:
    void walk(QWidget *window);

private:
    void translateObject(QObject *object);
    void translateAction(QAction *action);
    void translateWidget(QWidget *widget);
    void translateButton(QAbstractButton *button);
    void translateCombo(QComboBox *combo);
    void translateSpinBox(QAbstractSpinBox *spin);
    void translateHeaders(QAbstractItemModel *model);
    void translateFileDialog(QFileDialog *dialog);
    void translateLines(QWidget *edit);

    QSet<const QObject *> done;
    QSet<const QAbstractItemModel *> modelsDone;
};

void Walker::walk(QWidget *window)
{
    if (!window || done.contains(window))
        return;
    std::deque<QObject *> queue{window};
    translateObject(window);
    while (!queue.empty()) {
        QObject *owner = queue.front();
        queue.pop_front();
        if (isQtDialog(owner))
            continue;
        QList<QObject *> found;
        const QObjectList &children = owner->children();
        for (qsizetype i = children.size() - 1; i >= 0; --i) {
            QObject *child = children.at(i);
            if (done.contains(child))
                continue;
            translateObject(child);
            found.append(child);
        }
        queue.insert(queue.end(), found.cbegin(), found.cend());
    }
}

void Walker::translateObject(QObject *object)
{
    done.insert(object);
    const QVariant filter = object->property(FilterProperty);
    if (filter.typeId() == QMetaType::QString)
        object->setProperty(FilterProperty, translateFilter(filter.toString()));
    if (isQtPart(object))
        return;
    if (auto *action = qobject_cast<QAction *>(object))
        translateAction(action);
    else if (auto *widget = qobject_cast<QWidget *>(object))
        translateWidget(widget);
}

void Walker::translateAction(QAction *action)
{
    if (isMenuOwnAction(action))
        return;
    const QString ownHint = action->toolTip() != derivedToolTip(action->text()) ? action->toolTip() : QString();
    translateText([action] { return action->text(); }, [action](const QString &t) { action->setText(t); });
    if (!ownHint.isEmpty())
        action->setToolTip(translated(ownHint));
    translateText([action] { return action->statusTip(); }, [action](const QString &t) { action->setStatusTip(t); });
}

void Walker::translateWidget(QWidget *widget)
{
    if (auto *fileDialog = qobject_cast<QFileDialog *>(widget)) {
        translateFileDialog(fileDialog);
        return;
    }
    if (isQtDialog(widget))
        return;

    if (widget->isWindow() || qobject_cast<QDockWidget *>(widget))
        translateText([widget] { return widget->windowTitle(); }, [widget](const QString &t) { widget->setWindowTitle(t); });

    if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
        translateButton(button);
        return;
    }

    const auto *toolButton = qobject_cast<QToolButton *>(widget);
    if (!toolButton || !toolButton->defaultAction())
        translateText([widget] { return widget->toolTip(); }, [widget](const QString &t) { widget->setToolTip(t); });

    if (auto *menu = qobject_cast<QMenu *>(widget)) {
        translateText([menu] { return menu->title(); }, [menu](const QString &t) { menu->setTitle(t); });
    } else if (auto *label = qobject_cast<QLabel *>(widget)) {
        translateText([label] { return label->text(); }, [label](const QString &t) { label->setText(t); });
    } else if (auto *group = qobject_cast<QGroupBox *>(widget)) {
        translateText([group] { return group->title(); }, [group](const QString &t) { group->setTitle(t); });
    } else if (auto *tabs = qobject_cast<QTabWidget *>(widget)) {
        for (int i = 0; i < tabs->count(); ++i) {
            translateText([tabs, i] { return tabs->tabText(i); }, [tabs, i](const QString &t) { tabs->setTabText(i, t); });
            translateText([tabs, i] { return tabs->tabToolTip(i); },
                          [tabs, i](const QString &t) { tabs->setTabToolTip(i, t); });
        }
    } else if (auto *combo = qobject_cast<QComboBox *>(widget)) {
        translateCombo(combo);
    } else if (auto *spin = qobject_cast<QAbstractSpinBox *>(widget)) {
        translateSpinBox(spin);
    } else if (auto *view = qobject_cast<QAbstractItemView *>(widget)) {
        translateHeaders(view->model());
    } else if (qobject_cast<QPlainTextEdit *>(widget) || qobject_cast<QTextEdit *>(widget)) {
        translateLines(widget);
    } else if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
        // The line edits inside spin boxes and combo boxes show their owner's value.
        const QObject *owner = edit->parent();
        if (qobject_cast<const QAbstractSpinBox *>(owner) || qobject_cast<const QComboBox *>(owner))
            return;
        if (!edit->isModified())
            translateText([edit] { return edit->text(); }, [edit](const QString &t) { edit->setText(t); });
        translateText([edit] { return edit->placeholderText(); },
                      [edit](const QString &t) { edit->setPlaceholderText(t); });
    }
}

void Walker::translateButton(QAbstractButton *button)
{
    if (isStandardButton(button))
        return;
    if (auto *toolButton = qobject_cast<QToolButton *>(button); toolButton && toolButton->defaultAction())
        return;
    auto hint = [button] {
        translateText([button] { return button->toolTip(); }, [button](const QString &t) { button->setToolTip(t); });
        translateText([button] { return button->statusTip(); }, [button](const QString &t) { button->setStatusTip(t); });
    };
    auto caption = [button] {
        translateText([button] { return button->text(); }, [button](const QString &t) { button->setText(t); });
    };
    if (qobject_cast<QCheckBox *>(button)) {
        hint();
        caption();
    } else {
        caption();
        hint();
    }
}

void Walker::translateCombo(QComboBox *combo)
{
    // A font list holds font names, not texts of the program.
    if (qobject_cast<QFontComboBox *>(combo))
        return;
    for (int i = 0; i < combo->count(); ++i) {
        const int selected = combo->currentIndex();
        translateText([combo, i] { return combo->itemText(i); }, [combo, i](const QString &t) { combo->setItemText(i, t); });
        combo->setCurrentIndex(selected);
    }
}

void Walker::translateSpinBox(QAbstractSpinBox *spin)
{
    // The number itself stays; the words around it are translated.
    translateText([spin] { return spin->specialValueText(); }, [spin](const QString &t) { spin->setSpecialValueText(t); });
    if (auto *whole = qobject_cast<QSpinBox *>(spin)) {
        translateText([whole] { return whole->prefix(); }, [whole](const QString &t) { whole->setPrefix(t); });
        translateText([whole] { return whole->suffix(); }, [whole](const QString &t) { whole->setSuffix(t); });
    } else if (auto *real = qobject_cast<QDoubleSpinBox *>(spin)) {
        translateText([real] { return real->prefix(); }, [real](const QString &t) { real->setPrefix(t); });
        translateText([real] { return real->suffix(); }, [real](const QString &t) { real->setSuffix(t); });
    }
}

void Walker::translateHeaders(QAbstractItemModel *model)
{
    // A header view and its table, or two views over one grid, share the model: once is enough.
    if (!model || modelsDone.contains(model))
        return;
    modelsDone.insert(model);
    for (int section = 0; section < model->columnCount(); ++section) {
        const QVariant caption = model->headerData(section, Qt::Horizontal, Qt::DisplayRole);
        // Models without captions of their own answer with the column's number.
        if (caption.typeId() != QMetaType::QString)
            continue;
        const QString before = caption.toString();
        const QString after = translated(before);
        if (after != before && !model->setHeaderData(section, Qt::Horizontal, after, Qt::EditRole))
            model->setHeaderData(section, Qt::Horizontal, after, Qt::DisplayRole);
    }
}

void Walker::translateFileDialog(QFileDialog *dialog)
{
    const QString title = dialog->windowTitle();
    if (!title.isEmpty() && !isDefaultFileDialogTitle(title))
        dialog->setWindowTitle(translated(title));

    const QStringList filters = dialog->nameFilters();
    if (filters.isEmpty())
        return;
    const qsizetype selected = filters.indexOf(dialog->selectedNameFilter());
    QStringList result;
    for (const QString &filter : filters)
        result.append(translateFilterEntry(filter));
    if (result == filters)
        return;
    dialog->setNameFilters(result);
    if (selected >= 0)
        dialog->selectNameFilter(result.at(selected));
}

void Walker::translateLines(QWidget *edit)
{
    auto *plain = qobject_cast<QPlainTextEdit *>(edit);
    auto *rich = qobject_cast<QTextEdit *>(edit);
    const QTextDocument *document = plain ? plain->document() : rich->document();
    // What the user typed is the user's.
    if (document->isModified())
        return;
    const QString before = plain ? plain->toPlainText() : rich->toPlainText();
    QStringList lines = before.split(u'\n');
    for (QString &line : lines)
        line = translated(line);
    const QString after = lines.join(u'\n');
    if (after == before)
        return;
    if (plain)
        plain->setPlainText(after);
    else
        rich->setPlainText(after);
}

} // namespace

bool isQtDialog(const QObject *object)
{
    return qobject_cast<const QFileDialog *>(object) || qobject_cast<const QColorDialog *>(object) ||
           qobject_cast<const QFontDialog *>(object) || qobject_cast<const QAbstractPrintDialog *>(object) ||
           qobject_cast<const QPageSetupDialog *>(object) || qobject_cast<const QPrintPreviewDialog *>(object) ||
           qobject_cast<const QProgressDialog *>(object) || qobject_cast<const QInputDialog *>(object) ||
           qobject_cast<const QMessageBox *>(object) || qobject_cast<const QErrorMessage *>(object);
}

QString derivedToolTip(QString text)
{
    text.remove(QLatin1String("..."));
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text.at(i) == u'&')
            text.remove(i, 1);
    return text.trimmed();
}

QString translateFilter(const QString &filter)
{
    if (filter.isEmpty())
        return filter;
    QStringList entries = filter.split(QStringLiteral(";;"));
    for (QString &entry : entries)
        entry = translateFilterEntry(entry);
    return entries.join(QStringLiteral(";;"));
}

void translateAllWindows(const QList<QWidget *> &windows)
{
    Walker walker;
    for (QWidget *window : windows)
        walker.walk(window);
}

void translateWindow(QWidget *window)
{
    translateAllWindows({window});
}

void translateApplication()
{
    QList<QWidget *> windows;
    const QWidgetList all = QApplication::topLevelWidgets();
    for (QWidget *window : all)
        if (!window->parentWidget() && !isQtPart(window))
            windows.append(window);
    translateAllWindows(windows);
}
