#include "history/stripstep.h"

#include "history/striphistory.h"

StripStep::StripStep(StripHistory* history, const StripState& before, const StripState& after,
                     const QString& label, quint64 mergeKey)
    : QUndoCommand(label), history(history), before(before), after(after), mergeKey(mergeKey)
{
}

void StripStep::undo()
{
    history->apply(before);
}

void StripStep::redo()
{
    if (made) {
        made = false;
        return;
    }
    history->apply(after);
}

bool StripStep::mergeWith(const QUndoCommand* other)
{
    const auto* next = static_cast<const StripStep*>(other);
    if (!history->mergeOpen || mergeKey == 0 || next->mergeKey != mergeKey || next->before != after)
        return false;
    after = next->after;
    return true;
}
