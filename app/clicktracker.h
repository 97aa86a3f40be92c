#pragma once

#include <QMouseEvent>
#include <QWidget>

namespace orvella {

// Tells a click on a widget (the left button pressed and released over it) from a press that is
// dragged off before it is released.
class ClickTracker final {
public:
    void press(const QMouseEvent &event)
    {
        if (event.button() == Qt::LeftButton)
            m_pressed = true;
    }
    // Whether this release ends a click on widget; an extra condition can veto it.
    bool release(const QWidget &widget, const QMouseEvent &event, bool allowed = true)
    {
        const bool click = m_pressed && allowed && widget.rect().contains(event.position().toPoint());
        m_pressed = false;
        return click && event.button() == Qt::LeftButton;
    }
    // A double-click counts as a press.
    void pressed() { m_pressed = true; }

private:
    bool m_pressed = false;
};

} // namespace orvella
