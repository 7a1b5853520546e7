#pragma once

#include "canvas/striprecorder.h"

#include <QObject>

#include <functional>

class QUndoStack;

// The edit history of one strip: every step the canvas records, on a QUndoStack. Undo and redo put
// the strip back through the restore function; a step holds two states that share the photos' pixels
// and the stroke records with the canvas, so a step costs the size of what changed, not of the photos.
class StripHistory : public QObject, public StripRecorder
{
    Q_OBJECT
public:
    using Restore = std::function<void(const StripState& state)>;

    StripHistory(StripState start, Restore restore, QObject* parent = nullptr);

    QUndoStack* stack() const { return undoStack; }
    void record(const StripState& before, const StripState& after, const QString& label,
                quint64 mergeKey) override;
    // The state the steps leave the strip in: what the strip equals when no edit went unrecorded.
    const StripState& current() const { return state; }

private:
    friend class StripStep;
    void apply(const StripState& target);

    QUndoStack* undoStack = nullptr;
    Restore restore;
    StripState state;
    bool applying = false;
    // Off once a step has been undone or redone, so that a drag after it never joins an older step.
    bool mergeOpen = false;
};
