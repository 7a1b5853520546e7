#include "panorama/ui/panoramtips.h"

#include "settings/appsettings.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>

PanoramTips::PanoramTips(QWidget* parent) : MainFrame(parent)
{
    setWindowTitle(tr("Tips for Panorama"));
    setFixedSize(480, 342);

    auto* content = new QWidget(this);
    content->setStyleSheet(QStringLiteral("background-color: #1c2431; color: whit"));
    setContentWidget(content);

    auto* picture = new QWidget(content);
    picture->setFixedSize(324, 162);
    picture->move(88, 40);
    picture->setStyleSheet(QStringLiteral("border-image: url(:/images/tip-image.png)"));

    auto* text =
        new QLabel(tr("Each photo should includes 10%-30% overlap with other\nadjacent photogragh so our "
                      "program could aligns\nimages robustly."),
                   content);
    QFont font = QApplication::font();
    font.setPixelSize(11);
    text->setFont(font);
    text->setStyleSheet(QStringLiteral("color: white"));
    text->setAlignment(Qt::AlignHCenter);
    text->adjustSize();
    text->move(102, 230);

    auto* knowIt = new QPushButton(content);
    knowIt->setFixedSize(84, 24);
    knowIt->move(376, 298);
    knowIt->setStyleSheet(QStringLiteral("QPushButton {border-image: url(:/images/%1.png);}"
                                         "QPushButton:pressed {border-image: url(:/images/%1-active.png);}")
                              .arg(QStringLiteral("Know-it")));
    connect(knowIt, &QPushButton::clicked, this, &MainFrame::done);
    // The default: Enter answers it, and it has the focus ring's place.
    knowIt->setDefault(true);
    knowIt->setFocus(Qt::TabFocusReason);
    for (int key : {Qt::Key_Return, Qt::Key_Enter})
        connect(new QShortcut(QKeySequence(key), this), &QShortcut::activated, knowIt, &QPushButton::click);

    auto* dontShow = new QCheckBox(tr("Do not show again"), content);
    dontShow->setStyleSheet(QStringLiteral("color: white"));
    dontShow->adjustSize();
    dontShow->move(20, 298);
    connect(dontShow, &QCheckBox::stateChanged, this, &PanoramTips::onStateChanged);
}

void PanoramTips::onStateChanged(int state)
{
    AppSettings::instance()->writePanoramaTips(state == Qt::Checked);
}
