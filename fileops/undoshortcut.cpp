#include "fileops/undoshortcut.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>
#include <QWidget>

#include "fileops/undojournal.h"

namespace orvella {

UndoShortcut::UndoShortcut(QWidget &window, UndoJournal &journal, QAbstractButton &button, std::function<void()> undo)
    : QObject(&window)
    , m_journal(journal)
    , m_button(button)
    , m_tip(button.toolTip())
    , m_undo(std::move(undo))
{
    auto *key = new QShortcut(QKeySequence::Undo, &window);
    connect(key, &QShortcut::activated, this, [this] {
        if (m_journal.canUndo())
            m_undo();
    });
    // A text box keeps the key for its own typing while there is no operation to take back;
    // otherwise the key, pressed in the prefix box where these windows leave the focus after
    // every operation, would never reach the files.
    for (QLineEdit *box : window.findChildren<QLineEdit *>())
        box->installEventFilter(this);
    connect(&journal, &UndoJournal::changed, this, &UndoShortcut::showHint);
    showHint();
}

bool UndoShortcut::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Undo)
        && m_journal.canUndo()) {
        m_undo();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void UndoShortcut::showHint()
{
    QString tip = m_tip;
    if (m_journal.canUndo())
        tip += QStringLiteral("\n%1 takes back the last %2.")
                   .arg(QKeySequence(QKeySequence::Undo).toString(QKeySequence::NativeText), m_journal.description());
    m_button.setToolTip(tip);
}

} // namespace orvella
