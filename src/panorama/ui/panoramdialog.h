#pragma once

#include "widgets/mainframe.h"

#include <QImage>
#include <QPointer>
#include <QStringList>

class DragDropWidget;
class QVBoxLayout;

// The panorama window: the photo list, then the progress page, then the result page, one at a time.
class PanoramDialog : public MainFrame
{
    Q_OBJECT
public:
    explicit PanoramDialog(QWidget* parent = nullptr);

    // Starts again from an empty photo list, whatever page was shown.
    void showPhotoList();
    QWidget* currentPage() const { return page; }

signals:
    void signalsPanoramaDone(const QImage& imagePath);

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void onSelectImages(QStringList imageList, QString style);
    void onPanoramaComplete(QImage img, QString message);
    void onDone();
    void onCancelStitch();

private:
    // The page shown before goes, or is kept aside when keepPrevious.
    void showPage(QWidget* next, bool keepPrevious = false);

    QImage resultImage;
    QWidget* pageHolder = nullptr;
    QVBoxLayout* pageLayout = nullptr;
    QPointer<QWidget> page;
    // The photo list while its stitch runs, for a cancel to bring back as it was.
    QPointer<DragDropWidget> parkedList;
};
