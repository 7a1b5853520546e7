#include "support/windowfixture.h"

#include "app/toolbutton.h"
#include "canvas/painterarea.h"
#include "support/configreset.h"
#include "support/filledimage.h"

WindowFixture::WindowFixture(bool shown)
{
    resetConfig();
    window.resize(900, 673);
    window.setVisible(shown);
}

void WindowFixture::addPhotos(const QVector<QSize>& sizes, const QColor& colour)
{
    for (const QSize& size : sizes)
        canvas->addImage(filledImage(size.width(), size.height(), colour), QStringLiteral("p.png"));
    canvas->adjustSize();
}

QPushButton* WindowFixture::topBar(TopBar which) const
{
    return window.findChildren<ToolButton*>().at(which)->pushButton;
}
