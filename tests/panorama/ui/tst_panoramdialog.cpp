#include "panorama/ui/dragdropwidget.h"
#include "panorama/ui/imageview.h"
#include "panorama/ui/panoramaprocess.h"
#include "panorama/ui/panoramaview.h"
#include "panorama/ui/panoramdialog.h"
#include "support/dropurls.h"
#include "support/modalanswerer.h"
#include "support/panoramaviews.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QPushButton* buttonFor(QWidget* page, const QString& word)
{
    for (QPushButton* button : page->findChildren<QPushButton*>())
        if (button->styleSheet().contains("Panorama-" + word + ".png"))
            return button;
    return nullptr;
}

QList<QUrl> urlsOf(const QStringList& paths)
{
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.append(QUrl::fromLocalFile(path));
    return urls;
}

// The close event the window system sends when its close control is used.
void closeFromWindowSystem(QWidget* window)
{
    QCloseEvent close;
    QApplication::sendEvent(window->windowHandle(), &close);
}

} // namespace

class TestPanoramDialog : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;

    QImage sample() const
    {
        QImage image(1400, 340, QImage::Format_RGB888);
        image.fill(Qt::darkYellow);
        return image;
    }

private slots:
    void overlappingPhotosBecomeOnePanorama()
    {
        const QStringList views = PanoramaViews::write(folder.path());
        QCOMPARE(views.size(), 3);
        PanoramDialog dialog;
        QSignalSpy handedBack(&dialog, &PanoramDialog::signalsPanoramaDone);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));

        QPointer<DragDropWidget> list = qobject_cast<DragDropWidget*>(dialog.currentPage());
        QVERIFY(dropUrls(list, urlsOf(views)));
        QCOMPARE(list->photoPaths(), views);
        QCOMPARE(list->styleSelector()->currentText(), QStringLiteral("Panorama"));

        // The list is replaced from inside its own button's click: the progress page shows at once,
        // the list goes only once control has left it.
        buttonFor(list, "next")->click();
        QVERIFY(list);
        QVERIFY(!list->isVisible());
        QVERIFY(qobject_cast<PanoramaProcess*>(dialog.currentPage()));
        QVERIFY(dialog.currentPage()->isVisible());
        QTRY_VERIFY(!list);

        QPointer<QWidget> progress = dialog.currentPage();
        QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<PanoramaView*>(dialog.currentPage()), 120000);
        QTRY_VERIFY(!progress);
        auto* result = qobject_cast<PanoramaView*>(dialog.currentPage());
        QVERIFY(result->isVisible());
        const QImage panorama = result->picture()->image();
        // Three views turned apart are joined into one picture much wider than any of them.
        QVERIFY2(panorama.width() > 900, qPrintable(QString::number(panorama.width())));
        QCOMPARE(result->picture()->width(), 700);

        buttonFor(result, "done")->click();
        QCOMPARE(handedBack.count(), 1);
        QCOMPARE(handedBack.at(0).at(0).value<QImage>(), panorama);
        QVERIFY(!dialog.isVisible());

        // The next use starts from an empty list again.
        dialog.showPhotoList();
        auto* fresh = qobject_cast<DragDropWidget*>(dialog.currentPage());
        QVERIFY(fresh);
        QVERIFY(fresh->photoPaths().isEmpty());
        QVERIFY(fresh->emptyPanel()->isVisibleTo(fresh));
    }

    void closingTheResultHandsNothingBack()
    {
        PanoramDialog dialog;
        QSignalSpy handedBack(&dialog, &PanoramDialog::signalsPanoramaDone);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(QMetaObject::invokeMethod(&dialog, "onPanoramaComplete", Q_ARG(QImage, sample()),
                                          Q_ARG(QString, "OK")));
        auto* result = qobject_cast<PanoramaView*>(dialog.currentPage());
        QVERIFY(result);
        QCOMPARE(result->picture()->geometry(), QRect(0, 85, 700, 170));
        closeFromWindowSystem(&dialog);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(handedBack.count(), 0);
    }

    void aStitchGoesOnInAClosedWindowAndStillReports()
    {
        // Photos that are gone by the time the worker reads them make it fail.
        const QStringList views = PanoramaViews::write(folder.path(), {"gone-1.jpg", "gone-2.jpg"});
        QCOMPARE(views.size(), 2);
        PanoramDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* list = qobject_cast<DragDropWidget*>(dialog.currentPage());
        QVERIFY(dropUrls(list, urlsOf(views)));
        for (const QString& path : views)
            QVERIFY(QFile::remove(path));

        QStringList shown;
        ModalAnswerer answerer;
        answerer.queue([&shown](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box);
            shown.append(box->text());
            box->button(QMessageBox::Ok)->click();
        });
        buttonFor(list, "next")->click();
        closeFromWindowSystem(&dialog);
        QVERIFY(!dialog.isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(answerer.answeredCount(), 1, 30000);
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown[0].contains("gone-1.jpg"));
        QVERIFY(!dialog.isVisible());
        QVERIFY(qobject_cast<PanoramaProcess*>(dialog.currentPage()));
    }
};

QTEST_MAIN(TestPanoramDialog)
#include "tst_panoramdialog.moc"
