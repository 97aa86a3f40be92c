#pragma once

#include <QString>

namespace orvella {

// Message-box style codes: OK only, OK with the critical icon, OK/Cancel with the question icon,
// OK with the exclamation icon.
enum MsgStyle : int { MsgOkOnly = 0, MsgCritical = 16, MsgOkCancelQuestion = 33, MsgExclamation = 48 };
// Answers: 1 OK, 2 Cancel (also Escape and the close box of an OK/Cancel box).
enum MsgAnswer : int { AnswerOk = 1, AnswerCancel = 2 };

// What the program asks of the user through message boxes; the one place where a test stands in
// for the person at the screen.
class DialogService {
public:
    virtual ~DialogService() = default;
    // Shows text with a style code and a title (empty title: the application title "Orvella")
    // and returns the button pressed.
    virtual int messageBox(const QString &text, int style, const QString &title = {}) = 0;
};

// Real message boxes.
class QtDialogService final : public DialogService {
public:
    int messageBox(const QString &text, int style, const QString &title = {}) override;
};

// The title of a box that has none of its own.
QString applicationTitle();

// The service every window uses; the real one unless a test installed another.
DialogService &dialogs();
// Installs a service (the caller keeps ownership); nullptr restores the real one.
void setDialogService(DialogService *service);

} // namespace orvella
