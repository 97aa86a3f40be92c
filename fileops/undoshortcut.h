#pragma once

#include <functional>

#include <QObject>
#include <QString>

class QAbstractButton;
class QWidget;

namespace orvella {

class UndoJournal;

// Ctrl+Z on one window, taking back the journal's last operation, and the hint in the tooltip of
// the window's action button while there is one to take back.
class UndoShortcut final : public QObject {
    Q_OBJECT
public:
    // undo: what the window does on the key (ask the journal, then show the folder anew).
    UndoShortcut(QWidget &window, UndoJournal &journal, QAbstractButton &button, std::function<void()> undo);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showHint();

    UndoJournal &m_journal;
    QAbstractButton &m_button;
    QString m_tip;
    std::function<void()> m_undo;
};

} // namespace orvella
