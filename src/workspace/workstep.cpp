#include "workspace/workstep.h"

WorkStep::WorkStep(Workspace &workspace, const QString &text, DocumentChange documentChange,
                   std::optional<std::pair<Workspace::Settings, Workspace::Settings>> changedSettings,
                   int mergeKey)
    : QUndoCommand(text), work(workspace), change(std::move(documentChange)), settings(std::move(changedSettings)),
      key(mergeKey > 0 ? mergeKey : -1)
{
}

void WorkStep::undo()
{
    done = false;
    if (!change.isEmpty()) {
        change.apply(&work.doc, &work.shadow, false);
        work.announce(&Workspace::documentChanged);
    }
    if (settings)
        work.applySettings(settings->first);
}

void WorkStep::redo()
{
    if (done)
        return;
    done = true;
    if (!change.isEmpty()) {
        change.apply(&work.doc, &work.shadow, true);
        work.announce(&Workspace::documentChanged);
    }
    if (settings)
        work.applySettings(settings->second);
}

bool WorkStep::mergeWith(const QUndoCommand *other)
{
    const auto *next = static_cast<const WorkStep *>(other);
    if (!change.isEmpty() || !next->change.isEmpty() || !settings || !next->settings)
        return false;
    settings->second = next->settings->second;
    return true;
}
