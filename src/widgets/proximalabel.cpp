#include "widgets/proximalabel.h"

ProximaLabel::ProximaLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    setFont(QFont("Proxima Nova", 9));
    setStyleSheet("QLabel {color: #8C8D8D;}");
}
