#pragma once

#include <QString>

// The application's look for the small windows that ask or wait: dark panel, light text, accent for
// the default button and the progress.
inline QString darkDialogStyle()
{
    return QStringLiteral(
        "QMessageBox, QProgressDialog { background-color: #283142; }"
        "QLabel { color: #ebecee; }"
        "QPushButton { background-color: #1c2431; color: #ebecee; border: 1px solid #3A4354;"
        " border-radius: 3px; padding: 4px 14px; min-width: 64px; }"
        "QPushButton:default { background-color: #177df7; border-color: #177df7; }"
        "QPushButton:pressed { background-color: #177df7; }"
        "QProgressBar { background-color: #1c2431; color: #ebecee; border: 1px solid #3A4354;"
        " border-radius: 3px; text-align: center; }"
        "QProgressBar::chunk { background-color: #177df7; border-radius: 3px; }");
}
