#include "widgets/theme.h"

#include "widgets/focusring.h"

#include <QApplication>
#include <QStringList>

namespace Theme {

QString sheet(QString text)
{
    return text.replace("@panel", panel)
        .replace("@bar", bar)
        .replace("@canvas", canvas)
        .replace("@accent", accent)
        .replace("@light", lightText)
        .replace("@soft", softText)
        .replace("@dim", dimText)
        .replace("@separator", separator)
        .replace("@border", border)
        .replace("@handle", handle);
}

QString dialogStyleSheet()
{
    return sheet("QMessageBox, QProgressDialog { background-color: @bar; }"
                 "QLabel { color: @light; }"
                 "QPushButton { background-color: @panel; color: @light; border: 1px solid @border;"
                 " border-radius: 3px; padding: 4px 14px; min-width: 64px; }"
                 "QPushButton:default { background-color: @accent; border-color: @accent; }"
                 "QPushButton:pressed { background-color: @accent; }"
                 "QProgressBar { background-color: @panel; color: @light; border: 1px solid @border;"
                 " border-radius: 3px; text-align: center; }"
                 "QProgressBar::chunk { background-color: @accent; border-radius: 3px; }");
}

QString menuStyleSheet()
{
    return sheet("QMenu {background-color: @panel; color: @light; border: 1px solid @border; padding: 4px 0;}"
                 "QMenu::item {background-color: transparent; padding: 5px 20px 5px 26px;}"
                 "QMenu::item:selected {background-color: @border; color: white;}"
                 "QMenu::item:disabled {color: @dim;}"
                 "QMenu::separator {height: 1px; background: @border; margin: 4px 8px;}"
                 "QMenu::indicator {width: 10px; height: 10px; left: 9px;}"
                 "QMenu::indicator:checked {background-color: @accent; border: 1px solid @light; "
                 "border-radius: 5px;}");
}

QString scrollBarStyleSheet()
{
    return sheet("QScrollBar:vertical {background: @panel; width: 6px; margin: 0; border: 0;}"
                 "QScrollBar::handle:vertical {background: @handle; min-height: 30px; border-radius: 3px;}"
                 "QScrollBar::handle:vertical:hover, QScrollBar::handle:vertical:pressed "
                 "{background: @light;}"
                 "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical {height: 0; border: 0;}"
                 "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical {background: none;}"
                 "QScrollBar:horizontal {background: @panel; height: 6px; margin: 0; border: 0;}"
                 "QScrollBar::handle:horizontal {background: @handle; min-width: 30px; "
                 "border-radius: 3px;}"
                 "QScrollBar::add-line:horizontal, QScrollBar::sub-line:horizontal {width: 0; border: 0;}"
                 "QScrollBar::add-page:horizontal, QScrollBar::sub-page:horizontal {background: none;}");
}

QString applicationStyleSheet()
{
    const QString dialogRules[] = {
        "@D {background-color: @bar; color: @light;}",
        "@D QLabel, @D QCheckBox, @D QRadioButton, @D QGroupBox {color: @light; background: transparent;}",
        "@D QLineEdit, @D QComboBox, @D QSpinBox, @D QAbstractItemView, @D QTextEdit, @D QPlainTextEdit "
        "{background-color: @panel; color: @light; border: 1px solid @border; border-radius: 3px; "
        "padding: 2px; selection-background-color: @accent; selection-color: white;}",
        "@D QComboBox QAbstractItemView {border-radius: 0; padding: 0;}",
        "@D QComboBox::drop-down {border: 0; width: 18px;}",
        "@D QComboBox::down-arrow, @D QAbstractSpinBox::down-arrow "
        "{image: url(:/images/step-down.png); width: 7px; height: 4px;}",
        "@D QAbstractSpinBox::up-arrow {image: url(:/images/step-up.png); width: 7px; height: 4px;}",
        "@D QAbstractSpinBox::up-button, @D QAbstractSpinBox::down-button {subcontrol-origin: border; "
        "width: 16px; border: 0; border-left: 1px solid @border; background-color: @bar;}",
        "@D QAbstractSpinBox::up-button {subcontrol-position: top right;}",
        "@D QAbstractSpinBox::down-button {subcontrol-position: bottom right;}",
        "@D QHeaderView::section {background-color: @bar; color: @light; border: 0; "
        "border-right: 1px solid @border; border-bottom: 1px solid @border; padding: 3px 6px;}",
        "@D QHeaderView {background-color: @bar;}",
        "@D QPushButton {background-color: @panel; color: @light; border: 1px solid @border; "
        "border-radius: 3px; padding: 4px 14px; min-width: 60px;}",
        "@D QPushButton:hover, @D QPushButton:focus {border-color: @accent;}",
        "@D QPushButton:pressed, @D QPushButton:checked {background-color: @accent; color: white;}",
        "@D QPushButton:disabled {color: @dim; border-color: @panel;}",
        "@D QToolButton {background-color: transparent; color: @light; border: 1px solid transparent; "
        "border-radius: 3px; padding: 2px;}",
        "@D QToolButton:hover, @D QToolButton:checked {background-color: @panel; border-color: @border;}",
        "@D QProgressBar {background-color: @panel; color: @light; border: 1px solid @border; "
        "border-radius: 3px; text-align: center;}",
        "@D QProgressBar::chunk {background-color: @accent;}",
        "@D QSplitter::handle {background-color: @bar;}",
    };
    // Every dialog, the application's own and Qt's.
    QString rules;
    for (const QString& rule : dialogRules)
        rules += rule;
    rules.replace("@D", "QDialog");
    rules += menuStyleSheet();
    rules += "QToolTip {background-color: @bar; color: @light; border: 1px solid @border; padding: 3px;}";
    // A box that shows on the dark grounds, checked or not.
    rules += "QCheckBox::indicator {width: 12px; height: 12px; border: 1px solid @handle; border-radius: 2px;"
             " background-color: @panel;}"
             "QCheckBox::indicator:checked {background-color: @accent; border-color: @light;}"
             "QCheckBox::indicator:disabled {border-color: @border;}";
    rules += scrollBarStyleSheet().replace("QScrollBar", "QDialog QScrollBar");
    return sheet(rules);
}

void install()
{
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs, true);
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app)
        return;
    const QString sheet = applicationStyleSheet();
    if (app->styleSheet() != sheet)
        app->setStyleSheet(sheet);
    FocusRing::install();
}

} // namespace Theme
