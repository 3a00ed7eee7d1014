#pragma once
// The intervalometer bar, shown over the navigation bar: the delay, its unit (frames, seconds,
// minutes), the count of pictures still to grab and the on/off switch. The main window binds it
// to its intervalometer actions.
//
// Thread contract: a widget of the GUI thread.
#include <QFrame>

class QComboBox;
class QLabel;
class QSpinBox;
class QToolButton;

class Tintervalloframe : public QFrame {
public:
    static constexpr int BarWidth = 560;
    static constexpr int BarHeight = 64;

    explicit Tintervalloframe(QWidget* parent = nullptr);

    QSpinBox* seIntervallo = nullptr;
    QComboBox* cboxIntervallo = nullptr;
    QLabel* chronolab = nullptr;
    QToolButton* RxSwitch1 = nullptr;
};
