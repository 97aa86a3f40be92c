#pragma once

#include <QMouseEvent>
#include <QWidget>

namespace orvella {

// Tells a click on a widget (the left button pressed and released over it) from a press that is
// dragged off before it is released, and from the second press of a double-click. A mouse sends
// press, release, double-click, release: the first pair is the click, the second pair is none.
class ClickTracker final {
public:
    // Takes presses and double-clicks alike (a widget's default double-click handler passes the
    // double-click on as a press).
    void press(const QMouseEvent &event)
    {
        if (event.button() != Qt::LeftButton)
            return;
        m_pressed = true;
        m_double = event.type() == QEvent::MouseButtonDblClick;
    }
    // Whether this release ends a click on widget.
    bool release(const QWidget &widget, const QMouseEvent &event)
    {
        const bool click = m_pressed && !m_double && widget.rect().contains(event.position().toPoint());
        m_pressed = false;
        m_double = false;
        return click && event.button() == Qt::LeftButton;
    }

private:
    bool m_pressed = false;
    bool m_double = false;
};

} // namespace orvella
