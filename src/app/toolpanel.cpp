// The right-hand tool panel of the main window: six sections of joined toggle buttons, sliders and
// colour swatch strips, built into the panel's scroll area.

#include "app/mainwindow.h"

#include "app/overlapjoinbutton.h"
#include "canvas/painterarea.h"
#include "canvas/stitcherconfig.h"
#include "widgets/helveticaneuelabel.h"
#include "widgets/iconpushbutton.h"
#include "widgets/myscrolleaarea.h"
#include "widgets/myspliteview.h"
#include "widgets/proximalabel.h"
#include "widgets/theme.h"

#include <QAction>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QVBoxLayout>

namespace {

const QString segmentStyle = "QPushButton {background-color: transparent; border: 1px solid #3A4354; %1 }"
                             "QPushButton:checked {background-color: #177df7; color: white}"
                             "QPushButton:pressed {background-color: #177df7;}";

const QString swatchStyle = "QRadioButton::indicator {width: 22px; height: 22px}"
                            "QRadioButton::indicator::unchecked {image: url(:/images/color/%1.png);}"
                            "QRadioButton::indicator::checked {image: url(:/images/color/%1-active.png)}";

// Joined buttons: rounded on the outer ends only.
const char* const firstSegment = "border-top-left-radius: 5px; border-bottom-left-radius: 5px; height: 22px";
const char* const middleSegment = "border-left: 0;height: 22px";
const char* const lastSegment =
    "border-left: 0;border-top-right-radius: 5px; border-bottom-right-radius: 5px; height: 22px";

QVBoxLayout* sectionLayout(QWidget* section, int left, int top, int right, int bottom, int spacing)
{
    auto* layout = new QVBoxLayout(section);
    layout->setContentsMargins(left, top, right, bottom);
    layout->setSpacing(spacing);
    return layout;
}

QHBoxLayout* rowLayout(int left, int top, int right, int bottom, int spacing)
{
    auto* layout = new QHBoxLayout;
    layout->setContentsMargins(left, top, right, bottom);
    layout->setSpacing(spacing);
    return layout;
}

// A button of a row of joined toggle buttons: its picture under :/images, whose checked picture adds
// "-active" before the suffix, and its tooltip; the field it fills, if any.
struct Segment
{
    const char* picture;
    QString toolTip;
    IconPushButton** field = nullptr;
};

QString activePicture(const QString& picture)
{
    const int suffix = picture.contains(QLatin1Char('@')) ? picture.indexOf(QLatin1Char('@'))
                                                          : picture.lastIndexOf(QLatin1Char('.'));
    return QString(picture).insert(suffix, QLatin1String("-active"));
}

// The row's buttons, rounded at its two ends only.
QVector<QPushButton*> segmentRow(QHBoxLayout* row, const QVector<Segment>& segments, QWidget* parent)
{
    QVector<QPushButton*> buttons;
    for (int i = 0; i < segments.size(); ++i) {
        const QString picture = QStringLiteral(":/images/") + segments[i].picture;
        auto* button = new IconPushButton(picture, activePicture(picture), parent);
        const char* fragment = i == 0 ? firstSegment : i + 1 == segments.size() ? lastSegment : middleSegment;
        button->setStyleSheet(segmentStyle.arg(fragment));
        button->setToolTip(segments[i].toolTip);
        row->addWidget(button);
        if (segments[i].field)
            *segments[i].field = button;
        buttons << button;
    }
    return buttons;
}

QSlider* captionedSlider(QHBoxLayout* row, const QString& caption, int captionWidth, const QString& name,
                         QWidget* parent, QSizePolicy::Policy captionPolicy = QSizePolicy::Preferred)
{
    auto* label = new HelveticaNeueLabel(caption, parent);
    label->setSizePolicy(captionPolicy, QSizePolicy::Preferred);
    label->setFixedWidth(captionWidth);
    row->addWidget(label);
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(name);
    slider->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    return slider;
}

// Undo and clear beside a section title.
QHBoxLayout* headerRow(const QString& title, const char* undoStyle, const QString& undoTip,
                       const QString& clearTip, QPushButton** undo, QPushButton** clear, QWidget* parent)
{
    auto* row = rowLayout(0, 0, 4, 0, 5);
    row->addWidget(new ProximaLabel(title, parent));
    row->addStretch();
    *undo = new QPushButton(parent);
    (*undo)->setFixedSize(12, 14);
    (*undo)->setStyleSheet(undoStyle);
    // The panel's buttons are steps of the one history that the window's keys walk.
    const QString undoKey = QKeySequence(QKeySequence::Undo).toString(QKeySequence::NativeText);
    (*undo)->setToolTip(MainWindow::tr("%1 (%2 undoes any edit)").arg(undoTip, undoKey));
    row->addWidget(*undo);
    *clear = new QPushButton(parent);
    (*clear)->setFixedSize(12, 14);
    (*clear)->setStyleSheet("QPushButton {border-image: url(:/images/clear.png)}"
                            "QPushButton:pressed {border-image: url(:/images/clear-small.png)}");
    (*clear)->setToolTip(MainWindow::tr("%1 (%2 brings them back)").arg(clearTip, undoKey));
    row->addWidget(*clear);
    return row;
}

} // namespace

void MainWindow::buildToolPanel(QScrollArea* area)
{
    auto* content = new QWidget;
    content->setFixedSize(238, 720);
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 3, 0, 0);
    layout->setSpacing(12);
    layout->addWidget(buildDirectionSection());
    layout->addWidget(new MySpliteView(content));
    layout->addWidget(buildStitchingSection());
    layout->addWidget(new MySpliteView(content));
    layout->addWidget(buildSpacingSection());
    layout->addWidget(new MySpliteView(content));
    layout->addWidget(buildEditingSection());
    layout->addWidget(new MySpliteView(content));
    layout->addWidget(buildMosaicSection());
    layout->addWidget(new MySpliteView(content));
    layout->addWidget(buildWatermarkSection());
    layout->addStretch(1);
    area->setWidget(content);
    // A slim bar whenever the window is too low for the whole panel; nothing is wide enough to need one
    // across.
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setFrameShape(QFrame::NoFrame);
    area->verticalScrollBar()->setStyleSheet(Theme::scrollBarStyleSheet());

    // Every panel button toggles; the size button alone stays a plain menu button.
    QPushButton* sizeButton = nullptr;
    for (QPushButton* button : content->findChildren<QPushButton*>()) {
        button->setCheckable(true);
        button->setFont(QFont("Proxima Nova", 9));
        if (button->menu())
            sizeButton = button;
    }
    if (sizeButton)
        sizeButton->setCheckable(false);
}

QWidget* MainWindow::buildDirectionSection()
{
    auto* section = new QWidget;
    auto* layout = sectionLayout(section, 8, 20, 10, 0, 5);
    layout->addWidget(new ProximaLabel(tr("PICK DIRECTION"), section));
    auto* row = rowLayout(0, 0, 0, 0, 0);
    layout->addLayout(row);
    horizontalButton =
        new IconPushButton(":/images/horizontal.png", ":/images/horizontal-active.png", section);
    horizontalButton->setText(tr("HORIZONTAL"));
    horizontalButton->setStyleSheet(
        segmentStyle.arg("border-top-left-radius: 5px; border-bottom-left-radius: "
                         "5px;height: 29px;color: #727272"));
    verticalButton = new IconPushButton(":/images/vertical.png", ":/images/vertical-active.png", section);
    verticalButton->setText(tr("VERTICAL"));
    verticalButton->setStyleSheet(
        segmentStyle.arg("border-left: 0; border-top-right-radius: 5px; "
                         "border-bottom-right-radius: 5px;height: 29px; color: #727272"));
    for (IconPushButton* b : {horizontalButton, verticalButton}) {
        b->setCheckable(true);
        b->setFixedWidth(110);
        row->addWidget(b);
    }
    connectClicks({horizontalButton, verticalButton}, &MainWindow::onClickDirection);
    horizontalButton->setChecked(true);
    return section;
}

void MainWindow::connectClicks(const QVector<QPushButton*>& buttons, ClickHandler handler)
{
    for (QPushButton* b : buttons)
        connect(b, &QPushButton::clicked, this,
                [this, b, handler](bool checked) { (this->*handler)(b, checked); });
}

QWidget* MainWindow::buildStitchingSection()
{
    auto* section = new QWidget;
    auto* layout = sectionLayout(section, 8, 0, 10, 0, 5);
    layout->addWidget(new ProximaLabel(tr("STITCHING"), section));
    auto* row = rowLayout(0, 0, 20, 0, 0);
    layout->addLayout(row);
    const QVector<Segment> cuts = {{"cutpic-inner@2x.png", tr("Trim between photos"), &cutInnerButton},
                                   {"cutpic-out@2x.png", tr("Trim the strip's outer edges"), &cutOuterButton},
                                   {"cutpic-all@2x.png", tr("Trim every edge"), &cutAllButton}};
    connectClicks(segmentRow(row, cuts, section), &MainWindow::onClickCutMode);
    auto* overlapRow = rowLayout(0, 0, 20, 0, 0);
    layout->addLayout(overlapRow);
    overlapRow->addWidget(new OverlapJoinButton(canvas(), section));
    return section;
}

QWidget* MainWindow::buildSpacingSection()
{
    auto* section = new QWidget;
    auto* layout = sectionLayout(section, 8, 0, 10, 0, 5);
    layout->addWidget(new ProximaLabel(tr("SPACING"), section));
    auto* modeRow = rowLayout(0, 0, 20, 0, 0);
    layout->addLayout(modeRow);
    const QVector<Segment> modes = {{"spacing-inner.png", tr("Spacing between photos"), &spacingInnerButton},
                                    {"spacing-out.png", tr("Border round the strip"), &spacingOuterButton},
                                    {"spacing-all.png", tr("Spacing and border"), &spacingAllButton}};
    connectClicks(segmentRow(modeRow, modes, section), &MainWindow::onClickSpacingMode);

    const struct
    {
        QString caption;
        const char* name;
        const char* slot;
    } sliders[] = {{tr("Inner:"), "spacingInnerSlider", SLOT(setSpacingInner(int))},
                   {tr("Outer:"), "spacingOuterSlider", SLOT(setSpacingOuter(int))}};
    for (const auto& s : sliders) {
        auto* row = rowLayout(0, 3, 10, 0, -1);
        layout->addLayout(row);
        QSlider* slider = captionedSlider(row, s.caption, 38, s.name, section);
        row->addWidget(slider, 0, Qt::AlignVCenter);
        connect(slider, SIGNAL(valueChanged(int)), canvas(), s.slot);
    }
    layout->addWidget(buildSwatchStrip(QSize(220, 23), QPoint(-3, 0), SLOT(spacingColorToggled(int, bool)),
                                       &MainWindow::onClickSpacingColorPick));
    return section;
}

QWidget* MainWindow::buildEditingSection()
{
    auto* section = new QWidget;
    auto* layout = sectionLayout(section, 8, 0, 10, 0, 5);
    QPushButton* undo = nullptr;
    QPushButton* clear = nullptr;
    layout->addLayout(headerRow(tr("EDITING TOOLS"),
                                "QPushButton {border-image: url(:/images/redo.png)}"
                                "QPushButton:pressed {border-image: url(:/images/redo-active.png);}",
                                tr("Undo the last drawing"), tr("Clear all drawings"), &undo, &clear,
                                section));
    connect(undo, &QPushButton::clicked, this, &MainWindow::undoPen);
    connect(clear, &QPushButton::clicked, this, &MainWindow::clearPens);

    auto* row = rowLayout(0, 0, 20, 3, 0);
    layout->addLayout(row);
    // The pen width's menu button ends the row.
    const QVector<Segment> tools = {{"Path.png", tr("Free-hand path"), &pathButton},
                                    {"rectangle.png", tr("Rectangle"), &rectangleButton},
                                    {"arrow.png", tr("Arrow"), &arrowButton},
                                    {"size-more.png", tr("Pen width")}};
    QVector<QPushButton*> buttons = segmentRow(row, tools, section);
    QPushButton* sizeButton = buttons.takeLast();
    connectClicks(buttons, &MainWindow::onClickEditTool);
    auto* sizeMenu = new QMenu(sizeButton);
    // Its own sheet: the panel's background reaches the menu, its text colour would not.
    sizeMenu->setStyleSheet(Theme::menuStyleSheet());
    smallAction = sizeMenu->addAction(tr("Small"));
    mediumAction = sizeMenu->addAction(tr("Medium"));
    largeAction = sizeMenu->addAction(tr("Large"));
    for (QAction* entry : {smallAction, mediumAction, largeAction}) {
        entry->setCheckable(true);
        connect(entry, &QAction::triggered, this, &MainWindow::setEditingWidth);
    }
    smallAction->setChecked(true);
    sizeButton->setMenu(sizeMenu);

    QWidget* penColors = buildSwatchStrip(QSize(220, 22), QPoint(-3, 0), SLOT(editingColorToggled(int, bool)),
                                          &MainWindow::onClickEditingColorPick);
    penColors->setObjectName(QStringLiteral("penColors"));
    layout->addWidget(penColors);
    return section;
}

QWidget* MainWindow::buildMosaicSection()
{
    auto* section = new QWidget;
    auto* layout = sectionLayout(section, 8, 0, 10, 5, 5);
    QPushButton* undo = nullptr;
    QPushButton* clear = nullptr;
    layout->addLayout(headerRow(tr("MOSAIC"),
                                "QPushButton {border-image: url(:/images/redo.png);}"
                                "QPushButton:pressed {border-image: url(:/images/redo-active.png);}",
                                tr("Undo the last mosaic stroke"), tr("Clear all mosaic strokes"), &undo,
                                &clear, section));
    connect(undo, &QPushButton::clicked, this, &MainWindow::undoMosaic);
    connect(clear, &QPushButton::clicked, this, &MainWindow::clearMosaics);

    auto* row = rowLayout(0, 0, 10, 0, 0);
    layout->addLayout(row);
    // The object name is the pattern the mosaic brush paints.
    const struct
    {
        const char* icon;
        const char* pattern;
        const char* fragment;
        QString toolTip;
    } patterns[4] = {
        {":/images/mosaics@2x.png", "mosaic-normal", firstSegment, tr("Mosaic of the photo's colours")},
        {":/images/icon.png", "mosaic-blue", middleSegment, tr("Blue pattern")},
        {":/images/icon2.png", "mosaic-red", middleSegment, tr("Red pattern")},
        {":/images/icon3.png", "mosaics-flower", lastSegment, tr("Flower pattern")}};
    for (int i = 0; i < 4; ++i) {
        auto* b = new QPushButton(QIcon(patterns[i].icon), QString(), section);
        b->setIconSize(QSize(16, 16));
        b->setObjectName(patterns[i].pattern);
        b->setStyleSheet(segmentStyle.arg(patterns[i].fragment));
        b->setToolTip(patterns[i].toolTip);
        row->addWidget(b);
        mosaicButtons[i] = b;
    }
    connectClicks({std::begin(mosaicButtons), std::end(mosaicButtons)}, &MainWindow::onClickMosaic);
    return section;
}

QWidget* MainWindow::buildWatermarkSection()
{
    auto* section = new QWidget;
    auto* layout = sectionLayout(section, 8, 0, 10, 0, 2);
    layout->addWidget(new ProximaLabel(tr("WARTMARK"), section));
    auto* modeRow = rowLayout(0, 5, 20, 10, 0);
    layout->addLayout(modeRow);
    const QVector<Segment> modes = {
        {"watermark-bottom@2x.png", tr("Watermark at the bottom"), &watermarkBottomButton},
        {"watermark-tile@2x.png", tr("Tiled watermark"), &watermarkTileButton}};
    const QVector<QPushButton*> buttons = segmentRow(modeRow, modes, section);
    for (QPushButton* b : buttons)
        b->setFixedWidth(72);
    connectClicks(buttons, &MainWindow::onClickWatermarkMode);
    modeRow->addStretch();

    watermarkEdit = new QLineEdit(section);
    QFont italic = watermarkEdit->font();
    italic.setItalic(true);
    watermarkEdit->setFont(italic);
    watermarkEdit->setFixedHeight(34);
    watermarkEdit->setFixedWidth(220);
    watermarkEdit->setPlaceholderText(tr("Enter Watermark Text"));
    watermarkEdit->setStyleSheet("QLineEdit {background:#283142; color: #E0E0E0; border: 1px center #3A4354; "
                                 "border-radius: 3px; padding: 8px 8px;}");
    layout->addWidget(watermarkEdit);
    connect(watermarkEdit, &QLineEdit::textChanged, this, &MainWindow::onWatermarkTextChanged);

    layout->addWidget(buildSwatchStrip(QSize(220, 27), QPoint(-3, 5), SLOT(watermarkColorToggled(int, bool)),
                                       &MainWindow::onClickWatermarkerColorPick));

    const struct
    {
        QString caption;
        const char* name;
        int maximum;
        int value;
        const char* slot;
    } sliders[3] = {{tr("Opacity:"), "watermarkOpacitySlider", 255, 255, SLOT(setWatermarkerOpcity(int))},
                    {tr("Spacing:"), "watermarkSpacingSlider", 99, 50, SLOT(setWatermarkerSpacing(int))},
                    {tr("Size:"), "watermarkSizeSlider", 99, 50, SLOT(setWatermarkerSize(int))}};
    for (const auto& s : sliders) {
        auto* row = rowLayout(0, 2, 0, 0, 0);
        layout->addLayout(row);
        QSlider* slider = captionedSlider(row, s.caption, 54, s.name, section, QSizePolicy::Fixed);
        slider->setRange(0, s.maximum);
        slider->setValue(s.value);
        row->addWidget(slider);
        connect(slider, SIGNAL(valueChanged(int)), this, s.slot);
    }
    return section;
}

MyScrolleaArea* MainWindow::buildSwatchStrip(const QSize& stripSize, const QPoint& rowPos,
                                             const char* toggledSlot, void (MainWindow::*pick)())
{
    auto* strip = new MyScrolleaArea;
    strip->setBackgroundRole(QPalette::Dark);
    strip->setFixedSize(stripSize);

    auto* row = new QWidget(strip);
    auto* layout = new QHBoxLayout(row);
    // Tight enough that all eight swatches and the picker fit the strip's 220 pixels.
    layout->setContentsMargins(3, 0, 3, 0);
    layout->setSpacing(2);
    auto* group = new QButtonGroup(row);
    const StitcherConfig& c = config();
    for (int i = 0; i < c.colorNames.size(); ++i) {
        auto* swatch = new QRadioButton(row);
        swatch->setStyleSheet(swatchStyle.arg(c.colorNames.at(i)));
        swatch->setFixedSize(22, 22);
        QString name = c.colorNames.at(i);
        name[0] = name.at(0).toUpper();
        swatch->setToolTip(name);
        swatch->setChecked(i == 0);
        group->addButton(swatch, i);
        layout->addWidget(swatch);
    }
    auto* picker = new QPushButton(row);
    picker->setStyleSheet("QPushButton {border-image: url(:/images/color/Beachball.png)}");
    picker->setFixedSize(18, 18);
    picker->setToolTip(tr("Pick another colour"));
    layout->addWidget(picker);
    connect(group, SIGNAL(buttonToggled(int, bool)), this, toggledSlot);
    connect(picker, &QPushButton::clicked, this, pick);

    // The row keeps its natural width; were it wider than the strip, it could be dragged sideways.
    row->resize(row->sizeHint());
    row->move(rowPos);
    strip->dragChild = row;
    return strip;
}
