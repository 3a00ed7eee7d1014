#include "platform/ui/RxSlider.h"

TRxSlider::TRxSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setTracking(true);
    connect(this, &QAbstractSlider::valueChanged, this, [this](int value) {
        if (!FProgramChange && OnUserChange)
            OnUserChange(value);
    });
    connect(this, &QAbstractSlider::sliderPressed, this, [this] {
        if (OnMouseDown)
            OnMouseDown();
    });
    connect(this, &QAbstractSlider::sliderReleased, this, [this] {
        if (OnMouseUp)
            OnMouseUp();
    });
}

void TRxSlider::SetPosition(int value) {
    FProgramChange = true;
    setValue(value);
    FProgramChange = false;
}

void TRxSlider::SetRangeQuietly(int minimum, int maximum) {
    // Narrowing the range may move the handle: that move is the program's too.
    FProgramChange = true;
    setRange(minimum, maximum);
    FProgramChange = false;
}
