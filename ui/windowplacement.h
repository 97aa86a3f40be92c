#pragma once

class QAbstractButton;
class QWidget;

namespace orvella {

// Centres window on the primary screen.
void centreOnScreen(QWidget &window);

// Shows a window that works for owner (the main window, which it disables meanwhile): centred when
// it opens, kept in front of the owner's window by the window manager, raised and active. Without
// that, a window manager may put it behind the disabled owner, which would then look frozen.
void showForOwner(QWidget &window, const QWidget *owner);

// Escape presses cancel (the close box's effect) and Return or Enter presses accept, or the push
// button that has the keyboard focus, as in any dialog.
void addDialogKeys(QWidget &window, QAbstractButton *accept);

// Leaves Return and Enter to widget (a name box that acts on Return) rather than to the window's
// accept key.
void keepReturnKey(QWidget &widget);

} // namespace orvella
