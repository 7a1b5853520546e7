#include "app/partsdialog.h"

#include "app/qualityrow.h"
#include "export/partfiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

const ExportFormat::Kind formatOrder[] = {ExportFormat::Kind::Png, ExportFormat::Kind::Jpeg,
                                          ExportFormat::Kind::Webp};

// A form row whose field is a layout gets a label without a mnemonic unless it is made here.
QLabel* buddyLabel(const QString& text, QWidget* buddy)
{
    auto* label = new QLabel(text, buddy->parentWidget());
    label->setBuddy(buddy);
    return label;
}

} // namespace

PartsDialog::PartsDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Export in Parts"));
    auto* form = new QFormLayout;

    auto* folderRow = new QHBoxLayout;
    folderEdit = new QLineEdit(this);
    auto* browse = new QPushButton(tr("C&hoose..."), this);
    folderRow->addWidget(folderEdit, 1);
    folderRow->addWidget(browse);
    form->addRow(buddyLabel(tr("&Folder:"), folderEdit), folderRow);
    folderEdit->setToolTip(tr("The folder the parts are saved in"));

    nameEdit = new QLineEdit(this);
    nameEdit->setToolTip(tr("Each part is saved as NAME-001, NAME-002 and so on"));
    form->addRow(tr("&Name:"), nameEdit);

    formatBox = new QComboBox(this);
    for (ExportFormat::Kind kind : formatOrder)
        formatBox->addItem(ExportFormat::displayName(kind));
    qualityRow = new QualityRow(this);
    auto* formatRow = new QHBoxLayout;
    formatRow->addWidget(formatBox);
    formatRow->addWidget(qualityRow, 1);
    form->addRow(buddyLabel(tr("F&ormat:"), formatBox), formatRow);

    lengthBox = new QSpinBox(this);
    lengthBox->setRange(1, 1000000);
    lengthBox->setSuffix(tr(" px"));
    lengthBox->setToolTip(tr("No part is longer than this"));
    form->addRow(tr("&Longest part:"), lengthBox);

    auto* calmRow = new QHBoxLayout;
    calmBox = new QCheckBox(tr("&Cut at calm rows, sensitivity"), this);
    calmBox->setToolTip(tr("Each cut moves back to a row of nearly one colour, so that no drawing or "
                           "line of text is cut in two"));
    sensitivityBox = new QSpinBox(this);
    sensitivityBox->setRange(0, 100);
    sensitivityBox->setToolTip(tr("100 cuts only across one colour; 0 cuts exactly at the length"));
    calmRow->addWidget(calmBox);
    calmRow->addWidget(sensitivityBox);
    calmRow->addStretch(1);
    form->addRow(QString(), calmRow);

    summary = new QLabel(this);
    summary->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    exportButton = buttons->addButton(tr("&Export"), QDialogButtonBox::AcceptRole);
    exportButton->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(summary);
    layout->addWidget(buttons);

    connect(browse, &QPushButton::clicked, this, &PartsDialog::chooseFolder);
    connect(buttons, &QDialogButtonBox::accepted, this, &PartsDialog::exportRequested);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(formatBox, qOverload<int>(&QComboBox::currentIndexChanged), this, &PartsDialog::formatChanged);
    for (QLineEdit* edit : {folderEdit, nameEdit})
        connect(edit, &QLineEdit::textChanged, this, &PartsDialog::updateState);
    connect(calmBox, &QCheckBox::toggled, this, [this] {
        updateState();
        emit choicesChanged();
    });
    connect(lengthBox, qOverload<int>(&QSpinBox::valueChanged), this, &PartsDialog::choicesChanged);
    connect(sensitivityBox, qOverload<int>(&QSpinBox::valueChanged), this, &PartsDialog::choicesChanged);
    connect(qualityRow, &QualityRow::changed, this, &PartsDialog::choicesChanged);
}

void PartsDialog::setChoices(const ExportChoices::Parts& parts, const ExportFormat& format)
{
    const QSignalBlocker blocked(this);
    folderEdit->setText(QDir::toNativeSeparators(parts.folder));
    nameEdit->setText(parts.name);
    qualityRow->setFormat(format);
    formatBox->setCurrentIndex(int(std::find(std::begin(formatOrder), std::end(formatOrder), format.kind) -
                                   std::begin(formatOrder)));
    formatChanged();
    lengthBox->setValue(parts.partLength);
    calmBox->setChecked(parts.calm);
    sensitivityBox->setValue(parts.sensitivity);
    updateState();
}

ExportChoices::Parts PartsDialog::parts() const
{
    ExportChoices::Parts parts;
    parts.folder = QDir::fromNativeSeparators(folderEdit->text().trimmed());
    parts.name = nameEdit->text().trimmed();
    parts.kind = format().kind;
    parts.partLength = lengthBox->value();
    parts.calm = calmBox->isChecked();
    parts.sensitivity = sensitivityBox->value();
    return parts;
}

ExportFormat PartsDialog::format() const
{
    return qualityRow->format();
}

void PartsDialog::setDirection(Qt::Orientation value)
{
    direction = value;
    lengthBox->setSuffix(direction == Qt::Vertical ? tr(" px tall") : tr(" px wide"));
    calmBox->setText(direction == Qt::Vertical ? tr("&Cut at calm rows, sensitivity")
                                               : tr("&Cut at calm columns, sensitivity"));
}

void PartsDialog::showPlan(const QVector<int>& ends)
{
    if (ends.isEmpty()) {
        summary->setText(tr("The cuts cannot be worked out."));
        return;
    }
    const ExportChoices::Parts chosen = parts();
    const QString suffix = ExportFormat::suffix(chosen.kind);
    const QStringList names = PartFiles::numberedNames(
        QDir(chosen.folder).filePath(chosen.name + QLatin1Char('.') + suffix), ends.size());
    const int lastLength = ends.size() > 1 ? ends.last() - ends[ends.size() - 2] : ends.last();
    summary->setText(ends.size() == 1
                         ? tr("One part: %1, %2 px.").arg(QFileInfo(names.first()).fileName()).arg(lastLength)
                         : tr("%1 parts: %2 to %3; the last is %4 px. The cut lines show on the canvas.")
                               .arg(ends.size())
                               .arg(QFileInfo(names.first()).fileName(), QFileInfo(names.last()).fileName())
                               .arg(lastLength));
}

void PartsDialog::chooseFolder()
{
    const QString folder =
        QFileDialog::getExistingDirectory(this, tr("Folder for the Parts"), folderEdit->text());
    if (!folder.isEmpty())
        folderEdit->setText(QDir::toNativeSeparators(folder));
}

void PartsDialog::formatChanged()
{
    ExportFormat format = qualityRow->format();
    format.kind = formatOrder[std::max(0, formatBox->currentIndex())];
    qualityRow->setFormat(format);
    // A part longer than the format holds could never be written.
    lengthBox->setMaximum(std::min(1000000, ExportFormat::maxSide(format.kind)));
    emit choicesChanged();
}

void PartsDialog::updateState()
{
    sensitivityBox->setEnabled(calmBox->isChecked());
    exportButton->setEnabled(!folderEdit->text().trimmed().isEmpty() &&
                             !nameEdit->text().trimmed().isEmpty());
}
