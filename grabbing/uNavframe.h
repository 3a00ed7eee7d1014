#pragma once
// The navigation bar under the video: the position slider, the position field, the duration,
// the volume gauge and the nine transport buttons, bound by the main window to the navigation
// manager's actions (to the start, back a lot, back some, back a little, play/pause with its
// caption, forward a little, forward some, forward a lot, to the end).
//
// Thread contract: a widget of the GUI thread.
#include <array>

#include <QFrame>

class QLabel;
class QLineEdit;
class TRxSlider;
class TTextGauge;
class TZvToolButton;

class Tnavframe : public QFrame {
public:
    static constexpr int BarWidth = 560;
    static constexpr int BarHeight = 64;
    static constexpr int ButtonCount = 9;
    static constexpr int PlayButton = 4;

    explicit Tnavframe(QWidget* parent = nullptr);

    TRxSlider* tb = nullptr;
    QLineEdit* CurrentEdit = nullptr;
    QLabel* DureeLab = nullptr;
    TTextGauge* gaugeVolume = nullptr;
    std::array<TZvToolButton*, ButtonCount> Buttons{};
};
