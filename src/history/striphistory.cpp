#include "history/striphistory.h"

#include "history/stripstep.h"

#include <QUndoStack>

StripHistory::StripHistory(StripState start, Restore restore, QObject* parent)
    : QObject(parent), undoStack(new QUndoStack(this)), restore(std::move(restore)), state(std::move(start))
{
}

void StripHistory::record(const StripState& before, const StripState& after, const QString& label,
                          quint64 mergeKey)
{
    // Putting a state back is no edit of its own.
    if (applying)
        return;
    state = after;
    undoStack->push(new StripStep(this, before, after, label, mergeKey));
    mergeOpen = true;
}

void StripHistory::apply(const StripState& target)
{
    mergeOpen = false;
    state = target;
    applying = true;
    restore(target);
    applying = false;
}
