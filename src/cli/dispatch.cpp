#include "cli/dispatch.h"

namespace {

// The options the toolkit and its X11 platform read from the command line: those followed by a value,
// those on their own, and those that carry their value after an equals sign.
const char* const valueOptions[] = {"-platform",
                                    "-platformpluginpath",
                                    "-platformtheme",
                                    "-plugin",
                                    "-qwindowgeometry",
                                    "-geometry",
                                    "-qwindowicon",
                                    "-icon",
                                    "-qwindowtitle",
                                    "-title",
                                    "-session",
                                    "-display",
                                    "-name",
                                    "-visual",
                                    "-style",
                                    "-stylesheet"};
const char* const flagOptions[] = {"-reverse", "-widgetcount", "-testability", "-nograb", "-dograb"};
const char* const joinedOptions[] = {"-style=", "-stylesheet=", "-qmljsdebugger="};

enum class ToolkitKind { None, Flag, TakesValue };

ToolkitKind toolkitKind(const QString& argument)
{
    // The toolkit reads "--style" as "-style".
    const QString name = argument.startsWith(QLatin1String("--")) ? argument.mid(1) : argument;
    for (const char* joined : joinedOptions)
        if (name.startsWith(QLatin1String(joined)))
            return ToolkitKind::Flag;
    for (const char* flag : flagOptions)
        if (name == QLatin1String(flag))
            return ToolkitKind::Flag;
    for (const char* option : valueOptions)
        if (name == QLatin1String(option))
            return ToolkitKind::TakesValue;
    return ToolkitKind::None;
}

} // namespace

bool Dispatch::isProject(const QString& path)
{
    return path.endsWith(QLatin1String(".seamwright"), Qt::CaseInsensitive);
}

Dispatch& Dispatch::fail(const QString& text)
{
    where = Route::Usage;
    error = text;
    photoList.clear();
    projectFile.clear();
    return *this;
}

Dispatch Dispatch::decide(const QStringList& arguments)
{
    Dispatch d;
    d.toolkitCount = int(arguments.size());
    bool filesOnly = false;
    bool commandPlace = true; // nothing but toolkit options so far
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (!filesOnly && arg == QLatin1String("--")) {
            filesOnly = true;
            d.toolkitCount = i;
            continue;
        }
        if (!filesOnly && commandPlace) {
            if (arg == QLatin1String("join") || arg == QLatin1String("panorama")) {
                d.where = arg == QLatin1String("join") ? Route::Join : Route::Panorama;
                d.command = i;
                return d;
            }
            if (arg == QLatin1String("help")) {
                d.where = Route::Help;
                return d;
            }
        }
        const bool option = !filesOnly && arg.size() > 1 && arg.startsWith(QLatin1Char('-'));
        if (!option) {
            commandPlace = false;
            if (!isProject(arg))
                d.photoList.append(arg);
            else if (d.projectFile.isEmpty())
                d.projectFile = arg;
            else
                return d.fail(tr("only one project can be opened at a time"));
            continue;
        }
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            d.where = Route::Help;
            return d;
        }
        if (arg == QLatin1String("--version")) {
            d.where = Route::Version;
            return d;
        }
        switch (toolkitKind(arg)) {
        case ToolkitKind::Flag:
            break;
        case ToolkitKind::TakesValue:
            if (++i >= arguments.size())
                return d.fail(tr("option \"%1\" needs a value").arg(arg));
            break;
        case ToolkitKind::None:
            return d.fail(tr("unknown option \"%1\"").arg(arg));
        }
    }
    return d;
}
