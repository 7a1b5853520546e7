#include "app/applicationfont.h"
#include "app/mywindows.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    registerApplicationFont();
    QApplication::setFont(QFont("Proxima Nova", 9));

    MyWindows window(nullptr);
    window.show();
    return QApplication::exec();
}
