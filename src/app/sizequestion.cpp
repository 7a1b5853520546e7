#include "app/sizequestion.h"

#include "export/stripsize.h"

#include <QMessageBox>
#include <QPushButton>

bool SizeQuestion::confirm(QWidget* parent, const QSize& size, const QString& fileName)
{
    const QString objection = StripSize::objection(size, StripSize::freeBytesFor(fileName));
    if (objection.isEmpty())
        return true;
    QMessageBox question(QMessageBox::Warning, tr("Export"), objection, QMessageBox::Cancel, parent);
    QPushButton* anyway = question.addButton(tr("Export Anyway"), QMessageBox::AcceptRole);
    question.setDefaultButton(QMessageBox::Cancel);
    question.exec();
    return question.clickedButton() == anyway;
}
