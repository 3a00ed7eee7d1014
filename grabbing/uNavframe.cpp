#include "grabbing/uNavframe.h"

#include "platform/ui/RxSlider.h"
#include "presentation/uTextGauge.h"
#include "shell/uZvControls.h"

#include <QLabel>
#include <QLineEdit>

Tnavframe::Tnavframe(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("navframe"));
    resize(BarWidth, BarHeight);
    tb = new TRxSlider(this);
    tb->setObjectName(QStringLiteral("tb"));
    tb->setGeometry(4, 2, BarWidth - 8, 22);

    // Buttons 28 wide, the play button 72, from the left; the fields after them.
    int x = 4;
    for (int i = 0; i < ButtonCount; ++i) {
        auto* button = new TZvToolButton(this);
        const int width = i == PlayButton ? 72 : 28;
        button->setGeometry(x, 28, width, 30);
        button->SetShowCaption(i == PlayButton);
        Buttons[size_t(i)] = button;
        x += width + 2;
    }
    x += 8;
    CurrentEdit = new QLineEdit(this);
    CurrentEdit->setObjectName(QStringLiteral("CurrentEdit"));
    CurrentEdit->setGeometry(x, 31, 84, 24);
    CurrentEdit->setAlignment(Qt::AlignCenter);
    x += 88;
    DureeLab = new QLabel(this);
    DureeLab->setObjectName(QStringLiteral("DureeLab"));
    DureeLab->setGeometry(x, 31, 84, 24);
    DureeLab->setAlignment(Qt::AlignCenter);
    x += 88;
    gaugeVolume = new TTextGauge(this);
    gaugeVolume->setObjectName(QStringLiteral("gaugeVolume"));
    gaugeVolume->setGeometry(x, 30, BarWidth - 4 - x, 26);
}
