#include "cli/commandline.h"

#include "cli/joincommand.h"
#include "cli/panoramacommand.h"
#include "cli/progressline.h"
#include "export/exportformat.h"

#include <QFile>
#include <QRegularExpression>

#include <cstdio>

namespace {

// Options that take a value, with the commands that accept them.
struct OptionInfo
{
    const char* name;
    bool join;
    bool panorama;
    bool takesValue;
};

const OptionInfo optionTable[] = {
    {"--output", true, true, true},
    {"--quiet", true, true, false},
    {"--vertical", true, false, false},
    {"--size", true, false, true},
    {"--inner", true, false, true},
    {"--outer", true, false, true},
    {"--color", true, false, true},
    {"--watermark", true, false, true},
    {"--watermark-mode", true, false, true},
    {"--watermark-opacity", true, false, true},
    {"--watermark-size", true, false, true},
    {"--watermark-spacing", true, false, true},
    {"--watermark-color", true, false, true},
    {"--scans", false, true, false},
    {"--no-crop", false, true, false},
    {"--quality", true, true, true},
    {"--format", true, true, true},
    {"--replace-parts", true, false, false},
    {"--parts", true, false, true},
    {"--calm", true, false, true},
    {"--overlap", true, false, false},
};

const OptionInfo* findOption(const QString& name)
{
    for (const OptionInfo& info : optionTable)
        if (name == QLatin1String(info.name))
            return &info;
    return nullptr;
}

// The sliders' ranges; the bottom bar's size entries take two digits or more.
struct IntOption
{
    const char* name;
    int low;
    int high;
    int JobOptions::*field;
};

const IntOption intOptions[] = {
    {"--size", 10, 1000000, &JobOptions::commonSize},
    {"--inner", 0, 100, &JobOptions::inner},
    {"--outer", 0, 100, &JobOptions::outer},
    {"--watermark-opacity", 0, 255, &JobOptions::watermarkOpacity},
    {"--watermark-size", 0, 100, &JobOptions::watermarkSize},
    {"--watermark-spacing", 0, 100, &JobOptions::watermarkSpacing},
    {"--quality", 0, 100, &JobOptions::quality},
    {"--parts", 1, 1000000, &JobOptions::partLength},
    {"--calm", 0, 100, &JobOptions::calm},
};

bool readColor(const QString& text, QColor& out)
{
    static const QRegularExpression hex(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
    const bool named = !text.startsWith(QLatin1Char('#')) && QColor::colorNames().contains(text.toLower());
    if (!hex.match(text).hasMatch() && !named)
        return false;
    out = QColor(text.toLower());
    return out.isValid();
}

void printLine(const QString& text)
{
    std::fputs(qPrintable(text + QLatin1Char('\n')), stderr);
}

// Libraries' warnings (a runtime folder not set, a file not found) would bury the one line that says
// what went wrong; only critical messages get through.
void quietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fputs(qPrintable(qFormatLogMessage(type, context, message) + QLatin1Char('\n')),
                   ProgressLine::stream());
}

} // namespace

void CommandLine::prepareProcess()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("OPENCV_LOG_LEVEL"))
        qputenv("OPENCV_LOG_LEVEL", "ERROR");
    qInstallMessageHandler(quietMessages);
    ProgressLine::takeStandardError();
}

CommandLine::CommandLine(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QFile::decodeName(argv[i]));
    parse(arguments);
}

CommandLine::CommandLine(const QStringList& arguments)
{
    parse(arguments);
}

bool CommandLine::fail(const QString& text)
{
    cmd = Command::Usage;
    error = text;
    return false;
}

void CommandLine::parse(const QStringList& allArguments)
{
    dispatched = Dispatch::decide(allArguments);
    switch (dispatched.route()) {
    case Dispatch::Route::Window:
        return;
    case Dispatch::Route::Help:
        cmd = Command::Help;
        return;
    case Dispatch::Route::Version:
        cmd = Command::Version;
        return;
    case Dispatch::Route::Usage:
        fail(dispatched.errorString());
        return;
    case Dispatch::Route::Join:
        cmd = Command::Join;
        break;
    case Dispatch::Route::Panorama:
        cmd = Command::Panorama;
        break;
    }
    // Toolkit options before the command word are no business of a command run without a window.
    const QStringList arguments = allArguments.mid(dispatched.commandIndex());

    bool optionsEnded = false;
    bool watermarkStyled = false;
    bool calmGiven = false;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (optionsEnded || arg == QLatin1String("-") || !arg.startsWith(QLatin1Char('-'))) {
            opts.photos.append(arg);
            continue;
        }
        if (arg == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            cmd = Command::Help;
            return;
        }
        QString name = arg;
        QString value;
        bool inlineValue = false;
        const int equals = arg.indexOf(QLatin1Char('='));
        if (arg.startsWith(QLatin1String("--")) && equals > 0) {
            name = arg.left(equals);
            value = arg.mid(equals + 1);
            inlineValue = true;
        }
        if (name == QLatin1String("-o"))
            name = QStringLiteral("--output");
        else if (name == QLatin1String("-q"))
            name = QStringLiteral("--quiet");
        const OptionInfo* info = findOption(name);
        const bool accepted = info && (cmd == Command::Join ? info->join : info->panorama);
        if (!accepted) {
            fail(tr("unknown option \"%1\" for %2").arg(arg, arguments.first()));
            return;
        }
        if (info->takesValue && !inlineValue) {
            if (i + 1 >= arguments.size()) {
                fail(tr("option \"%1\" needs a value").arg(name));
                return;
            }
            value = arguments[++i];
        } else if (!info->takesValue && inlineValue) {
            fail(tr("option \"%1\" takes no value").arg(name));
            return;
        }
        if (!parseOption(name, value))
            return;
        if (name.startsWith(QLatin1String("--watermark-")))
            watermarkStyled = true;
        calmGiven = calmGiven || name == QLatin1String("--calm");
    }

    if (calmGiven && opts.partLength == 0) {
        fail(tr("--calm cuts parts: give their length with --parts N"));
        return;
    }
    if (watermarkStyled && opts.watermarkText.isEmpty()) {
        fail(tr("the watermark options need a text: give one with --watermark TEXT"));
        return;
    }
    if (opts.output.isEmpty()) {
        fail(tr("no output file: give one with -o OUT.png"));
        return;
    }
    if (opts.replaceParts && opts.partLength == 0) {
        fail(tr("--replace-parts replaces parts: give their length with --parts N"));
        return;
    }
    if (opts.partLength > 0 && opts.output == QLatin1String("-")) {
        fail(tr("--parts writes numbered files: give a file name with -o"));
        return;
    }
    const std::optional<ExportFormat::Kind> named = ExportFormat::kindOfName(opts.output);
    if (!opts.format.isEmpty() && named && ExportFormat::suffix(*named) != opts.format) {
        fail(tr("--format %1 does not match the output's name \"%2\"").arg(opts.format, opts.output));
        return;
    }
    const int fewest = cmd == Command::Panorama ? 2 : 1;
    if (opts.photos.size() < fewest) {
        fail(cmd == Command::Panorama ? tr("panorama needs at least two photos")
                                      : tr("join needs at least one photo"));
        return;
    }
}

bool CommandLine::parseOption(const QString& name, const QString& value)
{
    const auto badValue = [&](const QString& range) {
        return fail(tr("invalid value \"%1\" for %2: expected %3").arg(value, name, range));
    };
    for (const IntOption& option : intOptions) {
        if (name != QLatin1String(option.name))
            continue;
        bool ok = false;
        const int number = value.toInt(&ok);
        if (!ok || number < option.low || number > option.high)
            return badValue(tr("%1 to %2").arg(option.low).arg(option.high));
        opts.*option.field = number;
        return true;
    }
    if (name == QLatin1String("--output")) {
        if (value.isEmpty())
            return badValue(tr("a file name"));
        opts.output = value;
    } else if (name == QLatin1String("--format")) {
        const QString kind =
            value.toLower() == QLatin1String("jpeg") ? QStringLiteral("jpg") : value.toLower();
        if (kind != QLatin1String("png") && kind != QLatin1String("jpg") && kind != QLatin1String("webp"))
            return badValue(QStringLiteral("png|jpeg|webp"));
        opts.format = kind;
    } else if (name == QLatin1String("--replace-parts")) {
        opts.replaceParts = true;
    } else if (name == QLatin1String("--quiet")) {
        opts.quiet = true;
    } else if (name == QLatin1String("--vertical")) {
        opts.direction = JobOptions::Direction::Vertical;
    } else if (name == QLatin1String("--overlap")) {
        opts.overlap = true;
    } else if (name == QLatin1String("--scans")) {
        opts.panoramaStyle = JobOptions::PanoramaStyle::Scans;
    } else if (name == QLatin1String("--no-crop")) {
        opts.keepWhole = true;
    } else if (name == QLatin1String("--color")) {
        if (!readColor(value, opts.spacingColor))
            return badValue(tr("a colour such as #RRGGBB"));
    } else if (name == QLatin1String("--watermark")) {
        if (value.isEmpty())
            return badValue(tr("a text"));
        opts.watermarkText = value;
    } else if (name == QLatin1String("--watermark-mode")) {
        if (value == QLatin1String("bottom"))
            opts.watermarkMode = JobOptions::WatermarkMode::Bottom;
        else if (value == QLatin1String("tile"))
            opts.watermarkMode = JobOptions::WatermarkMode::Tile;
        else
            return badValue(QStringLiteral("bottom|tile"));
    } else if (name == QLatin1String("--watermark-color")) {
        if (!readColor(value, opts.watermarkColor))
            return badValue(tr("a colour such as #RRGGBB"));
    }
    return true;
}

int CommandLine::exec() const
{
    switch (cmd) {
    case Command::Help:
        std::fputs(qPrintable(helpText()), stdout);
        return Written;
    case Command::Version:
        std::fputs(qPrintable(versionText() + QLatin1Char('\n')), stdout);
        return Written;
    case Command::Usage:
        printLine(QStringLiteral("seamwright: ") + error);
        printLine(tr("Try \"seamwright --help\" for more information."));
        return UsageError;
    case Command::Join:
        return JoinCommand(opts).run() ? Written : Failed;
    case Command::Panorama:
        return PanoramaCommand(opts).run() ? Written : Failed;
    case Command::Window:
        break;
    }
    return UsageError;
}

QString CommandLine::versionText()
{
    return QStringLiteral("seamwright " SEAMWRIGHT_VERSION);
}

QString CommandLine::helpText()
{
    return tr("Usage:\n"
              "  seamwright [PHOTO...]                            open the window with these photos\n"
              "  seamwright join [options] -o OUT.png PHOTO...    join photos into one strip\n"
              "  seamwright panorama [--scans] -o OUT.png PHOTO...  stitch overlapping photos\n"
              "  seamwright --help | --version\n"
              "\n"
              "The window takes the toolkit's options, such as -platform NAME or -style NAME.\n"
              "A photo named join or starting with - follows --: seamwright -- -photo.png\n"
              "\n"
              "join: the photos, scaled to one common size, edge to edge in the order given.\n"
              "  -o, --output FILE          the file to write (required): PNG, or JPEG or WebP when\n"
              "                             its name ends in .jpg, .jpeg or .webp; - is standard\n"
              "                             output, and a pipe or a device is written through\n"
              "  --format png|jpeg|webp     the kind of file, for a name without its suffix\n"
              "  --vertical                 one photo below the other (default: side by side)\n"
              "  --overlap                  the photos are screenshots of one scrolling page: each\n"
              "                             row shows once, fixed bars once, a photo that shows\n"
              "                             nothing new is left out (default: edge to edge)\n"
              "  --size N                   the common height (side by side) or width (vertical)\n"
              "                             in pixels, 10 to 1000000 (default: the first photo's)\n"
              "  --inner N                  spacing between photos, 0 to 100 as the Inner slider:\n"
              "                             0 is 5 pixels, 100 is 160 (default: no spacing)\n"
              "  --outer N                  spacing round the strip, 0 to 100 as the Outer slider\n"
              "                             (default: no spacing)\n"
              "  --color #RRGGBB            the spacing colour (default: #ffffff)\n"
              "  --watermark TEXT           stamp TEXT on the strip (default: no watermark)\n"
              "  --watermark-mode MODE      bottom (once at the bottom) or tile (diagonally all\n"
              "                             over) (default: bottom)\n"
              "  --watermark-opacity N      0 (invisible) to 255 (solid) (default: 255)\n"
              "  --watermark-size N         0 to 100; 50 is the font's own size, 100 twice it\n"
              "                             (default: 50)\n"
              "  --watermark-spacing N      0 to 100, the gap between tiles (default: 50)\n"
              "  --watermark-color #RRGGBB  the watermark colour (default: #0000ff)\n"
              "  --quality N                JPEG and WebP quality, 0 to 100 (default: 90)\n"
              "  --parts N                  cut the strip along its length into parts of at most N\n"
              "                             pixels, written as OUT-001.png, OUT-002.png, ... (all of\n"
              "                             them or, on a failure, none) (default: one file)\n"
              "  --calm N                   with --parts, move each cut back, by at most a quarter\n"
              "                             of N, to a row (a column across) of nearly one colour:\n"
              "                             0 to 100, 100 only one colour, 0 cuts at N exactly\n"
              "                             (default: 90)\n"
              "  --replace-parts            with --parts, remove older parts of the name beyond the\n"
              "                             new last one (default: refuse to leave them beside)\n"
              "\n"
              "panorama: overlapping photos stitched into one picture (two photos or more).\n"
              "  -o, --output FILE          the file to write (required), as for join; --format and\n"
              "                             --quality too\n"
              "  --scans                    flat documents and scans (default: photos of a scene)\n"
              "  --no-crop                  keep the empty edges round the photos (default: cut to\n"
              "                             the largest rectangle that holds only picture)\n"
              "\n"
              "Both commands:\n"
              "  -q, --quiet                no progress line on a terminal\n"
              "  --                         every argument after it is a photo\n"
              "Colours are #RRGGBB or a name such as white. An option's value may follow an\n"
              "equals sign (--size=800). The output file is replaced only once it is complete.\n"
              "No display is needed.\n"
              "\n"
              "Exit status: 0 when the file was written; 1 when a photo cannot be read, the\n"
              "stitch fails or the file cannot be written; 2 for a usage error.\n");
}
