#include "ui/widgets/quietfiledialog.h"

#include <QFileIconProvider>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeDatabase>

namespace {

class TypesByName : public QFileIconProvider
{
public:
    using QFileIconProvider::icon;

    QIcon icon(const QFileInfo &info) const override
    {
        return QFileIconProvider::icon(info.isDir() ? Folder : File);
    }

    QString type(const QFileInfo &info) const override
    {
        if (info.isDir())
            return QFileIconProvider::type(info);
        return QMimeDatabase().mimeTypeForFile(info, QMimeDatabase::MatchExtension).comment();
    }
};

// Moves the dialog to the current folder as it is first shown, then goes.
class FirstShow : public QObject
{
public:
    explicit FirstShow(QFileDialog *dialog) : QObject(dialog), dialog(dialog) { dialog->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == dialog && event->type() == QEvent::Show) {
            dialog->removeEventFilter(this);
            dialog->setDirectory(QDir::currentPath());
            deleteLater();
        }
        return false;
    }

private:
    QFileDialog *dialog;
};

} // namespace

QFileDialog *newQuietFileDialog(QWidget *parent)
{
    // Shared by every dialog and never released: a dialog may outlive any owner chosen for it.
    static TypesByName *const types = new TypesByName;
    auto *dialog = new QFileDialog(parent, QString(), QDir::rootPath());
    dialog->setIconProvider(types);
    new FirstShow(dialog);
    return dialog;
}
