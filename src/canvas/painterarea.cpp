#include "canvas/painterarea.h"

#include "canvas/cachedpixmap.h"
#include "canvas/paintimage.h"
#include "canvas/stitcherbutton.h"
#include "canvas/stitcherconfig.h"
#include "canvas/stripedit.h"
#include "canvas/striprecorder.h"
#include "canvas/tools/watermark.h"
#include "intake/intakerun.h"
#include "intake/photointake.h"

#include <QFileInfo>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QtMath>

#include <algorithm>

using namespace Geometry;

namespace {

struct ButtonArt
{
    const char* icon;
    QSize iconSize;
};

ButtonArt buttonArt(int edge)
{
    switch (edge) {
    case EdgeLeft:
        return {":images/stitcher-toright@3x.png", QSize(18, 94)};
    case EdgeTop:
        return {":images/stitcher-todown@3x.png", QSize(94, 18)};
    case EdgeRight:
        return {":images/stitcher-toleft@3x.png", QSize(18, 94)};
    default:
        return {":images/stitcher-toup@3x.png", QSize(94, 18)};
    }
}

} // namespace

PainterArea::PainterArea(QWidget* parent) : QWidget(parent), config(StitcherConfig::instance())
{
    previewWorkers.setMaxThreadCount(1); // the other core paints
    resetLayout();
    for (int edge : {EdgeLeft, EdgeRight, EdgeTop, EdgeBottom})
        stripButtons.append(createStitcherButton(edge, nullptr));

    addButton = new QPushButton(this);
    addButton->setFixedSize(70, 21);
    addButton->setStyleSheet("QPushButton {border-image: url(:/images/Aqua.png)}");
    addButton->move(241, 179);
    connect(addButton, &QPushButton::clicked, this, &PainterArea::openFiles);
}

PainterArea::~PainterArea()
{
    qDeleteAll(paintImages);
}

StitcherButton* PainterArea::createStitcherButton(int edge, PaintImage* photo)
{
    const ButtonArt art = buttonArt(edge);
    auto* button = new StitcherButton(photo, edge, this);
    button->pixmap = cachedPixmap(art.icon);
    const QSize size(qRound(0.8 * art.iconSize.width()), qRound(0.8 * art.iconSize.height()));
    button->setIcon(QIcon(button->pixmap));
    button->setFixedSize(size);
    button->setIconSize(size);
    button->setStyleSheet("background-color: transparent");
    button->setToolTip(tr("Trim this edge: click, then drag"));
    connect(button, &QPushButton::clicked, this, &PainterArea::setStitcherClick);
    button->hide();
    return button;
}

Geometry::StripLayout PainterArea::stripLayout() const
{
    StripLayout layout;
    layout.direction = direction;
    layout.spacingMode = spacingMode;
    layout.spacingInner = spacingInner;
    layout.spacingOuter = spacingOuter;
    layout.paintWidth = config->paintWidth;
    layout.paintHeight = config->paintHeight;
    layout.areaWidth = areaWidth;
    layout.areaHeight = areaHeight;
    layout.cutLeft = cutLeft;
    layout.cutTop = cutTop;
    layout.cutRight = cutRight;
    layout.cutBottom = cutBottom;
    return layout;
}

// ---- edit history

StripState PainterArea::state() const
{
    StripState s;
    s.photos.reserve(paintImages.size());
    for (const PaintImage* photo : paintImages)
        s.photos.append({photo->image, photo->name, photo->crop(), photo->source});
    s.layout = stripLayout();
    s.spacingColor = config->spacingColor;
    s.annotations = annotations;
    s.mosaicStrokes = mosaicStrokes;
    s.watermark = watermarkStyle();
    return s;
}

void PainterArea::restoreState(const StripState& s)
{
    const bool wasEmpty = paintImages.isEmpty();
    const bool turned = s.layout.direction != direction;
    const QVector<PhotoState> photosBefore = state().photos;
    restorePhotos(s.photos);
    const StripLayout& l = s.layout;
    direction = l.direction;
    config->paintWidth = qRound(l.paintWidth);
    config->paintHeight = qRound(l.paintHeight);
    areaWidth = l.areaWidth;
    areaHeight = l.areaHeight;
    cutLeft = l.cutLeft;
    cutTop = l.cutTop;
    cutRight = l.cutRight;
    cutBottom = l.cutBottom;
    spacingMode = l.spacingMode;
    spacingInner = l.spacingInner;
    spacingOuter = l.spacingOuter;
    config->spacingColor = s.spacingColor;
    annotations = s.annotations;
    mosaicStrokes = s.mosaicStrokes;
    for (const Annotation& a : annotations)
        strokeCount = std::max(strokeCount, a.order);
    for (const MosaicStroke& m : mosaicStrokes)
        strokeCount = std::max(strokeCount, m.order);
    config->watermarkMode = s.watermark.mode;
    config->watermarkText = s.watermark.text;
    config->watermarkOpacity = s.watermark.opacity;
    config->watermarkSpacing = s.watermark.spacing;
    config->watermarkSize = s.watermark.size;
    config->watermarkColor = s.watermark.color;
    // An armed edge may belong to a photo or strip edge that is no longer where it was.
    trimActive = false;
    activeImage = nullptr;
    applyButtonVisibility();
    addButton->setVisible(paintImages.isEmpty());
    adjustSize();
    if (paintImages.isEmpty()) {
        const QSize container = containerSize();
        placeCanvas(container.width(), container.height());
    } else if (wasEmpty || turned) {
        centreCanvas();
    } else {
        centreCrossAxis();
    }
    update();
    placeButtons();
    if (photosBefore != s.photos)
        emit signalPhotosChanged();
    emit signalStripEdited();
    emit signalStateRestored();
}

// Photos that stay keep their objects, and with them their buttons and smaller copies.
void PainterArea::restorePhotos(const QVector<PhotoState>& photos)
{
    QList<PaintImage*> unused = paintImages;
    QList<PaintImage*> restored;
    for (const PhotoState& wanted : photos) {
        PaintImage* photo = nullptr;
        for (int i = 0; i < unused.size() && !photo; ++i) {
            if (unused[i]->image.cacheKey() == wanted.image.cacheKey() && unused[i]->name == wanted.name)
                photo = unused.takeAt(i);
        }
        if (!photo) {
            photo = createPhoto(wanted.image, wanted.name);
            photo->source = wanted.source;
        }
        photo->setCrop(wanted.crop);
        restored.append(photo);
    }
    for (PaintImage* photo : qAsConst(unused))
        deletePhoto(photo);
    paintImages = restored;
}

void PainterArea::beginEdit(const QString& label, quint64 mergeKey)
{
    if (editDepth++ > 0)
        return;
    editLabel = label;
    editKey = mergeKey;
    editBefore = recorder ? state() : StripState();
    editRecorded = recorder != nullptr;
}

void PainterArea::endEdit()
{
    if (--editDepth > 0 || !editRecorded || !recorder)
        return;
    const StripState after = state();
    if (after != editBefore)
        recorder->record(editBefore, after, editLabel, editKey);
    // Held any longer, the shared records would be copied by the next change made to them.
    editBefore = StripState();
}

void PainterArea::setSpacingMode(int mode)
{
    if (mode == spacingMode)
        return;
    const StripEdit edit(this, tr("Spacing"));
    spacingMode = mode;
    adjustSize();
    update();
    centreCrossAxis();
    placeButtons();
    emit signalStripEdited();
}

void PainterArea::setSpacingColor(const QColor& color)
{
    if (color == config->spacingColor)
        return;
    const StripEdit edit(this, tr("Spacing colour"), SpacingColorKey);
    config->spacingColor = color;
    update();
    if (spacingMode != 0)
        emit signalStripEdited();
}

Watermark::Style PainterArea::watermarkStyle() const
{
    Watermark::Style style;
    style.mode = config->watermarkMode;
    style.text = config->watermarkText;
    style.opacity = config->watermarkOpacity;
    style.spacing = config->watermarkSpacing;
    style.size = config->watermarkSize;
    style.color = config->watermarkColor;
    return style;
}

void PainterArea::setWatermarkStyle(const Watermark::Style& style, quint64 mergeKey)
{
    const Watermark::Style before = watermarkStyle();
    if (style == before)
        return;
    const StripEdit edit(this, tr("Watermark"), mergeKey);
    config->watermarkMode = style.mode;
    config->watermarkText = style.text;
    config->watermarkOpacity = style.opacity;
    config->watermarkSpacing = style.spacing;
    config->watermarkSize = style.size;
    config->watermarkColor = style.color;
    update();
    if (style.mode != Watermark::None || before.mode != Watermark::None)
        emit signalStripEdited();
}

void PainterArea::relayout()
{
    shapes.resize(paintImages.size());
    for (int i = 0; i < paintImages.size(); ++i)
        shapes[i] = paintImages[i]->shape();
    layoutRects(stripLayout(), shapes, rects);
    for (int i = 0; i < paintImages.size(); ++i)
        paintImages[i]->layoutRect = rects[i];
}

QSize PainterArea::containerSize() const
{
    return parentWidget() ? parentWidget()->size() : QSize(0, 0);
}

QPoint PainterArea::toCanvasUnits(const QPoint& widgetPoint) const
{
    return {qRound(widgetPoint.x() / painterScale), qRound(widgetPoint.y() / painterScale)};
}

// ---- the photo list

void PainterArea::addImage(const QImage& image, const QString& name)
{
    // An empty image would set a common size of zero and collapse every later photo.
    if (image.isNull())
        return;
    const StripEdit edit(this, tr("Add photos"));
    if (paintImages.isEmpty()) {
        config->paintWidth = image.width();
        areaWidth = cutLeft + cutRight + image.width();
        config->paintHeight = image.height();
        areaHeight = cutTop + cutBottom + image.height();
        move(firstPhotoPlace(stripLayout(), containerSize()));
    }
    paintImages.append(createPhoto(image, name));
    addButton->hide();
    emit signalPhotosChanged();
}

PaintImage* PainterArea::createPhoto(const QImage& image, const QString& name)
{
    auto* photo = new PaintImage(image, name);
    photo->setPreviewWorkers(&previewWorkers);
    connect(photo, &PaintImage::previewArrived, this, qOverload<>(&PainterArea::update));
    photo->leftButton = createStitcherButton(EdgeLeft, photo);
    photo->rightButton = createStitcherButton(EdgeRight, photo);
    photo->topButton = createStitcherButton(EdgeTop, photo);
    photo->bottomButton = createStitcherButton(EdgeBottom, photo);
    return photo;
}

void PainterArea::deletePhoto(PaintImage* photo)
{
    if (photo == activeImage) {
        // The armed edge goes with its photo.
        activeImage = nullptr;
        trimActive = false;
        applyButtonVisibility();
    }
    for (int edge : {EdgeLeft, EdgeTop, EdgeRight, EdgeBottom})
        delete photo->button(edge);
    delete photo;
}

void PainterArea::removePhoto(int index)
{
    const StripEdit edit(this, tr("Remove photo"));
    if (index >= 0 && index < paintImages.size()) {
        deletePhoto(paintImages.takeAt(index));
        emit signalPhotosChanged();
    }
    if (paintImages.isEmpty()) {
        addButton->show();
        const QSize container = containerSize();
        placeCanvas(container.width(), container.height());
    }
    adjustSize();
    update();
    placeButtons();
}

void PainterArea::removeAllPhotos()
{
    const StripEdit edit(this, tr("Remove all photos"));
    const bool hadPhotos = !paintImages.isEmpty();
    while (!paintImages.isEmpty())
        deletePhoto(paintImages.takeFirst());
    const QSize container = containerSize();
    placeCanvas(container.width(), container.height());
    addButton->show();
    if (hadPhotos)
        emit signalPhotosChanged();
}

void PainterArea::swapPhotos(int i, int j)
{
    const int count = paintImages.size();
    if (i < 0 || j < 0 || i >= count || j >= count || i == j)
        return;
    const StripEdit edit(this, tr("Reorder photos"));
    paintImages.swapItemsAt(i, j);
    emit signalPhotosChanged();
    placeButtons();
    update();
}

void PainterArea::resetLayout()
{
    const StripEdit edit(this, tr("Reset trims and sizes"));
    for (PaintImage* photo : qAsConst(paintImages))
        photo->resetCrop();
    spacingMode = 0;
    areaWidth = 320;
    areaHeight = 320;
    config->paintWidth = 320;
    config->paintHeight = 320;
    activeImage = nullptr;
    activeDirection = EdgeLeft;
    trimActive = false;
    cutMode = CutNone;
    cutLeft = cutRight = cutTop = cutBottom = 0;
}

bool PainterArea::hasTrims() const
{
    for (const PaintImage* photo : paintImages) {
        const Crop crop = photo->crop();
        if (crop.width() != photo->image.width() || crop.height() != photo->image.height())
            return true;
    }
    return cutLeft != 0 || cutRight != 0 || cutTop != 0 || cutBottom != 0;
}

PainterArea::Trims PainterArea::trims() const
{
    Trims t;
    for (const PaintImage* photo : paintImages)
        t.crops.append(photo->crop());
    t.cutLeft = cutLeft;
    t.cutTop = cutTop;
    t.cutRight = cutRight;
    t.cutBottom = cutBottom;
    return t;
}

QStringList PainterArea::sourcePaths() const
{
    QStringList paths;
    for (const PaintImage* photo : paintImages)
        if (!photo->source.path.isEmpty())
            paths << photo->source.path;
    return paths;
}

void PainterArea::setTrims(const Trims& t)
{
    const StripEdit edit(this, tr("Trim"));
    for (int i = 0; i < std::min(int(paintImages.size()), int(t.crops.size())); ++i) {
        PaintImage* photo = paintImages[i];
        const double width = photo->image.width();
        const double height = photo->image.height();
        Crop crop;
        crop.left = std::clamp(t.crops[i].left, 0.0, width - 1);
        crop.top = std::clamp(t.crops[i].top, 0.0, height - 1);
        crop.right = std::clamp(t.crops[i].right, crop.left + 1, width);
        crop.bottom = std::clamp(t.crops[i].bottom, crop.top + 1, height);
        photo->setCrop(crop);
    }
    auto keep = [](double cut, double opposite, double area) {
        return std::clamp(cut, 0.0, std::max(0.0, area - 1 - std::max(0.0, opposite)));
    };
    cutLeft = keep(t.cutLeft, 0, areaWidth);
    cutRight = keep(t.cutRight, cutLeft, areaWidth);
    cutTop = keep(t.cutTop, 0, areaHeight);
    cutBottom = keep(t.cutBottom, cutTop, areaHeight);
    adjustSize();
    update();
    centreCrossAxis();
    placeButtons();
    emit signalStripEdited();
}

// ---- layout settings

void PainterArea::setDirection(int d)
{
    if (d == direction)
        return;
    const StripEdit edit(this, tr("Direction"));
    direction = d;
    adjustSize();
    if (!paintImages.isEmpty())
        centreCanvas();
    update();
    placeButtons();
    emit signalStripEdited();
}

void PainterArea::setSpacingInner(int value)
{
    const StripEdit edit(this, tr("Spacing size"), SpacingInnerKey);
    spacingInner = value * 155 / 100.0 + 5;
    if (spacingMode & SpacingInnerBit) {
        adjustSize();
        update();
        placeButtons();
        emit signalStripEdited();
    }
}

void PainterArea::setSpacingOuter(int value)
{
    const StripEdit edit(this, tr("Spacing size"), SpacingOuterKey);
    spacingOuter = value * 155 / 100.0 + 5;
    if (spacingMode & SpacingOuterBit) {
        adjustSize();
        update();
        centreCrossAxis();
        placeButtons();
        emit signalStripEdited();
    }
}

void PainterArea::setPaintWidth(int width)
{
    const StripEdit edit(this, tr("Common size"));
    config->paintWidth = width;
    areaWidth = cutLeft + cutRight + width;
    commonSizeChanged();
}

void PainterArea::setPaintHeight(int height)
{
    const StripEdit edit(this, tr("Common size"));
    config->paintHeight = height;
    areaHeight = cutTop + cutBottom + height;
    commonSizeChanged();
}

void PainterArea::commonSizeChanged()
{
    adjustSize();
    if (!paintImages.isEmpty())
        centreCanvas();
    update();
    placeButtons();
    emit signalStripEdited();
}

QSize PainterArea::contentSize() const
{
    QVector<PhotoShape> photoShapes;
    photoShapes.reserve(paintImages.size());
    for (const PaintImage* photo : paintImages)
        photoShapes.append(photo->shape());
    return Geometry::contentSize(stripLayout(), photoShapes);
}

int PainterArea::photoAt(int x, int y)
{
    relayout();
    return Geometry::photoAt(rects, x, y);
}

QPoint PainterArea::toStripPoint(int x, int y, int index) const
{
    return Geometry::toStripPoint(stripLayout(), x, y, index);
}

QPoint PainterArea::fromStripPoint(int x, int y, int index) const
{
    return Geometry::fromStripPoint(stripLayout(), x, y, index);
}

QSize PainterArea::sizeHint() const
{
    if (paintImages.isEmpty())
        return {emptyWidth, emptyHeight};
    const SizeReport report = sizeReport(stripLayout(), contentSize(), painterScale);
    emit const_cast<PainterArea*>(this)->signalSizeHint(report.entries.width(), report.entries.height());
    return report.hint;
}

// ---- zoom and place

void PainterArea::setPainterScale(int value)
{
    painterScale = zoomFactor(value);
    adjustSize();
    update();
    const QSize container = containerSize();
    placeCanvas(container.width(), container.height());
}

void PainterArea::zoomAbout(int value, const QPoint& pointer)
{
    const double before = painterScale;
    const QPoint start = pos();
    setPainterScale(value);
    if (paintImages.isEmpty())
        return;
    scrollTo({zoomAnchoredPos(pointer.x(), start.x(), before, painterScale),
              zoomAnchoredPos(pointer.y(), start.y(), before, painterScale)});
}

void PainterArea::fitPainterScale()
{
    const QSize container = containerSize();
    painterScale = fitScale(isVertical(), contentSize(), container, painterScale);
    adjustSize();
    update();
    if (paintImages.isEmpty())
        placeCanvas(container.width(), container.height());
    else
        scrollTo(fittedPlace(isVertical(), size(), container));
}

void PainterArea::placeCanvas(int parentWidth, int parentHeight)
{
    const QSize container(parentWidth, parentHeight);
    if (paintImages.isEmpty())
        move(Geometry::placeCanvas(false, isVertical(), pos(), size(), container));
    else if (!edgeTrimmer.dragging())
        move(ViewGeometry(isVertical(), size(), container).clamped(pos()));
}

void PainterArea::centreCanvas()
{
    scrollTo(Geometry::centreCanvas(isVertical(), size(), containerSize()));
}

void PainterArea::centreCrossAxis()
{
    keepInView();
}

ViewGeometry PainterArea::view() const
{
    return ViewGeometry(isVertical(), size(), containerSize());
}

void PainterArea::scrollTo(const QPoint& place)
{
    if (!paintImages.isEmpty())
        move(view().clamped(place));
}

void PainterArea::panBy(const QPoint& movement)
{
    scrollTo(pos() + movement);
}

// A drag of an armed edge moves the canvas itself; the view settles when it ends.
void PainterArea::keepInView()
{
    const QSize container = containerSize();
    placeCanvas(container.width(), container.height());
}

// ---- drawing tools

void PainterArea::dropStrokes(bool none, const QString& label, const std::function<void()>& drop)
{
    if (none)
        return;
    const StripEdit edit(this, label);
    drop();
    emit signalStripEdited();
}

void PainterArea::undoAnnotation()
{
    dropStrokes(annotations.isEmpty(), tr("Undo drawing"), [this] { annotations.removeLast(); });
}

void PainterArea::clearAnnotations()
{
    dropStrokes(annotations.isEmpty(), tr("Clear drawings"), [this] { annotations.clear(); });
}

void PainterArea::undoMosaic()
{
    dropStrokes(mosaicStrokes.isEmpty(), tr("Undo mosaic stroke"), [this] { mosaicStrokes.removeLast(); });
}

void PainterArea::clearMosaics()
{
    dropStrokes(mosaicStrokes.isEmpty(), tr("Clear mosaic strokes"), [this] { mosaicStrokes.clear(); });
}

void PainterArea::undoLastStroke()
{
    const bool drawing = !annotations.isEmpty();
    const bool mosaic = !mosaicStrokes.isEmpty();
    if (drawing && (!mosaic || annotations.last().order > mosaicStrokes.last().order))
        undoAnnotation();
    else
        undoMosaic();
}

void PainterArea::clearEdits()
{
    const StripEdit edit(this, tr("Clear edits"));
    spacingMode = 0;
    clearAnnotations();
    clearMosaics();
}

// ---- mouse

void PainterArea::toolPress(const QPoint& point)
{
    if (paintImages.isEmpty())
        return;
    const QPoint p = toCanvasUnits(point);
    const int index = photoAt(p.x(), p.y());
    if (index < 0)
        return;
    const StripPoint at{toStripPoint(p.x(), p.y(), index), index};
    gestureKey = newMergeKey();
    const StripEdit edit(
        this, config->tool == StitcherConfig::MosaicTool ? tr("Mosaic stroke") : tr("Drawing"), gestureKey);
    switch (config->tool) {
    case StitcherConfig::DrawTool:
        annotations.append(Annotation::begin(at, config->penWidth, config->penColor, config->shape));
        annotations.last().order = ++strokeCount;
        break;
    case StitcherConfig::MosaicTool:
        mosaicStrokes.append(MosaicStroke::begin(at, config->mosaicName, config->mosaicSize));
        mosaicStrokes.last().order = ++strokeCount;
        break;
    case StitcherConfig::TrimTool:
        pressed = true;
        if (trimActive)
            edgeTrimmer.begin(point + pos());
        return;
    default:
        return;
    }
    pressed = true;
    emit signalStripEdited();
}

void PainterArea::toolMove(const QPoint& point, const QPoint& movement)
{
    if (!pressed || paintImages.isEmpty())
        return;
    if (config->tool == StitcherConfig::TrimTool) {
        if (edgeTrimmer.dragging())
            edgeTrimmer.dragTo(point + pos());
        else
            panBy(movement);
        return;
    }
    const QPoint p = toCanvasUnits(point);
    const int index = photoAt(p.x(), p.y());
    if (index < 0)
        return;
    const StripPoint at{toStripPoint(p.x(), p.y(), index), index};
    const StripEdit edit(this,
                         config->tool == StitcherConfig::MosaicTool ? tr("Mosaic stroke")
                         : config->tool == StitcherConfig::TrimTool ? tr("Trim")
                                                                    : tr("Drawing"),
                         gestureKey);
    switch (config->tool) {
    case StitcherConfig::DrawTool:
        if (!annotations.isEmpty())
            annotations.last().extend(at);
        update();
        break;
    case StitcherConfig::MosaicTool:
        if (!mosaicStrokes.isEmpty())
            mosaicStrokes.last().extend(at);
        update();
        break;
    default:
        break;
    }
}

void PainterArea::toolRelease(const QPoint& point)
{
    Q_UNUSED(point);
    pressed = false;
    edgeTrimmer.end();
}

// ---- trimming

void PainterArea::setCutMode(int mode)
{
    cutMode = mode;
    applyButtonVisibility();
}

void PainterArea::applyButtonVisibility()
{
    const bool vertical = isVertical();
    for (StitcherButton* button : qAsConst(stripButtons)) {
        if (const auto shown = buttonShown(cutMode, vertical, true, button->direction))
            button->setVisible(*shown);
    }
    for (const PaintImage* photo : qAsConst(paintImages)) {
        for (int edge : {EdgeLeft, EdgeTop, EdgeRight, EdgeBottom}) {
            if (const auto shown = buttonShown(cutMode, vertical, false, edge))
                photo->button(edge)->setVisible(*shown);
        }
    }
}

void PainterArea::setStitcherClick()
{
    auto* clicked = qobject_cast<StitcherButton*>(sender());
    if (!clicked)
        return;
    if (trimActive) {
        applyButtonVisibility();
        trimActive = false;
        return;
    }
    for (StitcherButton* button : qAsConst(stripButtons))
        button->hide();
    for (const PaintImage* photo : qAsConst(paintImages)) {
        for (int edge : {EdgeLeft, EdgeTop, EdgeRight, EdgeBottom})
            photo->button(edge)->hide();
    }
    clicked->show();
    if (clicked->paintImage) {
        activeImage = clicked->paintImage;
    } else {
        const int index = stripButtonPhoto(isVertical(), clicked->direction, paintImages.size());
        activeImage = index >= 0 ? paintImages[index] : nullptr;
    }
    activeDirection = clicked->direction;
    trimActive = true;
    gestureKey = newMergeKey();
}

void PainterArea::setStitchMove(QPoint p)
{
    if (!trimActive || paintImages.isEmpty())
        return;
    edgeTrimmer.begin(QPoint());
    edgeTrimmer.dragTo(p);
    edgeTrimmer.end();
}

bool PainterArea::nudgeArmedEdge(int key, int stripPixels)
{
    return edgeTrimmer.nudge(key, stripPixels);
}

void PainterArea::placeButtons()
{
    for (StitcherButton* button : qAsConst(stripButtons))
        button->move(stripButtonPos(button->direction, size(), button->size()));
    if (paintImages.isEmpty())
        return;
    relayout();
    for (const PaintImage* photo : qAsConst(paintImages)) {
        const QRectF& r = photo->layoutRect;
        const QRectF displayed(r.x() * painterScale, r.y() * painterScale, r.width() * painterScale,
                               r.height() * painterScale);
        for (int edge : {EdgeLeft, EdgeTop, EdgeRight, EdgeBottom}) {
            StitcherButton* button = photo->button(edge);
            button->move(photoButtonPos(edge, displayed, button->size()));
        }
    }
}

void PainterArea::resizeEvent(QResizeEvent* event)
{
    placeButtons();
    keepInView();
    QWidget::resizeEvent(event);
}

// ---- intake

void PainterArea::appendPhoto(const QImage& image, const QString& name)
{
    const bool added = !paintImages.isEmpty();
    addImage(image, name);
    adjustSize();
    update();
    // Into a strip the user already looks at: the new photo comes into view at the zoom it has.
    if (added && !paintImages.isEmpty()) {
        relayout();
        const QRectF& r = paintImages.last()->layoutRect;
        const double start = (isVertical() ? r.top() : r.left()) * painterScale;
        const double end = (isVertical() ? r.bottom() : r.right()) * painterScale;
        scrollTo(view().revealing(pos(), qFloor(start), qCeil(end)));
    }
}

// The dialog belongs to the window, so that it looks the same from every button that opens it.
void PainterArea::openFiles()
{
    // A project is chosen in the same dialog as the photos.
    QStringList filters = PhotoIntake::nameFilters();
    filters.first().replace(QLatin1Char(')'), QStringLiteral(" *.seamwright)"));
    filters.insert(1, tr("Seamwright projects (*.seamwright)"));
    const QStringList paths = PhotoIntake::chooseFiles(window(), QStringLiteral("Choose Pictures"), filters);
    if (!paths.isEmpty())
        addPhotoFiles(paths);
}

IntakeRun* PainterArea::addPhotoFiles(const QStringList& given)
{
    // A project replaces the strip rather than joining it: the window opens it.
    QStringList paths;
    for (const QString& path : given) {
        if (path.endsWith(QLatin1String(".seamwright"), Qt::CaseInsensitive))
            emit signalProjectChosen(path);
        else
            paths << path;
    }
    if (paths.isEmpty())
        return nullptr;
    // However many photos come, the intake is one step.
    auto* run = new IntakeRun(this, [this, key = newMergeKey()](const QImage& image, const QString& path) {
        const StripEdit edit(this, tr("Add photos"), key);
        const int count = paintImages.size();
        appendPhoto(image, PhotoIntake::displayName(path));
        if (paintImages.size() > count) {
            const QFileInfo file(path);
            paintImages.last()->source = {file.absoluteFilePath(), file.size(), file.lastModified(), {}};
        }
    });
    run->start(paths);
    return run;
}

// ---- painting

void PainterArea::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    stripPainter.paintScreen(painter, event->rect());
}

void PainterArea::setCutPreview(const QVector<int>& value)
{
    if (cuts == value)
        return;
    cuts = value;
    update();
}

StrokeLayers* PainterArea::newStrokeLayers()
{
    auto* layers = new StrokeLayers(StrokeLayers::defaultPaintNowLimit, this);
    connect(layers, &StrokeLayers::arrived, this, qOverload<>(&PainterArea::update));
    return layers;
}

// ---- export

QImage PainterArea::renderBand(int top, int rows)
{
    return renderRegion(QRect(0, top, contentSize().width(), rows));
}

QImage PainterArea::renderRegion(const QRect& area)
{
    return stripPainter.renderRegion(area);
}

QImage PainterArea::renderImage()
{
    return renderBand(0, contentSize().height());
}
