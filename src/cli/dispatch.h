#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

// What the executable's arguments ask for, decided before any application object exists: the window
// with the files to open, help, the version, a command, or a usage error. Toolkit options (-platform,
// -style...) stay the toolkit's and are no files; a command word counts only in first place.
class Dispatch
{
    Q_DECLARE_TR_FUNCTIONS(Dispatch)
public:
    enum class Route { Window, Help, Version, Join, Panorama, Usage };

    static Dispatch decide(const QStringList& arguments);

    // Project files open in the window as a project rather than being added as photos.
    static bool isProject(const QString& path);

    Route route() const { return where; }
    // Window: the photos to add, in the order given.
    const QStringList& photos() const { return photoList; }
    // Window: the project to open before the photos are added; empty for none.
    const QString& project() const { return projectFile; }
    // Join and Panorama: where the command word stands among the arguments.
    int commandIndex() const { return command; }
    // How many arguments the toolkit may see: those before "--", whose followers are files only.
    int toolkitArgumentCount() const { return toolkitCount; }
    QString errorString() const { return error; }

private:
    Dispatch& fail(const QString& text);

    Route where = Route::Window;
    QStringList photoList;
    QString projectFile;
    int command = -1;
    int toolkitCount = 0;
    QString error;
};
