#include "app/qualityrow.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

QualityRow::QualityRow(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    qualityLabel = new QLabel(tr("&Quality:"), this);
    qualityBox = new QSpinBox(this);
    qualityBox->setRange(0, 100);
    qualityBox->setValue(ExportFormat::defaultQuality);
    qualityBox->setToolTip(tr("Higher keeps more detail and makes larger files"));
    qualityLabel->setBuddy(qualityBox);
    losslessBox = new QCheckBox(tr("&Lossless"), this);
    losslessBox->setToolTip(tr("Every pixel kept exactly; larger files"));
    layout->addWidget(qualityLabel);
    layout->addWidget(qualityBox);
    layout->addWidget(losslessBox);
    layout->addStretch(1);
    connect(qualityBox, qOverload<int>(&QSpinBox::valueChanged), this, &QualityRow::changed);
    connect(losslessBox, &QCheckBox::toggled, this, [this] {
        updateState();
        emit changed();
    });
    updateState();
}

void QualityRow::setFormat(const ExportFormat& format)
{
    kind = format.kind;
    qualityBox->setValue(format.quality);
    losslessBox->setChecked(format.lossless);
    updateState();
}

ExportFormat QualityRow::format() const
{
    ExportFormat format;
    format.kind = kind;
    format.quality = qualityBox->value();
    format.lossless = losslessBox->isChecked();
    return format;
}

void QualityRow::updateState()
{
    const bool webp = kind == ExportFormat::Kind::Webp;
    losslessBox->setVisible(webp);
    const bool quality = kind == ExportFormat::Kind::Jpeg || (webp && !losslessBox->isChecked());
    qualityLabel->setEnabled(quality);
    qualityBox->setEnabled(quality);
    setVisible(kind != ExportFormat::Kind::Png);
}

bool QualityRow::ask(QWidget* parent, ExportFormat& format)
{
    if (format.kind == ExportFormat::Kind::Png)
        return true;
    QDialog dialog(parent);
    dialog.setWindowTitle(tr("%1 Options").arg(ExportFormat::displayName(format.kind)));
    auto* layout = new QVBoxLayout(&dialog);
    auto* row = new QualityRow(&dialog);
    row->setFormat(format);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    layout->addWidget(row);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    format = row->format();
    return true;
}
