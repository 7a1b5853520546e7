#include "editphotos/editphotosdialog.h"

#include "editphotos/editphotocontent.h"
#include "widgets/theme.h"

#include <QScrollArea>
#include <QScrollBar>

EditPhotosDialog::EditPhotosDialog(QWidget* parent) : MainFrame(parent)
{
    scrollArea = new QScrollArea(this);
    scrollArea->setStyleSheet("background-color:#131820;");
    // Three 200-wide cells need 612 of the 620 pixels: no frame, and a slim scroll bar in the
    // window's colours, so that many photos never need sideways scrolling.
    scrollArea->setFrameShape(QFrame::NoFrame);
    scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrollArea->verticalScrollBar()->setStyleSheet(Theme::sheet(
        "QScrollBar:vertical {background: @canvas; width: 8px; margin: 0px;}"
        "QScrollBar::handle:vertical {background: @border; border-radius: 4px; min-height: 30px;}"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical {height: 0px;}"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical {background: none;}"));
    setContentWidget(scrollArea);
    setWindowTitle(tr("Edit Photos"));
    setFixedSize(620, 600);
}

void EditPhotosDialog::loadPhotos(PainterArea* canvas)
{
    auto* grid = new EditPhotoContent(canvas, this);
    // The old grid may still be inside one of its own handlers: it goes when control returns.
    if (QWidget* old = scrollArea->takeWidget()) {
        old->hide();
        old->deleteLater();
    }
    scrollArea->setWidget(grid);
    grid->setFocus(); // for the arrows and Delete
}

EditPhotoContent* EditPhotosDialog::photoGrid() const
{
    return qobject_cast<EditPhotoContent*>(scrollArea->widget());
}
