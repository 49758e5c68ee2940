#pragma once

#include <QWidget>

class QToolButton;

namespace grainlink {

// A spin button: an up and a down arrow that step a whole number between a minimum and a
// maximum, with no number of its own on show (the dialog shows the count that counts in a label
// beside it, which may differ after a refused change). The up arrow and the Up key step up.
// Only the user's steps emit valueChanged; setValue, used while a dialog fills its fields, does
// not.
class SpinButton : public QWidget {
    Q_OBJECT

public:
    SpinButton(int minimum, int maximum, QWidget* parent);

    int value() const { return m_value; }
    void setValue(int value);

    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

signals:
    void valueChanged(int value);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Step(int delta);

    int m_minimum;
    int m_maximum;
    int m_value;
    QToolButton* m_up = nullptr;
    QToolButton* m_down = nullptr;
};

}  // namespace grainlink
