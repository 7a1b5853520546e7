#pragma once

#include <functional>

class QMenu;

// Gives the next pop-up menu to `answer` once it is open, so a test can call a handler that blocks
// in QMenu::exec(). Polls from a timer of its own, which deletes itself after answering.
void answerNextPopup(std::function<void(QMenu* menu)> answer);

// Answers for answerNextPopup: choose the menu's first entry with the keyboard, or dismiss it.
void chooseFirstEntry(QMenu* menu);
void dismissMenu(QMenu* menu);
