#include "app/mainwindow.h"

#include "app/toolbutton.h"
#include "canvas/painterarea.h"
#include "canvas/paintimage.h"
#include "canvas/stitcherconfig.h"
#include "editphotos/editphotocontent.h"
#include "editphotos/editphotoitem.h"
#include "editphotos/editphotosdialog.h"
#include "panorama/ui/dragdropwidget.h"
#include "panorama/ui/panoramdialog.h"
#include "panorama/ui/panoramtips.h"
#include "settings/aboutdialog.h"
#include "settings/appdialog.h"
#include "settings/appsettings.h"
#include "support/modalanswerer.h"
#include "widgets/iconpushbutton.h"

#include <QDesktopServices>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>

namespace {
QImage photo(int width, int height, QColor color = Qt::darkGreen)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

enum TopBar { Add, Clear, Apps, ZoomIn, ZoomOut, Fit, Edit, Export, Panorama, Help, About };

QPushButton* topBarButton(MainWindow& window, TopBar which)
{
    return window.findChildren<ToolButton*>().at(which)->pushButton;
}

ModalAnswerer::Answer answerBox(QMessageBox::StandardButton button, QString* title, QString* text)
{
    return [=](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            *title = box->windowTitle();
            *text = box->text();
        }
        ModalAnswerer::pressButton(button)(modal);
    };
}

int shownCells(EditPhotosDialog* dialog)
{
    int count = 0;
    for (EditPhotoItem* cell : dialog->photoGrid()->cells())
        count += cell->isHidden() ? 0 : 1;
    return count;
}
} // namespace

// Stands in for the system browser.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void openUrl(const QUrl& url) { opened << url; }
};

class TestTopBar : public QObject
{
    Q_OBJECT

    StitcherConfig& config = *StitcherConfig::instance();

    struct Fixture
    {
        MainWindow window;
        PainterArea* canvas = window.canvas();
        Fixture()
        {
            window.resize(900, 673);
            canvas->addImage(photo(400, 200), "a.png");
            canvas->addImage(photo(300, 300), "b.png");
            canvas->addImage(photo(200, 100), "c.png");
            canvas->adjustSize();
        }
    };

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        AppSettings::instance();
        QSettings().remove("editor/PanoramaTips");
    }

    void init()
    {
        config.tool = 0;
        config.shape = 0;
        config.watermarkMode = 0;
        config.watermarkText.clear();
    }

    void editPhotosAsksOnlyWithEditingResults_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("asks");
        QTest::newRow("photos only") << "none" << false;
        QTest::newRow("trims") << "trims" << false;
        QTest::newRow("watermark text alone") << "text" << false;
        QTest::newRow("spacing") << "spacing" << true;
        QTest::newRow("watermark mode") << "watermark" << true;
    }
    void editPhotosAsksOnlyWithEditingResults()
    {
        QFETCH(QString, change);
        QFETCH(bool, asks);
        Fixture f;
        if (change == "trims") {
            f.canvas->cutLeft = 10;
            f.canvas->paintImages.at(1)->cropTop = 30;
        } else if (change == "text") {
            f.window.watermarkEdit->setText("mine");
        } else if (change == "spacing") {
            f.window.spacingAllButton->click();
        } else if (change == "watermark") {
            f.window.watermarkBottomButton->click();
        }

        ModalAnswerer answerer;
        QString title, text;
        answerer.queue(answerBox(QMessageBox::Yes, &title, &text));
        topBarButton(f.window, Edit)->click();
        QCOMPARE(answerer.answeredCount(), asks ? 1 : 0);
        if (asks) {
            QCOMPARE(title, QString("Waring"));
            QCOMPARE(text,
                     QString("Are you sure to go to Edit Photos and discard your current editing results?"));
        }

        EditPhotosDialog* dialog = f.window.editPhotosDialog;
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QVERIFY(dialog->windowFlags() & Qt::Dialog);
        QCOMPARE(dialog->windowModality(), Qt::NonModal);
        QCOMPARE(shownCells(dialog), 3);
        QCOMPARE(f.canvas->spacingMode, 0);
        QCOMPARE(config.watermarkMode, 0);
        // Trims survive the trip, and so does text that was never an editing result.
        QCOMPARE(f.canvas->hasTrims(), change == "trims");
        QCOMPARE(config.watermarkText, change == "text" ? QString("mine") : QString());
    }

    void answerDecidesWhatTheTripDiscards()
    {
        Fixture f;
        f.window.spacingAllButton->click();
        f.window.pathButton->click();
        f.window.watermarkTileButton->click();
        f.window.watermarkEdit->setText("mine");
        QCOMPARE(config.tool, 1);
        QCOMPARE(config.shape, 1);

        ModalAnswerer answerer;
        answerer.queue(ModalAnswerer::pressButton(QMessageBox::No));
        topBarButton(f.window, Edit)->click();
        QCOMPARE(answerer.answeredCount(), 1);
        QVERIFY(!f.window.editPhotosDialog);
        QCOMPARE(f.canvas->spacingMode, 0x11);
        QCOMPARE(config.watermarkMode, 2);
        QCOMPARE(config.shape, 1);

        // Yes drops the results; the shape button stays checked and the tool on, but with no shape.
        answerer.queue(ModalAnswerer::pressButton(QMessageBox::Yes));
        topBarButton(f.window, Edit)->click();
        QCOMPARE(answerer.answeredCount(), 2);
        QVERIFY(f.window.editPhotosDialog->isVisible());
        QCOMPARE(f.canvas->spacingMode, 0);
        QVERIFY(!f.window.spacingAllButton->isChecked());
        QCOMPARE(config.watermarkMode, 0);
        QCOMPARE(config.watermarkText, QString());
        QVERIFY(f.window.pathButton->isChecked());
        QCOMPARE(config.tool, 1);
        QCOMPARE(config.shape, 0);
    }

    void windowsAreMadeOnceAndShownAgain()
    {
        Fixture f;
        topBarButton(f.window, About)->click();
        topBarButton(f.window, Apps)->click();
        topBarButton(f.window, Edit)->click();
        QPointer<AboutDialog> about = f.window.aboutDialog;
        QPointer<AppDialog> apps = f.window.appDialog;
        QPointer<EditPhotosDialog> edit = f.window.editPhotosDialog;
        for (QWidget* w : std::initializer_list<QWidget*>{about, apps, edit}) {
            QVERIFY(w);
            QVERIFY(w->isVisible());
            QVERIFY(w->windowFlags() & Qt::Dialog);
            QCOMPARE(w->windowModality(), Qt::NonModal);
            QCOMPARE(w->parentWidget(), &f.window);
            // Over the main window, not wherever a new top-level window lands.
            QVERIFY(f.window.frameGeometry().contains(w->frameGeometry().center()));
        }

        // Clicked again while open, and again after being closed: always the same window.
        topBarButton(f.window, About)->click();
        apps->close();
        topBarButton(f.window, Apps)->click();
        edit->close();
        f.canvas->addImage(photo(100, 100), "d.png");
        topBarButton(f.window, Edit)->click();
        QCOMPARE(f.window.aboutDialog, about.data());
        QCOMPARE(f.window.appDialog, apps.data());
        QCOMPARE(f.window.editPhotosDialog, edit.data());
        QVERIFY(apps->isVisible());
        QVERIFY(edit->isVisible());
        QCOMPARE(f.window.findChildren<AboutDialog*>().size(), 1);
        QCOMPARE(f.window.findChildren<EditPhotosDialog*>().size(), 1);
        // Each opening shows the canvas as it is now.
        QCOMPARE(shownCells(edit), 4);
    }

    void panoramaIsAppendedAndChangesNothingElse()
    {
        Fixture f;
        f.window.verticalButton->click();
        f.window.cutInnerButton->click();
        PaintImage* first = f.canvas->paintImages.first();
        first->cropLeft = 12;
        const QList<PaintImage*> before = f.canvas->paintImages;
        const int paintWidth = config.paintWidth;

        ModalAnswerer answerer;
        answerer.queue(ModalAnswerer::accept());
        topBarButton(f.window, Panorama)->click();
        QCOMPARE(answerer.answeredClasses(), QStringList({"PanoramTips"}));
        QVERIFY(f.window.findChildren<PanoramTips*>().isEmpty());
        PanoramDialog* dialog = f.window.panoramaDialog;
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowModality(), Qt::ApplicationModal);
        QVERIFY(dialog->windowFlags() & Qt::Dialog);

        QPointer<QWidget> firstList = dialog->currentPage();
        QVERIFY(qobject_cast<DragDropWidget*>(firstList));

        const QImage panorama = photo(900, 150, Qt::darkRed);
        emit dialog->signalsPanoramaDone(panorama);
        QCOMPARE(f.canvas->paintImages.size(), 4);
        QCOMPARE(f.canvas->paintImages.mid(0, 3), before);
        QCOMPARE(f.canvas->paintImages.last()->name, QString("panorama.jpg"));
        QCOMPARE(f.canvas->paintImages.last()->image, panorama);
        QCOMPARE(f.canvas->direction, 1);
        QCOMPARE(first->cropLeft, 12.0);
        QCOMPARE(config.paintWidth, paintWidth);
        QCOMPARE(config.tool, 3);
        QCOMPARE(f.canvas->cutMode, 1);
        QVERIFY(f.window.cutInnerButton->isChecked());
        dialog->close();

        // The tips show once per run, whatever the stored flag says; the window is the same one.
        ModalAnswerer second;
        second.queue(ModalAnswerer::accept());
        topBarButton(f.window, Panorama)->click();
        QTest::qWait(50);
        QVERIFY(!second.answeredClasses().contains("PanoramTips"));
        QCOMPARE(f.window.panoramaDialog, dialog);
        // Every opening starts from an empty photo list of its own.
        QVERIFY(qobject_cast<DragDropWidget*>(dialog->currentPage()));
        QVERIFY(dialog->currentPage() != firstList);
        QVERIFY(!QSettings().value("editor/PanoramaTips", false).toBool());
        dialog->close();
    }

    void helpOpensTheUserGuide()
    {
        Fixture f;
        UrlCatcher browser;
        QDesktopServices::setUrlHandler("file", &browser, "openUrl");
        topBarButton(f.window, Help)->click();
        QDesktopServices::unsetUrlHandler("file");
        QCOMPARE(browser.opened.size(), 1);
        QFile page(browser.opened.first().toLocalFile());
        QCOMPARE(QFileInfo(page).fileName(), QString("index.html"));
        QVERIFY(page.open(QIODevice::ReadOnly));
        QFile guide(":/help/index.html");
        QVERIFY(guide.open(QIODevice::ReadOnly));
        QCOMPARE(page.readAll(), guide.readAll());
    }
};

QTEST_MAIN(TestTopBar)
#include "tst_topbar.moc"
