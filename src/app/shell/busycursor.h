#pragma once

#include <QApplication>

namespace loto6 {

// The hourglass for the lifetime of the object, restored however the scope is left. Release it
// before showing a message box: no box is ever shown under the hourglass.
class BusyCursor
{
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { release(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

    // Restores the normal cursor now instead of at the end of the scope.
    void release()
    {
        if (m_set)
            QApplication::restoreOverrideCursor();
        m_set = false;
    }

private:
    bool m_set = true;
};

} // namespace loto6
