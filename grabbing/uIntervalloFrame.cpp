#include "grabbing/uIntervalloFrame.h"

#include <QComboBox>
#include <QLabel>
#include <QSpinBox>
#include <QToolButton>

Tintervalloframe::Tintervalloframe(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("intervalloframe"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    resize(BarWidth, BarHeight);
    auto* every = new QLabel(QStringLiteral("A picture every"), this);
    every->setGeometry(10, 20, 110, 24);
    seIntervallo = new QSpinBox(this);
    seIntervallo->setObjectName(QStringLiteral("seIntervallo"));
    seIntervallo->setRange(1, 999999);
    seIntervallo->setGeometry(122, 20, 90, 24);
    seIntervallo->setToolTip(QStringLiteral("Delay between two snapshots by the intervalometer"));
    cboxIntervallo = new QComboBox(this);
    cboxIntervallo->setObjectName(QStringLiteral("cboxIntervallo"));
    cboxIntervallo->addItems({QStringLiteral("Frames"), QStringLiteral("Seconds"),
                              QStringLiteral("Minutes"), QString()});
    cboxIntervallo->setGeometry(218, 20, 100, 24);
    cboxIntervallo->setToolTip(QStringLiteral("Unit to calculate the interval"));
    chronolab = new QLabel(this);
    chronolab->setObjectName(QStringLiteral("chronolab"));
    chronolab->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    chronolab->setGeometry(330, 20, 90, 24);
    chronolab->setToolTip(QStringLiteral("Number of pictures still to be grabbed"));
    RxSwitch1 = new QToolButton(this);
    RxSwitch1->setObjectName(QStringLiteral("RxSwitch1"));
    RxSwitch1->setCheckable(true);
    RxSwitch1->setText(QStringLiteral("Start"));
    RxSwitch1->setGeometry(440, 16, 100, 32);
    RxSwitch1->setToolTip(QStringLiteral("Toggle intervalometer"));
    connect(RxSwitch1, &QToolButton::toggled, this, [this](bool on) {
        RxSwitch1->setText(on ? QStringLiteral("Stop") : QStringLiteral("Start"));
    });
}
