#pragma once

#include "canvas/painterarea.h"

// Makes the canvas operations in its scope one step of the edit history.
class StripEdit
{
public:
    StripEdit(PainterArea* canvas, const QString& label, quint64 mergeKey = 0) : canvas(canvas)
    {
        canvas->beginEdit(label, mergeKey);
    }
    ~StripEdit() { canvas->endEdit(); }
    StripEdit(const StripEdit&) = delete;
    StripEdit& operator=(const StripEdit&) = delete;

private:
    PainterArea* canvas;
};
