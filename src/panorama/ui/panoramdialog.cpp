#include "panorama/ui/panoramdialog.h"

#include "panorama/engine/panoramathread.h"
#include "panorama/ui/dragdropwidget.h"
#include "panorama/ui/panoramaprocess.h"
#include "panorama/ui/panoramaview.h"

#include <QCloseEvent>
#include <QMessageBox>
#include <QTimer>
#include <QVBoxLayout>

PanoramDialog::PanoramDialog(QWidget* parent) : MainFrame(parent)
{
    setWindowTitle(tr("Panorama Stitching"));
    setFixedSize(700, 400);

    // Pages are swapped inside one holder so that a page replaced from its own signal is deleted
    // only once control has left it.
    pageHolder = new QWidget(this);
    pageLayout = new QVBoxLayout(pageHolder);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->setSpacing(0);
    setContentWidget(pageHolder);

    showPhotoList();
}

void PanoramDialog::showPhotoList()
{
    if (parkedList)
        parkedList->deleteLater();
    auto* list = new DragDropWidget(this);
    connect(list, &DragDropWidget::signalsSelectImages, this, &PanoramDialog::onSelectImages);
    showPage(list);
}

void PanoramDialog::onSelectImages(QStringList imageList, QString style)
{
    auto* progress = new PanoramaProcess(imageList, style, this);
    connect(progress, &PanoramaProcess::signalsPanorama, this, &PanoramDialog::onPanoramaComplete);
    connect(progress, &PanoramaProcess::signalsCancelled, this, &PanoramDialog::onCancelStitch);
    parkedList = qobject_cast<DragDropWidget*>(page);
    showPage(progress, parkedList != nullptr);
}

void PanoramDialog::onCancelStitch()
{
    if (!parkedList) {
        showPhotoList();
        return;
    }
    DragDropWidget* list = parkedList;
    parkedList = nullptr;
    showPage(list);
}

void PanoramDialog::onPanoramaComplete(QImage img, QString)
{
    QString leftOutText;
    QRect pictureArea = img.rect();
    if (auto* progress = qobject_cast<PanoramaProcess*>(page))
        pictureArea = progress->pictureArea();
    if (auto* progress = qobject_cast<PanoramaProcess*>(page);
        progress && !progress->leftOutPhotos().isEmpty())
        leftOutText = PanoramaThread::leftOutText(progress->leftOutPhotos(), progress->photoCount());
    resultImage = img;
    if (parkedList)
        parkedList->deleteLater();
    auto* view = new PanoramaView(img, this);
    view->setPictureArea(pictureArea);
    connect(view, &PanoramaView::signalsDone, this, &PanoramDialog::onDone);
    showPage(view);
    // Told once the result page is up, so the user sees what the panorama lacks.
    if (!leftOutText.isEmpty())
        QTimer::singleShot(0, view, [view, leftOutText] {
            QMessageBox::information(view, QString(), leftOutText, QMessageBox::Ok);
        });
}

void PanoramDialog::onDone()
{
    if (auto* view = qobject_cast<PanoramaView*>(page))
        resultImage = view->result();
    emit signalsPanoramaDone(resultImage);
    done();
}

void PanoramDialog::closeEvent(QCloseEvent* event)
{
    // A closed window hands nothing back, so a stitch still running could never be used.
    if (auto* progress = qobject_cast<PanoramaProcess*>(page))
        progress->cancel();
    MainFrame::closeEvent(event);
}

void PanoramDialog::showPage(QWidget* next, bool keepPrevious)
{
    if (page) {
        page->hide();
        pageLayout->removeWidget(page);
        if (!keepPrevious) {
            // Cut it off now: a late signal of the old page must not reach this window any more.
            disconnect(page, nullptr, this, nullptr);
            page->deleteLater();
        }
    }
    page = next;
    next->setParent(pageHolder);
    next->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    pageLayout->addWidget(next);
    next->show();
}
