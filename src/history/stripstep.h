#pragma once

#include "canvas/stripstate.h"

#include <QUndoCommand>

class StripHistory;

// One step of the edit history: the strip before and after it.
class StripStep : public QUndoCommand
{
public:
    StripStep(StripHistory* history, const StripState& before, const StripState& after, const QString& label,
              quint64 mergeKey);

    void undo() override;
    void redo() override;
    int id() const override { return 1; }
    bool mergeWith(const QUndoCommand* other) override;

private:
    StripHistory* history;
    StripState before;
    StripState after;
    quint64 mergeKey;
    // Pushing runs redo once; the edit it records is already made.
    bool made = true;
};
