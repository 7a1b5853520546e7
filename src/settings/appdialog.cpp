#include "settings/appdialog.h"

AppDialog::AppDialog(QWidget* parent) : MainFrame(parent)
{
    auto* content = new QWidget(this);
    content->setStyleSheet(QStringLiteral("QWidget {border-image: url(:/images/app.png)}"));
    setContentWidget(content);
    setWindowTitle(tr("Download App"));
    setFixedSize(520, 318);
}
