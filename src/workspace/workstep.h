#pragma once

#include "workspace/documentchange.h"
#include "workspace/workspace.h"

#include <QUndoCommand>

#include <optional>

// One step of the work's history: what it did to the document and, when they changed, the
// settings before and after. It is pushed after the change was made, so its first redo does
// nothing.
class WorkStep : public QUndoCommand
{
public:
    WorkStep(Workspace &work, const QString &text, DocumentChange change,
             std::optional<std::pair<Workspace::Settings, Workspace::Settings>> settings, int mergeKey);

    void undo() override;
    void redo() override;
    int id() const override { return key; }
    bool mergeWith(const QUndoCommand *other) override;

private:
    Workspace &work;
    DocumentChange change;
    std::optional<std::pair<Workspace::Settings, Workspace::Settings>> settings;
    int key;
    bool done = true;
};
