#include "app/overlapjoinbutton.h"

#include "canvas/overlapjoin.h"
#include "canvas/painterarea.h"
#include "widgets/busycursor.h"

#include <QMessageBox>

OverlapJoinButton::OverlapJoinButton(PainterArea* canvas, QWidget* parent)
    : QPushButton(tr("JOIN OVERLAPS"), parent), canvas(canvas)
{
    setObjectName(QStringLiteral("overlapJoinButton"));
    setShortcut(QKeySequence(Qt::CTRL | Qt::Key_J));
    setToolTip(tr("Join screenshots of one scrolling page: every row once, fixed bars once (%1)")
                   .arg(shortcut().toString(QKeySequence::NativeText)));
    setStyleSheet("QPushButton {background-color: transparent; border: 1px solid #3A4354; border-radius: 5px;"
                  " height: 22px; color: #E0E0E0}"
                  "QPushButton:pressed {background-color: #177df7; color: white}");
    connect(this, &QPushButton::clicked, this, &OverlapJoinButton::joinOverlaps);
}

QString OverlapJoinButton::reportText(const OverlapJoin& join)
{
    QStringList paragraphs;
    const auto apart = join.apartNames();
    if (!apart.isEmpty()) {
        QStringList lines{tr("These neighbours do not overlap and stay joined edge to edge:")};
        for (const auto& pair : apart)
            lines << tr("%1 and %2").arg(pair.first, pair.second);
        paragraphs << lines.join(QLatin1Char('\n'));
    }
    const QStringList duplicates = join.duplicateNames();
    if (!duplicates.isEmpty()) {
        QStringList lines{tr("Taken out because the photo before each shows all of it:")};
        lines << duplicates;
        paragraphs << lines.join(QLatin1Char('\n'));
    }
    return paragraphs.join(QStringLiteral("\n\n"));
}

void OverlapJoinButton::joinOverlaps()
{
    if (!canvas || canvas->paintImages.size() < 2)
        return;
    QString report;
    {
        const BusyCursor busy;
        const OverlapJoin join(*canvas);
        join.apply(*canvas);
        report = reportText(join);
    }
    if (!report.isEmpty())
        QMessageBox::information(window(), tr("Join Overlaps"), report);
}
