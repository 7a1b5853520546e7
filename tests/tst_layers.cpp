#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

// The floors of the README's "Layers" table: each folder and the folders it may include.
class TestLayers : public QObject
{
    Q_OBJECT
private slots:
    void includesPointDownOnly()
    {
        // The three rooms under the window stand side by side on the same floors.
        const QStringList belowRooms = {"canvas",   "intake",  "export", "panorama/engine", "overlap",
                                        "settings", "widgets", "crop",   "photofile"};
        const QMap<QString, QStringList> allowed = {
            {"app", belowRooms + QStringList{"editphotos", "panorama/ui", "cli", "history", "project"}},
            {"project", {"canvas", "intake", "photofile"}},
            {"history", {"canvas", "photofile"}},
            {"editphotos", belowRooms},
            {"panorama/ui", belowRooms},
            {"cli", belowRooms},
            {"canvas", {"intake", "overlap", "settings", "widgets", "photofile"}},
            {"intake", {"settings", "widgets", "photofile"}},
            {"export", {}},
            {"overlap", {}},
            {"panorama/engine", {"crop", "photofile"}},
            {"crop", {}},
            {"photofile", {}},
            {"settings", {"widgets"}},
            {"widgets", {}}};
        const auto folderOf = [](const QString& path) {
            if (path.startsWith("panorama/"))
                return path.section('/', 0, 1);
            return path.section('/', 0, 0);
        };
        const QString src = qEnvironmentVariable("SEAMWRIGHT_TEST_SOURCE_DIR") + "/src/";
        const QRegularExpression ours("^#include \"([a-z/]+)/[a-z0-9]+\\.h\"",
                                      QRegularExpression::MultilineOption);
        const QRegularExpression opencv("^#include <opencv", QRegularExpression::MultilineOption);
        int files = 0;
        QDirIterator it(src, {"*.h", "*.cpp"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next().mid(src.size());
            QFile file(it.filePath());
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(file.readAll());
            const QString folder = folderOf(path);
            QVERIFY2(allowed.contains(folder), qPrintable(path));
            for (auto match = ours.globalMatch(text); match.hasNext();) {
                const QString target = folderOf(match.next().captured(1));
                QVERIFY2(target == folder || allowed[folder].contains(target),
                         qPrintable(path + " includes " + target));
            }
            QVERIFY2(folder == "panorama/engine" || !opencv.match(text).hasMatch(), qPrintable(path));
            ++files;
        }
        QVERIFY(files > 100);
    }
};

QTEST_APPLESS_MAIN(TestLayers)
#include "tst_layers.moc"
