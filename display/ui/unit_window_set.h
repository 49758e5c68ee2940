#pragma once

#include <QCoreApplication>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <stdexcept>

#include "state/unit_state.h"

namespace grainlink {

// One window per unit 1..4, created hidden with the set and alive as long as it is, so hiding
// never loses a window. Holds what the data and the table windows share: finding a unit's
// window and bringing windows in front.
template <typename Window>
class UnitWindowSet {
public:
    explicit UnitWindowSet(const std::function<std::unique_ptr<Window>(int unit)>& make)
    {
        for (int unit = 1; unit <= kMaxUnits; ++unit) m_windows[unit - 1] = make(unit);
    }

    // Throws std::out_of_range for a unit outside 1..4.
    Window& operator[](int unit) const
    {
        if (unit < 1 || unit > kMaxUnits) throw std::out_of_range("unit outside 1..4");
        return *m_windows[unit - 1];
    }

    // Shows unit's window, not modally, in front and active.
    void showInFront(int unit) const
    {
        Window& shown = (*this)[unit];
        shown.show();
        shown.raise();
        shown.activateWindow();
    }

    // Shows the windows of units 1 to numUnits, letting each one settle before the next.
    void showServed(int numUnits) const
    {
        for (int unit = 1; unit <= kMaxUnits; ++unit) {
            if (numUnits >= unit) showInFront(unit);
            QCoreApplication::processEvents();
        }
    }

    auto begin() const { return m_windows.begin(); }
    auto end() const { return m_windows.end(); }

private:
    std::array<std::unique_ptr<Window>, kMaxUnits> m_windows;
};

}  // namespace grainlink
