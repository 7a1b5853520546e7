#include "panorama/ui/panoramaview.h"

#include "canvas/geometry.h"
#include "panorama/ui/cropchoice.h"
#include "panorama/ui/imageview.h"
#include "panorama/ui/panoramabutton.h"
#include "panorama/ui/resultgeometry.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>
#include <QWheelEvent>

PanoramaView::PanoramaView(const QImage& img, QWidget* parent)
    : QWidget(parent), whole(img), pictureArea(img.rect())
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* stage = new QWidget(this);
    stage->setStyleSheet(QStringLiteral("background-color:#131820;"));
    stage->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);

    pictureView = new ImageView(img, stage);
    const ResultGeometry::Fit fit = ResultGeometry::fitPicture(img.size());
    baseWidth = fit.baseWidth;
    baseHeight = fit.baseHeight;
    pictureView->setFixedSize(fit.rect.size());
    pictureView->move(fit.rect.topLeft());

    auto* bar = new QWidget(this);
    bar->setStyleSheet(QStringLiteral("background-color:#283142;"));
    bar->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    bar->setFixedHeight(44);
    auto* barLayout = new QHBoxLayout(bar);

    slider = new QSlider(Qt::Horizontal, bar);
    slider->setFixedWidth(200);
    slider->setValue(50);
    slider->setRange(0, 100);
    connect(slider, &QSlider::valueChanged, this, &PanoramaView::onSliderValue);
    barLayout->addWidget(slider);
    barLayout->addStretch(1);
    choice = new CropChoice(bar);
    choice->describe(img.size(), false, false);
    connect(choice, &CropChoice::keepWholeChanged, this, &PanoramaView::showChosenPicture);
    barLayout->addWidget(choice);

    QPushButton* doneButton = makePanoramaButton(QStringLiteral("done"), bar);
    connect(doneButton, &QPushButton::clicked, this, &PanoramaView::signalsDone);
    barLayout->addWidget(doneButton);

    layout->addWidget(stage);
    layout->addWidget(bar);
}

void PanoramaView::onSliderValue(int v)
{
    const QRect zoomed = ResultGeometry::zoomAboutCentre(pictureView->geometry(), baseWidth, baseHeight,
                                                         Geometry::zoomFactor(v));
    pictureView->setFixedSize(zoomed.size());
    pictureView->move(zoomed.topLeft());
}

void PanoramaView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint position = event->localPos().toPoint();
    if (!dragging) {
        // The first move only anchors the drag, so a press never makes the picture jump.
        dragging = true;
        lastX = position.x();
        lastY = position.y();
        return;
    }
    const QPoint delta(position.x() - lastX, position.y() - lastY);
    lastX = position.x();
    lastY = position.y();
    pictureView->move(pictureView->pos() + delta);
}

void PanoramaView::mouseReleaseEvent(QMouseEvent*)
{
    dragging = false;
}

void PanoramaView::setPictureArea(const QRect& area)
{
    pictureArea = whole.rect().contains(area) && !area.isEmpty() ? area : whole.rect();
    showChosenPicture();
}

bool PanoramaView::cropped() const
{
    return pictureArea != whole.rect() && !choice->keepWhole();
}

QImage PanoramaView::result() const
{
    return cropped() ? whole.copy(pictureArea) : whole;
}

// The cut picture is shown straight from the whole one's pixels, which it keeps alive.
void PanoramaView::showChosenPicture()
{
    QImage shown = whole;
    if (cropped()) {
        auto* keeper = new QImage(whole);
        shown = QImage(
            keeper->constScanLine(pictureArea.y()) + pictureArea.x() * (keeper->depth() / 8),
            pictureArea.width(), pictureArea.height(), keeper->bytesPerLine(), keeper->format(),
            [](void* image) { delete static_cast<QImage*>(image); }, keeper);
    }
    pictureView->setImage(shown);
    const ResultGeometry::Fit fit = ResultGeometry::fitPicture(shown.size());
    baseWidth = fit.baseWidth;
    baseHeight = fit.baseHeight;
    {
        const QSignalBlocker quiet(slider);
        slider->setValue(50);
    }
    pictureView->setFixedSize(fit.rect.size());
    pictureView->move(fit.rect.topLeft());
    choice->describe(shown.size(), cropped(), pictureArea != whole.rect());
}

void PanoramaView::wheelEvent(QWheelEvent* event)
{
    event->accept();
    wheelRemainder += event->angleDelta().y();
    const int steps = wheelRemainder / 120;
    wheelRemainder -= steps * 120;
    const int value = std::clamp(slider->value() + 2 * steps, slider->minimum(), slider->maximum());
    if (value == slider->value())
        return;
    const QRect before = pictureView->geometry();
    const QPointF pointer = pictureView->parentWidget()->mapFrom(this, event->position().toPoint());
    {
        const QSignalBlocker blocker(slider);
        slider->setValue(value);
    }
    const double factor = Geometry::zoomFactor(value);
    const QSize size(qRound(baseWidth * factor), qRound(baseHeight * factor));
    const double grow = before.width() > 0 ? double(size.width()) / before.width() : 1.0;
    const QPointF topLeft = pointer - (pointer - QPointF(before.topLeft())) * grow;
    pictureView->setFixedSize(size);
    pictureView->move(topLeft.toPoint());
}
