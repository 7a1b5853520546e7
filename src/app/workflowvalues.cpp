#include "app/workflowvalues.h"

namespace WorkflowValues {

std::optional<int> parseCommonSide(const QString& text)
{
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok, 10);
    if (!ok || value < 1 || value > maxCommonSide)
        return std::nullopt;
    return int(value);
}

} // namespace WorkflowValues
