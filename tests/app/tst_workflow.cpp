#include "app/workflowvalues.h"
#include "canvas/geometry.h"
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
    const auto cells = dialog->photoGrid()->cells();
    return int(std::count_if(cells.begin(), cells.end(), [](EditPhotoItem* c) { return !c->isHidden(); }));
}
} // namespace

class TestWorkflow : public QObject
{
    Q_OBJECT
private:
    StitcherConfig& config = *StitcherConfig::instance();

    // Two photos laid out horizontally at 200 units high: 400 + 200 wide.
    struct Fixture : WindowFixture
    {
        Fixture() { addPhotos({{400, 200}, {300, 300}}); }
        void makeChange(const QString& change)
        {
            if (change.contains("cut"))
                canvas->cutLeft = 10;
            if (change.contains("spacing"))
                ui.spacingAllButton->click();
            if (change.contains("watermark"))
                ui.watermarkTileButton->click();
            if (change.contains("text"))
                ui.watermarkEdit->setText("mine");
            if (change.contains("annotation"))
                canvas->annotations.append(Annotation{});
            if (change.contains("path"))
                ui.pathButton->click();
        }
        void click(TopBar which) { topBar(which)->click(); }
    };

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        AppSettings::instance();
        QSettings().remove("editor/PanoramaTips");
    }

    void asksOnlyWhenWorkWouldBeLost_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("toDirection");
        QTest::addColumn<bool>("asks");
        QTest::addColumn<bool>("yes");
        const struct
        {
            const char* change;
            bool direction, stitching;
        } rows[] = {{"nothing", false, false}, {"cut", true, false},         {"spacing", true, true},
                    {"watermark", true, true}, {"text alone", false, false}, {"annotation", true, true}};
        for (const auto& r : rows) {
            QTest::addRow("direction, %s", r.change) << r.change << true << r.direction << true;
            QTest::addRow("stitching, %s", r.change) << r.change << false << r.stitching << true;
        }
        const QString all = "cut spacing watermark annotation path";
        QTest::newRow("direction, all, answered no") << all << true << true << false;
        QTest::newRow("stitching, all, answered no") << all << false << true << false;
    }
    void asksOnlyWhenWorkWouldBeLost()
    {
        QFETCH(QString, change);
        QFETCH(bool, toDirection);
        QFETCH(bool, asks);
        QFETCH(bool, yes);
        Fixture f;
        f.makeChange(change);
        ModalAnswerer answerer;
        answerer.queue(ModalAnswerer::pressButton(yes ? QMessageBox::Yes : QMessageBox::No));
        (toDirection ? f.ui.verticalButton : f.ui.cutInnerButton)->click();
        QCOMPARE(answerer.answeredCount(), asks ? 1 : 0);
        if (!yes) {
            // Everything stays, and the direction already in effect changes nothing and asks nothing.
            f.ui.horizontalButton->click();
            QCOMPARE(answerer.answeredCount(), 1);
            QVERIFY(!f.ui.verticalButton->isChecked() && !f.ui.cutInnerButton->isChecked());
            QVERIFY(f.ui.horizontalButton->isChecked() && f.ui.pathButton->isChecked());
            QCOMPARE(config.tool, int(StitcherConfig::DrawTool));
            QCOMPARE(f.canvas->cutLeft, 10.0);
            QCOMPARE(f.canvas->spacingMode, int(Geometry::SpacingInnerBit | Geometry::SpacingOuterBit));
            QCOMPARE(f.canvas->annotations.size(), 1);
            QCOMPARE(config.watermarkMode, int(Watermark::Tile));
            return;
        }
        // Editing results are gone either way; trims only when the direction changed.
        QCOMPARE(f.canvas->spacingMode, 0);
        QVERIFY(f.canvas->annotations.isEmpty());
        QCOMPARE(config.watermarkMode, int(Watermark::None));
        QCOMPARE(f.canvas->hasTrims(), !toDirection && change == "cut");
        QCOMPARE(config.watermarkText, change == "text alone" ? QString("mine") : QString());
        QCOMPARE(config.tool, int(toDirection ? StitcherConfig::NoTool : StitcherConfig::TrimTool));
        QCOMPARE(f.canvas->direction, int(toDirection ? Geometry::Vertical : Geometry::Horizontal));
    }

    void toolButtonsFormOneExclusiveSet()
    {
        Fixture f;
        MainWindowProbe& w = f.ui;
        const struct
        {
            QPushButton* button;
            int tool, shape, cutMode;
            QString mosaic;
        } steps[] = {
            {w.cutOuterButton, StitcherConfig::TrimTool, Annotation::NoShape, Geometry::CutOuter,
             "mosaic:none"},
            {w.arrowButton, StitcherConfig::DrawTool, Annotation::Arrow, Geometry::CutNone, "mosaic:none"},
            {w.mosaicButtons[2], StitcherConfig::MosaicTool, Annotation::Arrow, Geometry::CutNone,
             "mosaic-red"},
            {w.cutAllButton, StitcherConfig::TrimTool, Annotation::Arrow, Geometry::CutAll, "mosaic-red"},
            {w.pathButton, StitcherConfig::DrawTool, Annotation::Path, Geometry::CutNone, "mosaic-red"}};
        for (const auto& s : steps) {
            s.button->click();
            for (QPushButton* tool : w.toolButtons())
                QCOMPARE(tool->isChecked(), tool == s.button);
            QCOMPARE(config.tool, s.tool);
            QCOMPARE(config.shape, s.shape);
            QCOMPARE(f.canvas->cutMode, s.cutMode);
            QCOMPARE(config.mosaicName, s.mosaic);
        }
        // A spacing mode switches every tool off; clicked again it is off itself.
        w.spacingOuterButton->click();
        QVERIFY(!w.pathButton->isChecked());
        QCOMPARE(config.tool, int(StitcherConfig::NoTool));
        w.spacingOuterButton->click();
        QCOMPARE(f.canvas->spacingMode, 0);

        // A watermark switches a trim tool off, but not a drawing tool.
        w.cutOuterButton->click();
        w.watermarkTileButton->click();
        QCOMPARE(config.tool, int(StitcherConfig::NoTool));
        QVERIFY(!w.cutOuterButton->isChecked());
        w.pathButton->click();
        w.watermarkBottomButton->click();
        QCOMPARE(config.tool, int(StitcherConfig::DrawTool));
        QVERIFY(w.pathButton->isChecked());
    }

    void sizeEntries()
    {
        Fixture f;
        auto enter = [](QLineEdit* edit, const QString& text) {
            edit->setText(text);
            emit edit->editingFinished();
        };
        QCOMPARE(f.ui.heightEdit->text(), QString("200")); // the first photo's
        enter(f.ui.heightEdit, "100");
        QCOMPARE(config.paintHeight, 100);
        QCOMPARE(f.ui.widthEdit->text(), QString("300"));
        // Sizes the strip could not be rendered at are refused and the entry shows the size in effect.
        for (const QString& text : {QString::number(WorkflowValues::maxCommonSide + 1), QString(30, '9')}) {
            enter(f.ui.heightEdit, text);
            QCOMPARE(config.paintHeight, 100);
            QCOMPARE(f.ui.heightEdit->text(), QString("100"));
        }
        // In vertical layout only the width entry counts, with the same bound.
        f.ui.verticalButton->click();
        QVERIFY(f.ui.heightEdit->isReadOnly() && !f.ui.widthEdit->isReadOnly());
        const int width = config.paintWidth;
        enter(f.ui.heightEdit, "150");
        QCOMPARE(config.paintHeight, 100);
        enter(f.ui.widthEdit, QString::number(WorkflowValues::maxCommonSide + 1));
        QCOMPARE(config.paintWidth, width);
        QCOMPARE(f.ui.widthEdit->text(), QString::number(width));
        enter(f.ui.widthEdit, "150");
        QCOMPARE(config.paintWidth, 150);
    }

    // Edit Photos asks only when there are editing results; yes discards them, but not the trims, the
    // watermark's text or the tool.
    void editPhotosAsksOnlyWithEditingResults_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("yes");
        QTest::newRow("trims and watermark text") << "cut text" << true;
        QTest::newRow("spacing and a drawing tool, yes") << "spacing path" << true;
        QTest::newRow("watermark, no") << "watermark" << false;
    }
    void editPhotosAsksOnlyWithEditingResults()
    {
        QFETCH(QString, change);
        QFETCH(bool, yes);
        Fixture f;
        f.makeChange(change);
        const bool asks = !change.contains("cut");
        const int spacing = f.canvas->spacingMode, watermark = config.watermarkMode;
        ModalAnswerer answerer;
        answerer.queue(ModalAnswerer::pressButton(yes ? QMessageBox::Yes : QMessageBox::No));
        f.click(Fixture::Edit);
        QCOMPARE(answerer.answeredCount(), asks ? 1 : 0);
        if (!yes) {
            QVERIFY(!f.ui.editPhotosDialog);
            QCOMPARE(f.canvas->spacingMode, spacing);
            QCOMPARE(config.watermarkMode, watermark);
            return;
        }
        QCOMPARE(shownCells(f.ui.editPhotosDialog), 2);
        QCOMPARE(f.canvas->spacingMode, 0);
        QVERIFY(!f.ui.spacingAllButton->isChecked());
        QCOMPARE(config.watermarkMode, int(Watermark::None));
        QCOMPARE(f.canvas->hasTrims(), !asks);
        QCOMPARE(config.watermarkText, asks ? QString() : QString("mine"));
        QCOMPARE(f.ui.watermarkEdit->text(), config.watermarkText);
        // The shape button stays checked and the tool on, but with no shape.
        QCOMPARE(f.ui.pathButton->isChecked(), change.contains("path"));
        QCOMPARE(config.tool,
                 int(change.contains("path") ? StitcherConfig::DrawTool : StitcherConfig::NoTool));
        QCOMPARE(config.shape, int(Annotation::NoShape));
    }

    // The small windows close on Escape and are made once: clicked again while open or after being
    // closed, the same window shows, with the canvas as it is now.
    void windowsAreMadeOnceAndCloseOnEscape()
    {
        Fixture f;
        f.click(Fixture::About);
        f.click(Fixture::Apps);
        f.click(Fixture::Edit);
        QPointer<AboutDialog> about = f.ui.aboutDialog;
        QPointer<AppDialog> apps = f.ui.appDialog;
        QPointer<EditPhotosDialog> edit = f.ui.editPhotosDialog;
        QVERIFY(about && apps && edit && edit->isVisible());
        f.click(Fixture::About);
        QVERIFY(about->isVisible());
        for (QWidget* opened : QList<QWidget*>{about, apps, edit}) {
            QApplication::setActiveWindow(opened); // as the window manager does with a new window
            QTest::keyClick(opened, Qt::Key_Escape);
            QVERIFY2(!opened->isVisible(), opened->metaObject()->className());
        }
        f.click(Fixture::Apps);
        f.canvas->addImage(QImage(100, 100, QImage::Format_RGB32), "d.png");
        f.click(Fixture::Edit);
        QCOMPARE(f.ui.aboutDialog, about.data());
        QCOMPARE(f.ui.appDialog, apps.data());
        QCOMPARE(f.ui.editPhotosDialog, edit.data());
        QVERIFY(apps->isVisible() && edit->isVisible());
        QCOMPARE(f.window.findChildren<AboutDialog*>().size(), 1);
        QCOMPARE(shownCells(edit), 3);
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
        PanoramDialog* dialog = f.ui.panoramaDialog;
        QVERIFY(dialog && dialog->isVisible());
        QImage panorama(900, 150, QImage::Format_RGB32);
        panorama.fill(Qt::darkRed);
        emit dialog->signalsPanoramaDone(panorama);
        QCOMPARE(f.canvas->paintImages.mid(0, 2), before);
        QCOMPARE(f.canvas->paintImages.size(), 3);
        QCOMPARE(f.canvas->paintImages.last()->image, panorama);
        QCOMPARE(f.canvas->direction, int(Geometry::Vertical));
        QCOMPARE(before.first()->cropLeft, 12.0);
        QCOMPARE(config.paintWidth, paintWidth);
        QCOMPARE(config.tool, int(StitcherConfig::TrimTool));
        QVERIFY(f.ui.cutInnerButton->isChecked());
        dialog->close();
    }
};

QTEST_MAIN(TestWorkflow)
#include "tst_workflow.moc"
