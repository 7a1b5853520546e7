#pragma once

#include "canvas/edgetrimmer.h"
#include "canvas/geometry.h"
#include "canvas/strippainter.h"
#include "canvas/stripstate.h"
#include "canvas/strokelayers.h"
#include "canvas/tools/annotation.h"
#include "canvas/tools/mosaicstroke.h"
#include "canvas/viewgeometry.h"

#include <QImage>
#include <QList>
#include <QPoint>
#include <QPointer>
#include <QSize>
#include <QThreadPool>
#include <QVector>
#include <QWidget>

#include <functional>

class IntakeRun;
class PaintImage;
class QPainter;
class QPushButton;
class StitcherButton;
class StitcherConfig;
class StripRecorder;

// The canvas on which the photos are joined into one strip, trimmed, spaced and edited.
class PainterArea : public QWidget
{
    Q_OBJECT
public:
    explicit PainterArea(QWidget* parent = nullptr);
    ~PainterArea() override;

    QList<PaintImage*> paintImages; // strip order
    int direction = Geometry::Horizontal;
    double painterScale = 1.0;
    double spacingInner = 5.0;
    double spacingOuter = 5.0;
    int spacingMode = 0; // Geometry::SpacingBits
    double areaWidth = 320;
    double areaHeight = 320;
    QVector<Annotation> annotations;     // drawing order
    QVector<MosaicStroke> mosaicStrokes; // drawing order
    bool pressed = false;
    QList<StitcherButton*> stripButtons; // edges 0, 2, 1, 3
    QPointer<PaintImage> activeImage;
    int activeDirection = Geometry::EdgeLeft;
    bool trimActive = false;
    int cutMode = Geometry::CutNone;
    double cutLeft = 0;
    double cutRight = 0;
    double cutTop = 0;
    double cutBottom = 0;
    QPushButton* addButton = nullptr;

    void addImage(const QImage& image, const QString& name);
    // addImage, then the canvas takes its new size and repaints: where every way of adding photos ends.
    void appendPhoto(const QImage& image, const QString& name);
    // Decodes the files in the background and adds each photo as it comes, in the order given; a
    // project file among them is handed on. Null when no photo was given.
    IntakeRun* addPhotoFiles(const QStringList& paths);
    // The files the strip's photos were read from; an export must never write over one.
    QStringList sourcePaths() const;
    void removePhoto(int index);
    void removeAllPhotos();
    void swapPhotos(int i, int j);
    void resetLayout();
    bool hasTrims() const;
    bool isVertical() const { return direction == Geometry::Vertical; }
    void setDirection(int d);
    void setCutMode(int mode);
    QSize contentSize() const;
    void undoAnnotation();
    void clearAnnotations();
    void undoMosaic();
    void clearMosaics();
    // Undoes the drawing or mosaic stroke made last, whichever tool made it.
    void undoLastStroke();
    // Spacing off, annotations and mosaic strokes gone.
    void clearEdits();
    int photoAt(int x, int y);
    QPoint toStripPoint(int x, int y, int index) const;
    QPoint fromStripPoint(int x, int y, int index) const;

    void placeCanvas(int parentWidth, int parentHeight);
    // At the start of the strip and centred across it, by the canvas's zoomed size.
    void centreCanvas();
    // Centred across the strip by the canvas's zoomed size; the place along the strip stays.
    void centreCrossAxis();
    // Zooms to the factor of a slider value, keeping the strip point under the pointer (in container
    // pixels) in place along the strip.
    void zoomAbout(int value, const QPoint& pointer);
    // The canvas in its container: where it may go and how the wheel and the keys move it.
    ViewGeometry view() const;
    // To that place in container pixels, or the nearest one that keeps the view covered.
    void scrollTo(const QPoint& place);
    void panBy(const QPoint& movement);
    // Moves the armed edge by strip pixels (image pixels of a photo are converted); false when no edge
    // is armed or the key does not move it.
    bool nudgeArmedEdge(int key, int stripPixels);

    // Mouse input from the host, in canvas-widget pixels; movement in container pixels.
    void toolPress(const QPoint& point);
    void toolMove(const QPoint& point, const QPoint& movement);
    void toolRelease(const QPoint& point);

    // Rows [top, top + rows) of the strip at zoom 1 without trimming buttons or outlines, the same pixels
    // whatever the band; null when it cannot be allocated.
    QImage renderBand(int top, int rows);
    // Any rectangle of the strip, null outside it. A scaled photo's pixels shift by a level here and
    // there with where the painting starts and is clipped, so two renders agree exactly where their
    // rectangles are cut by the same lines of the band and tile grids.
    QImage renderRegion(const QRect& area);
    // Raster painting loses everything beyond 32767 pixels of a device, so files are painted in tiles
    // of this many pixels a side on one grid of the strip.
    static constexpr int renderTileSize = 4096;
    // The whole strip in one image, for strips small enough to hold.
    QImage renderImage();
    // The finished strokes on screen; after a zoom their exact layers may still be on their way.
    StrokeLayers* strokeLayers() const { return layers; }

    // Where the strip will be cut into parts: the end of each part but the last, along the strip in
    // canvas units. Shown over the strip on screen, never in a file; empty hides them.
    void setCutPreview(const QVector<int>& cuts);
    QVector<int> cutPreview() const { return cuts; }

    // The layout state as the geometry functions take it.
    Geometry::StripLayout stripLayout() const;

    // What trimming changes: every photo's crop in strip order and the four strip cuts.
    struct Trims
    {
        QVector<Geometry::Crop> crops;
        double cutLeft = 0;
        double cutTop = 0;
        double cutRight = 0;
        double cutBottom = 0;
    };
    Trims trims() const;
    // All of them at once, as one edit of the strip. Crops are kept within their images and a pixel
    // wide; cuts leave a unit of the strip across, as a drag does.
    void setTrims(const Trims& trims);
    // The strip as an edit leaves it, and putting it back, which is no edit of its own.
    StripState state() const;
    void restoreState(const StripState& state);
    // The operations made until the matching endEdit are one step for the recorder; a pair inside
    // another joins the outer one. Steps with the same non-zero merge key that follow one another are
    // one step too.
    void beginEdit(const QString& label, quint64 mergeKey = 0);
    void endEdit();
    void setRecorder(StripRecorder* value) { recorder = value; }
    // A merge key no other gesture has.
    quint64 newMergeKey() { return ++lastMergeKey; }
    // Keys that join consecutive changes of one setting, such as a slider's moves, into one step.
    enum SettingKey : quint64 {
        SpacingInnerKey = 1,
        SpacingOuterKey,
        SpacingColorKey,
        WatermarkTextKey,
        WatermarkOpacityKey,
        WatermarkSpacingKey,
        WatermarkSizeKey,
        WatermarkColorKey,
        FirstGestureKey = 1000
    };
    void setSpacingMode(int mode);
    void setSpacingColor(const QColor& color);
    Watermark::Style watermarkStyle() const;
    void setWatermarkStyle(const Watermark::Style& style, quint64 mergeKey = 0);

    QSize sizeHint() const override;

public slots:
    void setPainterScale(int value);
    void fitPainterScale();
    void setSpacingInner(int value);
    void setSpacingOuter(int value);
    void setPaintWidth(int width);
    void setPaintHeight(int height);
    void openFiles();
    void setStitcherClick();
    // Moves the armed edge as a trimming drag by that movement, wherever the pointer is.
    void setStitchMove(QPoint p);

signals:
    void signalSizeHint(int width, int height);
    void signalPhotosChanged();
    // Anything that changes what an export would write, besides the photo list itself.
    void signalStripEdited();
    // The strip was put back to an earlier state: the controls showing its settings follow.
    void signalStateRestored();
    // A project file was chosen or dropped among photos.
    void signalProjectChosen(const QString& path);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    StitcherButton* createStitcherButton(int edge, PaintImage* photo);
    PaintImage* createPhoto(const QImage& image, const QString& name);
    void restorePhotos(const QVector<PhotoState>& photos);
    void deletePhoto(PaintImage* photo);
    void applyButtonVisibility();
    void placeButtons();
    QSize containerSize() const;
    QPoint toCanvasUnits(const QPoint& widgetPoint) const;
    void relayout();
    // Takes strokes away as one step of the history, unless there are none.
    void dropStrokes(bool none, const QString& label, const std::function<void()>& drop);
    void commonSizeChanged();
    void keepInView();

    StrokeLayers* newStrokeLayers();

    StitcherConfig* config = nullptr;
    quint64 strokeCount = 0;
    QVector<int> cuts;
    // Reused by every layout pass so that painting allocates nothing per photo.
    QVector<Geometry::PhotoShape> shapes;
    QVector<QRectF> rects;
    friend class EdgeTrimmer;
    EdgeTrimmer edgeTrimmer{this};
    friend class StripPainter;
    StripPainter stripPainter{this};
    StrokeLayers* layers = newStrokeLayers();
    // Makes the photos' smaller copies for the screen, so that a new zoom's first frame never waits.
    QThreadPool previewWorkers;
    StripRecorder* recorder = nullptr;
    int editDepth = 0;
    bool editRecorded = false;
    StripState editBefore;
    QString editLabel;
    quint64 editKey = 0;
    quint64 lastMergeKey = FirstGestureKey;
    quint64 gestureKey = 0;
};
