#pragma once
// A horizontal position slider that tells a change the user made from a change made by the
// program: OnUserChange runs only for the user's moves (dragging, clicks on the groove, keys,
// the wheel), never for SetPosition. OnMouseDown and OnMouseUp run when the mouse button goes
// down on the handle and up again.
//
// Thread contract: a widget of the GUI thread.
#include <functional>

#include <QSlider>

class TRxSlider : public QSlider {
public:
    explicit TRxSlider(QWidget* parent = nullptr);

    // Moves the handle without raising OnUserChange.
    void SetPosition(int value);
    void SetRangeQuietly(int minimum, int maximum);

    std::function<void(int value)> OnUserChange;
    std::function<void()> OnMouseDown;
    std::function<void()> OnMouseUp;

private:
    bool FProgramChange = false;
};
