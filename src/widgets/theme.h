#pragma once

#include <QString>

// The application's colours, once, and the style sheets built from them that bring Qt's own dialogs,
// menus, tooltips and scroll bars into them.
namespace Theme {

constexpr const char* panel = "#1c2431";
constexpr const char* bar = "#283142";
constexpr const char* canvas = "#131820";
constexpr const char* accent = "#177df7";
constexpr const char* lightText = "#ebecee";
constexpr const char* softText = "#E0E0E0";
constexpr const char* dimText = "#8C8D8D";
constexpr const char* separator = "#262d38";
constexpr const char* border = "#3A4354";
// Scroll bar handles and the focus ring: at least 3 : 1 against the panel and the bars.
constexpr const char* handle = "#7d8aa0";

// The sheet with each "@name" of a colour above replaced by the colour: @panel, @bar, @canvas, @accent,
// @light, @soft, @dim, @separator, @border, @handle.
QString sheet(QString text);

// The small windows that ask or wait: dark panel, light text, accent for the default button and the
// progress.
QString dialogStyleSheet();
// Menus in the panel's colours: light text, a lighter row under the pointer.
QString menuStyleSheet();
// Slim scroll bars on the panel's background.
QString scrollBarStyleSheet();
// File, colour, message, progress and input dialogs, menus and tooltips, for the whole application.
QString applicationStyleSheet();

// Installs the application style sheet and keeps file dialogs in the application (a desktop's own
// dialog could not take its colours). Safe to call more than once.
void install();

} // namespace Theme
