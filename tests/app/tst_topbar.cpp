#include "canvas/paintimage.h"
#include "canvas/stitcherconfig.h"
#include "canvas/tools/watermark.h"
#include "editphotos/editphotocontent.h"
#include "editphotos/editphotoitem.h"
#include "editphotos/editphotosdialog.h"
#include "panorama/ui/panoramdialog.h"
#include "settings/aboutdialog.h"
#include "settings/appdialog.h"
#include "settings/appsettings.h"
#include "support/modalanswerer.h"
#include "support/windowfixture.h"

#include <QMessageBox>
#include <QPointer>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>

namespace {
int shownCells(EditPhotosDialog* dialog)
{
    int count = 0;
    for (EditPhotoItem* cell : dialog->photoGrid()->cells())
        count += cell->isHidden() ? 0 : 1;
    return count;
}
} // namespace

class TestTopBar : public QObject
{
    Q_OBJECT

    StitcherConfig& config = *StitcherConfig::instance();

    struct Fixture : WindowFixture
    {
        Fixture() { addPhotos({{400, 200}, {300, 300}, {200, 100}}); }
        void click(TopBar which) { topBar(which)->click(); }
    };

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        AppSettings::instance();
        QSettings().remove("editor/PanoramaTips");
    }

    void editPhotosAsksOnlyWithEditingResults_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("asks");
        QTest::addColumn<bool>("yes");
        QTest::newRow("trims and watermark text") << "trims text" << false << true;
        QTest::newRow("spacing and a drawing tool, yes") << "spacing path" << true << true;
        QTest::newRow("watermark, no") << "watermark" << true << false;
    }
    void editPhotosAsksOnlyWithEditingResults()
    {
        QFETCH(QString, change);
        QFETCH(bool, asks);
        QFETCH(bool, yes);
        Fixture f;
        if (change.contains("trims")) {
            f.canvas->cutLeft = 10;
            f.canvas->paintImages.at(1)->cropTop = 30;
        }
        if (change.contains("text"))
            f.ui.watermarkEdit->setText("mine");
        if (change.contains("spacing"))
            f.ui.spacingAllButton->click();
        if (change.contains("path"))
            f.ui.pathButton->click();
        if (change == "watermark")
            f.ui.watermarkBottomButton->click();
        const int spacing = f.canvas->spacingMode, watermark = config.watermarkMode;

        ModalAnswerer answerer;
        QString asked;
        answerer.queue([&](QWidget* modal) {
            asked = modal->windowTitle() + ": " + qobject_cast<QMessageBox*>(modal)->text();
            ModalAnswerer::pressButton(yes ? QMessageBox::Yes : QMessageBox::No)(modal);
        });
        f.click(Fixture::Edit);
        QCOMPARE(answerer.answeredCount(), asks ? 1 : 0);
        if (asks)
            QCOMPARE(asked, QString("Waring: Are you sure to go to Edit Photos and discard your current "
                                    "editing results?"));
        if (!yes) {
            QVERIFY(!f.ui.editPhotosDialog);
            QCOMPARE(f.canvas->spacingMode, spacing);
            QCOMPARE(config.watermarkMode, watermark);
            return;
        }
        QCOMPARE(shownCells(f.ui.editPhotosDialog), 3);
        QCOMPARE(f.canvas->spacingMode, 0);
        QVERIFY(!f.ui.spacingAllButton->isChecked());
        QCOMPARE(config.watermarkMode, int(Watermark::None));
        // Trims survive the trip, and so does text that was never an editing result.
        QCOMPARE(f.canvas->hasTrims(), !asks);
        QCOMPARE(config.watermarkText, asks ? QString() : QString("mine"));
        // The shape button stays checked and the tool on, but with no shape.
        QCOMPARE(f.ui.pathButton->isChecked(), change.contains("path"));
        QCOMPARE(config.tool,
                 int(change.contains("path") ? StitcherConfig::DrawTool : StitcherConfig::NoTool));
        QCOMPARE(config.shape, int(Annotation::NoShape));
    }

    void windowsAreMadeOnceAndShownAgain()
    {
        Fixture f;
        f.click(Fixture::About);
        f.click(Fixture::Apps);
        f.click(Fixture::Edit);
        QPointer<AboutDialog> about = f.ui.aboutDialog;
        QPointer<AppDialog> apps = f.ui.appDialog;
        QPointer<EditPhotosDialog> edit = f.ui.editPhotosDialog;
        QVERIFY(about && apps && edit && edit->isVisible());
        // Clicked again while open, and again after being closed: always the same window.
        f.click(Fixture::About);
        apps->close();
        f.click(Fixture::Apps);
        edit->close();
        f.canvas->addImage(QImage(100, 100, QImage::Format_RGB32), "d.png");
        f.click(Fixture::Edit);
        QCOMPARE(f.ui.aboutDialog, about.data());
        QCOMPARE(f.ui.appDialog, apps.data());
        QCOMPARE(f.ui.editPhotosDialog, edit.data());
        QVERIFY(apps->isVisible() && edit->isVisible());
        QCOMPARE(f.window.findChildren<AboutDialog*>().size(), 1);
        // Each opening shows the canvas as it is now.
        QCOMPARE(shownCells(edit), 4);
    }

    void panoramaIsAppendedAndChangesNothingElse()
    {
        Fixture f;
        f.ui.verticalButton->click();
        f.ui.cutInnerButton->click();
        f.canvas->paintImages.first()->cropLeft = 12;
        const QList<PaintImage*> before = f.canvas->paintImages;
        const int paintWidth = config.paintWidth;

        ModalAnswerer answerer;
        answerer.queue(ModalAnswerer::accept()); // the tips shown on the first opening of a run
        f.click(Fixture::Panorama);
        QCOMPARE(answerer.answeredClasses(), QStringList({"PanoramTips"}));
        PanoramDialog* dialog = f.ui.panoramaDialog;
        QVERIFY(dialog && dialog->isVisible());

        QImage panorama(900, 150, QImage::Format_RGB32);
        panorama.fill(Qt::darkRed);
        emit dialog->signalsPanoramaDone(panorama);
        QCOMPARE(f.canvas->paintImages.size(), 4);
        QCOMPARE(f.canvas->paintImages.mid(0, 3), before);
        QCOMPARE(f.canvas->paintImages.last()->name, QString("panorama.jpg"));
        QCOMPARE(f.canvas->paintImages.last()->image, panorama);
        QCOMPARE(f.canvas->direction, int(Geometry::Vertical));
        QCOMPARE(before.first()->cropLeft, 12.0);
        QCOMPARE(config.paintWidth, paintWidth);
        QCOMPARE(config.tool, int(StitcherConfig::TrimTool));
        QVERIFY(f.ui.cutInnerButton->isChecked());
        dialog->close();
    }
};

QTEST_MAIN(TestTopBar)
#include "tst_topbar.moc"
