#include "cli/commandline.h"
#include "cli/dispatch.h"

#include <QtTest>

// Which way the executable goes for its arguments, and which files the window takes, without a window.
class TestDispatch : public QObject
{
    Q_OBJECT

    // "window N: photos | project" with N the arguments the toolkit sees, "join at N", "usage: why"...
    static QString describe(const Dispatch& d)
    {
        switch (d.route()) {
        case Dispatch::Route::Window:
            return QString("window %1: %2 | %3")
                .arg(d.toolkitArgumentCount())
                .arg(d.photos().join(' '), d.project())
                .trimmed();
        case Dispatch::Route::Join:
            return QString("join at %1").arg(d.commandIndex());
        case Dispatch::Route::Panorama:
            return QString("panorama at %1").arg(d.commandIndex());
        case Dispatch::Route::Help:
            return "help";
        case Dispatch::Route::Version:
            return "version";
        case Dispatch::Route::Usage:
            return "usage: " + d.errorString();
        }
        return {};
    }

private slots:
    void routes_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("expected");
        const char* const cases[][3] = {
            {"nothing", "", "window 0:  |"},
            {"photos in order", "c.png /x/a.jpg b", "window 3: c.png /x/a.jpg b |"},
            {"toolkit options are no photos",
             "-platform xcb a.png -style=fusion --style windows -reverse b.png", "window 8: a.png b.png |"},
            {"after -- only files, hidden from the toolkit", "-display :3 a.png -- -style join --help --",
             "window 3: a.png -style join --help -- |"},
            {"a lone dash is a file", "-", "window 1: - |"},
            {"join after a photo is a photo", "a.png join", "window 2: a.png join |"},
            {"a project among photos", "a.png trip.Seamwright b.png",
             "window 3: a.png b.png | trip.Seamwright"},
            {"join", "join -o x.png a.png", "join at 0"},
            {"panorama behind toolkit options", "-style fusion panorama -o x.png a b", "panorama at 2"},
            {"help", "--help", "help"},
            {"help as a word", "help a.png", "help"},
            {"help after a photo", "a.png -h", "help"},
            {"version behind a toolkit option", "-platform offscreen --version", "version"},
            {"unknown long option", "a.png --glue", "usage: unknown option \"--glue\""},
            {"unknown short option", "-x a.png", "usage: unknown option \"-x\""},
            {"toolkit option without value", "a.png -platform", "usage: option \"-platform\" needs a value"},
            {"two projects", "a.seamwright b.seamwright", "usage: only one project can be opened at a time"},
        };
        for (const auto& c : cases)
            QTest::newRow(c[0]) << c[1] << c[2];
    }

    void routes()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, expected);
        QCOMPARE(describe(Dispatch::decide(arguments.split(' ', Qt::SkipEmptyParts))), expected);
    }

    // A command behind toolkit options reads its own options from the command word on.
    void commandBehindToolkitOptions()
    {
        const CommandLine line(
            QStringList{"-style", "fusion", "join", "--size", "80", "-o", "out.png", "a.png"});
        QCOMPARE(line.command(), CommandLine::Command::Join);
        QCOMPARE(line.options().commonSize, 80);
        QCOMPARE(line.options().photos, QStringList{"a.png"});
    }
};

QTEST_APPLESS_MAIN(TestDispatch)
#include "tst_dispatch.moc"
