#include "app/helppage.h"
#include "app/windowedits.h"
#include "canvas/geometry.h"
#include "canvas/stitcherconfig.h"
#include "panorama/ui/dragdropwidget.h"
#include "panorama/ui/panoramdialog.h"
#include "panorama/ui/photocontent.h"
#include "panorama/ui/photoitem.h"
#include "settings/appsettings.h"
#include "support/filledimage.h"
#include "support/isolatedsettings.h"
#include "support/modalanswerer.h"
#include "support/windowfixture.h"
#include "widgets/colourcontrast.h"
#include "widgets/mainframe.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QProgressDialog>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <map>

namespace {

using WindowEdits::writeFile;

// The colour most of the picture has, and the strongest contrast any pixel makes with it: for text on
// a plain ground, the contrast of the text.
struct Reading
{
    QRgb ground = 0;
    double textContrast = 1;
    double meanLuminance = 0;
};
Reading readingOf(const QImage& picture)
{
    std::map<QRgb, int> counts;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            ++counts[picture.pixel(x, y) | 0xff000000u];
    Reading r;
    int most = 0;
    for (const auto& [rgb, n] : counts)
        if (n > most)
            most = n, r.ground = rgb;
    for (const auto& [rgb, n] : counts) {
        r.textContrast = std::max(r.textContrast, contrastRatio(rgb, r.ground));
        r.meanLuminance += relativeLuminance(rgb) * n / (picture.width() * picture.height());
    }
    return r;
}

} // namespace

// Keys, tooltips, readable controls and Qt's own dialogs, on the real main window.
class TestConventions : public QObject
{
    Q_OBJECT

    struct Fixture : WindowFixture
    {
        explicit Fixture(int photos = 2) : WindowFixture(true)
        {
            QApplication::setActiveWindow(&window);
            addPhotos(QVector<QSize>(photos, QSize(400, 200)));
            QCoreApplication::processEvents();
        }
    };

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        AppSettings::instance();
        QSettings().setValue("editor/PanoramaTips", false);
    }

    void eachKeyTriggersItsAction_data()
    {
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<QString>("effect");
        QTest::newRow("open") << QKeySequence(QKeySequence::Open) << "Choose Pictures";
        QTest::newRow("save") << QKeySequence(QKeySequence::Save) << "Save";
        QTest::newRow("zoom in") << QKeySequence(QKeySequence::ZoomIn) << "+2";
        QTest::newRow("zoom in without shift") << QKeySequence("Ctrl+=") << "+2";
        QTest::newRow("zoom out") << QKeySequence(QKeySequence::ZoomOut) << "-2";
        QTest::newRow("fit") << QKeySequence("Ctrl+0") << "fit";
        QTest::newRow("help") << QKeySequence(QKeySequence::HelpContents) << "Help";
    }
    void eachKeyTriggersItsAction()
    {
        QFETCH(QKeySequence, key);
        QFETCH(QString, effect);
        Fixture f;
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.ui.zoomSlider->setValue(40);

        ModalAnswerer answerer;
        QString asked;
        answerer.queue([&asked](QWidget* modal) {
            asked = modal->windowTitle();
            modal->close();
        });
        QTest::keySequence(&f.window, key);
        const bool asks = effect.size() > 3; // the effect is the title of the window it opens
        if (effect == "fit")
            QCOMPARE(f.canvas->width(), f.ui.canvasHolder->width());
        else if (!asks)
            QCOMPARE(f.ui.zoomSlider->value(), 40 + effect.toInt());
        QTRY_COMPARE(answerer.answeredCount(), int(asks));
        QCOMPARE(asked, asks ? effect : QString());
    }

    // The tips take Escape as "Know-it"; the panorama window that follows keeps it for itself.
    void escapeClosesThePanoramaTipsButNotThePanorama()
    {
        Fixture f;
        ModalAnswerer answerer;
        bool tipsStayed = false;
        answerer.queue([&tipsStayed](QWidget* modal) {
            QApplication::setActiveWindow(modal);
            QTest::keyClick(modal, Qt::Key_Escape);
            tipsStayed = modal->isVisible();
            if (tipsStayed) // rather than wait for ever
                static_cast<MainFrame*>(modal)->done();
        });
        f.topBar(Fixture::Panorama)->click();
        QCOMPARE(answerer.answeredClasses(), QStringList{"PanoramTips"});
        QVERIFY(!tipsStayed);
        QVERIFY(f.ui.panoramaDialog->isVisible());
        QApplication::setActiveWindow(f.ui.panoramaDialog);
        QTest::keyClick(f.ui.panoramaDialog, Qt::Key_Escape);
        QVERIFY(f.ui.panoramaDialog->isVisible());

        // Delete removes the selected photos of the panorama list (once the list it replaced is gone).
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        auto* list = f.ui.panoramaDialog->findChild<DragDropWidget*>();
        QVERIFY(list);
        for (const char* name : {"a.png", "b.png", "c.png"})
            list->content()->addPhoto(filledImage(60, 40), name);
        list->content()->photos().at(1)->toggleSelected();
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(list->photoPaths(), (QStringList{"a.png", "c.png"}));
        f.ui.panoramaDialog->close();
    }

    void iconOnlyButtonsSayWhatTheyDoAndTheirKey()
    {
        Fixture f;
        f.ui.cutAllButton->click(); // the trimming arrows show
        QStringList silent;
        for (QAbstractButton* b : f.window.findChildren<QAbstractButton*>())
            if (b->text().isEmpty() && b->toolTip().isEmpty())
                silent << b->metaObject()->className() + QString(" ") + b->objectName();
        QVERIFY2(silent.isEmpty(), qPrintable(silent.join(", ")));
    }

    void controlsAreReadable()
    {
        Fixture f(0);
        // A six-digit length shows whole in its entry.
        f.ui.widthEdit->setText("120000");
        QCoreApplication::processEvents();
        const QImage entry = f.ui.widthEdit->grab().toImage();
        int left = entry.width(), right = -1;
        for (int y = 0; y < entry.height(); ++y)
            for (int x = 0; x < entry.width(); ++x)
                if (relativeLuminance(entry.pixel(x, y)) > 0.4)
                    left = std::min(left, x), right = std::max(right, x);
        const QFontMetrics metrics(f.ui.widthEdit->font());
        QVERIFY2(right - left + 1 >= metrics.boundingRect("120000").width() - 2,
                 qPrintable(QString::number(right - left + 1)));
        QVERIFY(left > 1 && right < entry.width() - 2);

        // The panel scrolls while the window is too low for it, down to its last slider.
        auto* panel = f.window.findChild<QScrollArea*>();
        QScrollBar* bar = panel->verticalScrollBar();
        QVERIFY(bar->isVisible());
        bar->setValue(bar->maximum());
        auto* size = panel->widget()->findChild<QSlider*>("watermarkSizeSlider");
        QVERIFY(panel->viewport()->rect().contains(
            QRect(size->mapTo(panel->viewport(), QPoint()), size->size())));
        f.window.resize(900, 900);
        QCoreApplication::processEvents();
        QVERIFY(!bar->isVisible());

        // Every swatch and picker lies within the panel's visible width.
        QWidget* viewport = panel->viewport();
        int swatches = 0;
        for (QAbstractButton* b : panel->widget()->findChildren<QAbstractButton*>()) {
            // The swatches and the picker beside them.
            if (b->parentWidget()
                    ->findChildren<QRadioButton*>(QString(), Qt::FindDirectChildrenOnly)
                    .isEmpty())
                continue;
            const QRect r(b->mapTo(viewport, QPoint()), b->size());
            QVERIFY2(r.left() >= 0 && r.right() < viewport->width(), qPrintable(b->toolTip()));
            QVERIFY(b->visibleRegion().boundingRect().width() == b->width());
            ++swatches;
        }
        QVERIFY(swatches > 0);
    }

    // Qt's own dialogs and the pen-width menu.
    void popupsTakeTheDarkColours()
    {
        Fixture f(0);
        auto* menu = qobject_cast<QMenu*>(f.ui.smallAction->parent());
        QVERIFY(menu);
        QTemporaryDir folder;
        QFileDialog files(&f.window, "Choose Pictures", folder.path());
        QMessageBox box(QMessageBox::Warning, "Warning", "Are you sure?", QMessageBox::Yes | QMessageBox::No);
        QColorDialog colours;
        QProgressDialog progress("Exporting", "Cancel", 0, 100, &f.window);
        progress.setValue(30);
        const QList<QWidget*> dialogs{menu, &files, &box, &colours, &progress};
        for (QWidget* dialog : dialogs) {
            dialog->show();
            QVERIFY(QTest::qWaitForWindowExposed(dialog));
            const Reading reading = readingOf(dialog->grab().toImage());
            const double mean = reading.meanLuminance;
            // The colour dialog's spectrum is bright by nature; its ground is what must be dark.
            const bool spectrum = dialog == &colours;
            QVERIFY2(relativeLuminance(reading.ground) < 0.05 && (spectrum || mean < 0.15),
                     dialog->metaObject()->className());
            QVERIFY2(reading.textContrast >= 4.5, dialog->metaObject()->className());
            dialog->hide();
        }
        QVERIFY(files.testOption(QFileDialog::DontUseNativeDialog) ||
                QCoreApplication::testAttribute(Qt::AA_DontUseNativeDialogs));
    }

    void helpNamesTheGuideWhenTheDesktopCannotOpenIt()
    {
        // The offscreen platform has no way to open a page, as a desktop without a browser.
        Fixture f(0);
        ModalAnswerer answerer;
        QString text;
        answerer.queue(ModalAnswerer::pressButton(QMessageBox::Ok, &text));
        f.topBar(Fixture::Help)->click();
        QCOMPARE(answerer.answeredCount(), 1);
        const QString path = text.section('\n', -1);
        QVERIFY2(path.endsWith("index.html") && QFileInfo(path).isFile(), qPrintable(text));
    }

    // An installed guide serves as it is; without one the compiled-in guide is written out, replacing a
    // stale copy.
    void guideIsInstalledOrWrittenOut()
    {
        QTemporaryDir prefix, extract;
        const QString target = extract.filePath("help");
        const QUrl url = HelpPage::locate(prefix.filePath("bin"), target);
        QCOMPARE(url, QUrl::fromLocalFile(target + "/index.html"));
        QFile resource(":/help/index.html");
        QVERIFY(resource.open(QIODevice::ReadOnly));
        QVERIFY(writeFile(url.toLocalFile(), "old"));
        QCOMPARE(HelpPage::locate(prefix.filePath("bin"), target), url);
        QCOMPARE(WindowEdits::fileHead(url.toLocalFile()), resource.readAll());

        QVERIFY(QDir(prefix.path()).mkpath("bin") && QDir(prefix.path()).mkpath("share/seamwright/help"));
        const QString page = prefix.filePath("share/seamwright/help/index.html");
        QVERIFY(writeFile(page, "<html></html>"));
        QVERIFY(QDir(target).removeRecursively());
        QCOMPARE(HelpPage::locate(prefix.filePath("bin"), target), QUrl::fromLocalFile(page));
        QVERIFY(!QDir(target).exists()); // nothing written out while the installed copy serves
    }
};

SEAMWRIGHT_ISOLATED_TEST_MAIN(TestConventions)
#include "tst_conventions.moc"
