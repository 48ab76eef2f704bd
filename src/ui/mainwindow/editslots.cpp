#include "ui/mainwindow/mainform.h"

#include "core/translate.h"
#include "tools/editcommands.h"
#include "ui/commands/projectcommands.h"

#include <QMessageBox>

void TMainForm::Lschen1Click()
{
    editing->deleteSelected();
    work->commitStep(Translate(QStringLiteral("Löschen")));
}

void TMainForm::Kopieren1Click()
{
    editing->copySelected();
}

void TMainForm::Einfgen1Click()
{
    editing->paste();
    work->commitStep(Translate(QStringLiteral("Einfügen")));
}

void TMainForm::Beschreibungbearbeiten1Click()
{
    editing->renameSelected();
    work->commitStep(Translate(QStringLiteral("Bezeichnung")));
}

void TMainForm::Neu1Click()
{
    // Unsaved changes bring their own question; the drawing's own one is for saved work.
    if (work->isModified()) {
        if (!projectCommands->askToSaveChanges())
            return;
    } else {
        QMessageBox question(QMessageBox::Question, Message(9), Message(8), QMessageBox::Yes | QMessageBox::No, this);
        question.setObjectName(QStringLiteral("NewDrawingQuestion"));
        if (question.exec() != QMessageBox::Yes)
            return;
    }
    editing->newDocument();
    work->commitStep(Translate(QStringLiteral("Linien Neu")));
}
