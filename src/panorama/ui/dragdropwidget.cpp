#include "panorama/ui/dragdropwidget.h"

#include "intake/intakerun.h"
#include "intake/photodecoder.h"
#include "intake/photointake.h"
#include "panorama/engine/stitchformats.h"
#include "panorama/ui/panoramabutton.h"
#include "panorama/ui/photocontent.h"
#include "panorama/ui/photoitem.h"
#include "widgets/theme.h"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QLabel* makePanelText(const QString& text, int weight, int pixelSize, const QPoint& position, QWidget* panel)
{
    auto* label = new QLabel(text, panel);
    // The panel's picture would otherwise cascade onto the text as its own border image.
    label->setStyleSheet(Theme::sheet("color: @light; border-image: none;"));
    QFont font(QStringLiteral("Proxima Nova"));
    font.setWeight(weight);
    font.setPixelSize(pixelSize);
    label->setFont(font);
    label->adjustSize();
    label->move(position);
    return label;
}

} // namespace

DragDropWidget::DragDropWidget(QWidget* parent) : QWidget(parent)
{
    setAcceptDrops(true);

    photoContent = new PhotoContent;
    scrollArea = new QScrollArea(this);
    scrollArea->setWidget(photoContent);
    scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrollArea->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    scrollArea->setStyleSheet(QStringLiteral("background-color:#131820;"));

    auto* bar = new QWidget(this);
    bar->setStyleSheet(QStringLiteral("background-color:#283142; color: white;"));
    bar->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    bar->setFixedHeight(44);
    auto* barLayout = new QHBoxLayout(bar);
    barLayout->addWidget(new QLabel(tr("Style: "), bar));
    styleBox = new QComboBox(bar);
    styleBox->addItem(tr("Panorama"));
    styleBox->addItem(tr("Scans"));
    barLayout->addWidget(styleBox);
    barLayout->addStretch(1);
    // Photos can be added whatever the list holds, by the button or the Add key.
    QPushButton* addButton = makePanoramaButton(QStringLiteral("open"), bar);
    addButton->setObjectName(QStringLiteral("add"));
    barLayout->addWidget(addButton);
    QPushButton* removeButton = makePanoramaButton(QStringLiteral("remove"), bar);
    barLayout->addWidget(removeButton);
    QPushButton* nextButton = makePanoramaButton(QStringLiteral("next"), bar);
    barLayout->addWidget(nextButton);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(scrollArea);
    layout->addWidget(bar);

    emptyStatePanel = new QWidget(this);
    emptyStatePanel->setFixedSize(442, 181);
    emptyStatePanel->move(129, 87);
    emptyStatePanel->setStyleSheet(QStringLiteral("border-image: url(:/images/panorama-bg.png)"));
    QPushButton* openButton = makePanoramaButton(QStringLiteral("open"), emptyStatePanel);
    openButton->move(179, 110);
    makePanelText(tr("Add Images and Photos"), QFont::Bold, 18, {121, 60}, emptyStatePanel);
    makePanelText(tr("or Drag and Drop"), QFont::Normal, 12, {161, 80}, emptyStatePanel);
    emptyStatePanel->raise();

    connect(removeButton, &QPushButton::clicked, this, &DragDropWidget::onClickRemove);
    auto* deleteKey = new QShortcut(QKeySequence::Delete, this);
    connect(deleteKey, &QShortcut::activated, this, &DragDropWidget::onClickRemove);
    removeButton->setToolTip(
        tr("Remove the selected photos (%1)").arg(deleteKey->key().toString(QKeySequence::NativeText)));
    connect(nextButton, &QPushButton::clicked, this, &DragDropWidget::onClickNext);
    connect(openButton, &QPushButton::clicked, this, &DragDropWidget::onOpenFiles);
    connect(addButton, &QPushButton::clicked, this, &DragDropWidget::onOpenFiles);
    auto* addKey = new QShortcut(QKeySequence::Open, this);
    connect(addKey, &QShortcut::activated, this, &DragDropWidget::onOpenFiles);
    addButton->setToolTip(tr("Add photos (%1)").arg(addKey->key().toString(QKeySequence::NativeText)));
}

QStringList DragDropWidget::photoPaths() const
{
    QStringList paths;
    for (const PhotoItem* item : photoContent->photos())
        paths.append(item->filePath);
    return paths;
}

PhotoItem* DragDropWidget::photoItemAt(const QPoint& point) const
{
    // Mapping through the widgets accounts for the scroll position and the scroll area's frame.
    const QPoint inGrid = photoContent->mapFrom(this, point);
    for (PhotoItem* item : photoContent->photos())
        if (item->geometry().contains(inGrid))
            return item;
    return nullptr;
}

void DragDropWidget::dragEnterEvent(QDragEnterEvent* event)
{
    event->acceptProposedAction();
}

// Whether the drop holds only photos the stitch can read is told from their headers, at once; the
// pixels of the thumbnails come in the background, and the files not added are named then.
void DragDropWidget::dropEvent(QDropEvent* event)
{
    const QStringList paths = PhotoIntake::localPaths(event->mimeData()->urls());
    const bool complete = std::all_of(paths.begin(), paths.end(), [](const QString& path) {
        return StitchFormats::canRead(path) &&
               PhotoDecoder::readHeader(path).kind == PhotoDecoder::Header::Photo;
    });
    addPhotoFiles(paths);
    if (!complete) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void DragDropWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (PhotoItem* item = photoItemAt(event->localPos().toPoint()))
        item->toggleSelected();
}

void DragDropWidget::onClickNext()
{
    const QStringList paths = photoPaths();
    if (paths.size() > 1)
        emit signalsSelectImages(paths, styleBox->currentText());
}

void DragDropWidget::onClickRemove()
{
    for (PhotoItem* item : photoContent->photos())
        if (item->selected) {
            photoContent->grid()->removeWidget(item);
            delete item;
        }
    if (photoContent->photos().isEmpty())
        emptyStatePanel->show();
    else
        photoContent->relayoutPhotos();
}

void DragDropWidget::onOpenFiles()
{
    const QStringList filters = PhotoIntake::nameFilters(StitchFormats::among(PhotoDecoder::photoFormats()));
    addPhotoFiles(PhotoIntake::chooseFiles(this, tr("Choose Pictures"), filters));
    hidePanelIfFilled();
}

void DragDropWidget::addPhotoFiles(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    auto* run = new IntakeRun(this, [this](const QImage& image, const QString& path) {
        addPhoto(image, path);
        hidePanelIfFilled();
    });
    // The list shows thumbnails; the stitch reads each photo again from its file.
    run->intake()->setFitWithin(QSize(252, 200));
    run->intake()->setCheck(&StitchFormats::canRead);
    run->start(paths);
}

void DragDropWidget::addPhoto(const QImage& image, const QString& path)
{
    photoContent->addPhoto(image, path);
}

void DragDropWidget::hidePanelIfFilled()
{
    if (!photoContent->photos().isEmpty())
        emptyStatePanel->hide();
}
