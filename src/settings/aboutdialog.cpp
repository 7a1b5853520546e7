#include "settings/aboutdialog.h"

#include <QLabel>

namespace {

QLabel* makeLine(const QString& text, int pixelSize, const QPoint& position, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont font(QStringLiteral("Proxima Nova"));
    // Pixel sizes keep the lines where they are placed whatever the system font size.
    font.setPixelSize(pixelSize);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: #EBECEE"));
    label->move(position);
    return label;
}

} // namespace

AboutDialog::AboutDialog(QWidget* parent) : MainFrame(parent)
{
    auto* content = new QWidget(this);
    content->setStyleSheet(QStringLiteral("background-color: #1c2431;"));
    setContentWidget(content);
    setWindowTitle(tr("About App"));
    setFixedSize(378, 224);

    auto* logo = new QWidget(content);
    logo->setFixedSize(55, 55);
    logo->move(25, 25);
    logo->setStyleSheet(
        QStringLiteral("QWidget {border-image: url(:/images/logo.png); border-radius:6px; }"));

    makeLine(tr("Quillmoor Seamwright 2.0.0"), 14, {100, 23}, content);
    makeLine(tr("2020.02.20 Release"), 10, {100, 40}, content);
    makeLine(tr("https://seamwright.app   \u00a9 2026 Quillmoor. All rights reserved."), 10, {25, 193},
             content);
}
