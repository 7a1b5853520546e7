#pragma once

#include "canvas/stripstate.h"
#include "canvas/toolsettings.h"

#include <QCoreApplication>
#include <QString>

#include <optional>

// A project file (.seamwright): a zip container holding the manifest and each photo's own file bytes
// as they were chosen, never recompressed, or a lossless PNG for a photo with no file (a panorama) or
// whose file changed since. Saving replaces the file only once the new one is complete.
class ProjectFile
{
    Q_DECLARE_TR_FUNCTIONS(ProjectFile)
public:
    static constexpr const char* suffix = ".seamwright";

    enum class Result { Opened, NotAProject, Newer, Damaged, Unreadable };

    // False with errorString() set when the file could not be written; an existing file is kept.
    bool save(const StripState& state, const QString& fileName,
              const std::optional<ToolSettings>& tools = std::nullopt);
    // The strip the file holds, decoded, and its tool settings if it has any; on any failure nothing but
    // errorString().
    Result open(const QString& fileName, StripState* state, std::optional<ToolSettings>* tools = nullptr);

    QString errorString() const { return error; }

    // The bytes a photo is kept as, and the entry's extension: its file's when the file still holds
    // the very photo, else a PNG.
    static QByteArray photoBytes(const PhotoState& photo, QString* extension);

private:
    Result fail(Result result, const QString& fileName);

    QString error;
};
