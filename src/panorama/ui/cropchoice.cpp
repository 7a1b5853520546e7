#include "panorama/ui/cropchoice.h"

#include "settings/appsettings.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>

CropChoice::CropChoice(QWidget* parent) : QWidget(parent)
{
    setStyleSheet(QStringLiteral("color: #EBECEE"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    box = new QCheckBox(tr("Keep the whole picture"), this);
    box->setChecked(AppSettings::instance()->keepWholePanorama());
    box->setToolTip(tr("Show and take the panorama with the empty edges that warping the photos leaves, "
                       "instead of its largest rectangle of picture"));
    label = new QLabel(this);
    layout->addWidget(box);
    layout->addWidget(label);
    connect(box, &QCheckBox::toggled, this, [this](bool keep) {
        AppSettings::instance()->setKeepWholePanorama(keep);
        emit keepWholeChanged(keep);
    });
}

bool CropChoice::keepWhole() const
{
    return box->isChecked();
}

void CropChoice::describe(const QSize& shown, bool cropped, bool croppable)
{
    box->setEnabled(croppable);
    label->setText((cropped ? tr("%1 × %2 px, cropped") : tr("%1 × %2 px, not cropped"))
                       .arg(shown.width())
                       .arg(shown.height()));
    label->setToolTip(croppable ? QString() : tr("The panorama has no empty edges to cut away"));
}
