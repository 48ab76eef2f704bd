#include "ui/mainform.h"

#include "core/translate.h"
#include "tools/editing.h"

#include <QMessageBox>

void TMainForm::Lschen1Click()
{
    editing->deleteSelected();
}

void TMainForm::Kopieren1Click()
{
    editing->copySelected();
}

void TMainForm::Einfgen1Click()
{
    editing->paste();
}

void TMainForm::Beschreibungbearbeiten1Click()
{
    editing->renameSelected();
}

void TMainForm::Neu1Click()
{
    QMessageBox question(QMessageBox::Question, Message(9), Message(8), QMessageBox::Yes | QMessageBox::No, this);
    question.setObjectName(QStringLiteral("NewDrawingQuestion"));
    if (question.exec() == QMessageBox::Yes)
        editing->newDocument();
}
