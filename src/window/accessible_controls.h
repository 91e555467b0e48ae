#pragma once

class QWidget;

namespace tovik::window {

// Makes the game window readable by a screen reader: the window lists only the controls that
// are shown, in reading order; every label or picture that takes a click is a button whose press
// action clicks it, exactly as the mouse does. Installed once, before the first window is built.
void installAccessibleControls();

// Marks `announcer` as the window's announcer, a notification whose name is what was last said,
// and `statusLine`, its parent, as the status line it is shown in.
void markAsAnnouncer(QWidget* statusLine, QWidget* announcer);

}  // namespace tovik::window
