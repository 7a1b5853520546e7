#pragma once

#include "canvas/stripstate.h"

#include <QString>

// Takes each edit of the strip as the state before and after it: the edit history.
class StripRecorder
{
public:
    virtual ~StripRecorder() = default;
    // Steps with the same non-zero merge key that follow one another are one step (a drag, an intake).
    virtual void record(const StripState& before, const StripState& after, const QString& label,
                        quint64 mergeKey) = 0;
};
