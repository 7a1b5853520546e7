#include "cli/commandline.h"
#include "cli/dispatch.h"

#include <QtTest>

// Which way the executable goes for its arguments, and which files the window takes, without a window.
class TestDispatch : public QObject
{
    Q_OBJECT

    // "window N: photos | project" with N the arguments the toolkit sees, "join at N: photos",
    // "usage: why"...
    static QString describe(const QStringList& arguments)
    {
        const Dispatch d = Dispatch::decide(arguments);
        using R = Dispatch::Route;
        const char* const routes[] = {"window", "help", "version", "join", "panorama", "usage"};
        QString text = routes[int(d.route())];
        if (d.route() == R::Window)
            text +=
                QString(" %1: %2 | %3").arg(d.toolkitArgumentCount()).arg(d.photos().join(' '), d.project());
        else if (d.route() == R::Join || d.route() == R::Panorama)
            text +=
                QString(" at %1: ").arg(d.commandIndex()) + CommandLine(arguments).options().photos.join(' ');
        else if (d.route() == R::Usage)
            text += ": " + d.errorString();
        return text.trimmed();
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
            {"join after a photo is a photo", "a.png join", "window 2: a.png join |"},
            {"a project among photos", "a.png trip.Seamwright b.png",
             "window 3: a.png b.png | trip.Seamwright"},
            {"join", "join -o x.png a.png", "join at 0: a.png"},
            {"panorama behind toolkit options", "-style fusion panorama -o x.png a -- -b",
             "panorama at 2: a -b"},
            {"help", "--help", "help"},
            {"help after a photo", "a.png -h", "help"},
            {"version behind a toolkit option", "-platform offscreen --version", "version"},
            {"unknown long option", "a.png --glue", "usage: unknown option \"--glue\""},
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
        QCOMPARE(describe(arguments.split(' ', Qt::SkipEmptyParts)), expected);
    }
};

QTEST_APPLESS_MAIN(TestDispatch)
#include "tst_dispatch.moc"
