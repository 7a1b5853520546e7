#include "widgets/helveticaneuelabel.h"

HelveticaNeueLabel::HelveticaNeueLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    setFont(QFont("MS Shell Dlg 2", 8));
    setStyleSheet("QLabel {color: #E0E0E0;}");
}
