#pragma once

#include "canvas/stripstate.h"
#include "canvas/toolsettings.h"

#include <QByteArray>
#include <QStringList>

#include <optional>

// The manifest of a project file: the strip's state in JSON, the photos named by their entries in the
// container. A reader opens every version up to its own; a later version means a file that this one
// would misread. Fields it does not know are left alone, so additions that older readers may ignore do
// not raise the version.
namespace ProjectManifest {

constexpr int formatVersion = 1;
inline const char* formatName = "seamwright-project";

// photoEntries[i] names the entry that holds photo i. Tool settings are optional: a file written before
// they were kept has none, and opening it leaves the tools as they are.
QByteArray write(const StripState& state, const QStringList& photoEntries,
                 const std::optional<ToolSettings>& tools = std::nullopt);

struct Parsed
{
    enum Kind { Ok, NotAProject, Newer, Damaged };
    Kind kind = Damaged;
    StripState state; // photos without their images
    QStringList photoEntries;
    std::optional<ToolSettings> tools;
};
Parsed read(const QByteArray& json);

} // namespace ProjectManifest
