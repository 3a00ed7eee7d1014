#include "grabbing/uIncrustFrame.h"

#include "shell/uZvControls.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

TIncrustFrame::TIncrustFrame(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("IncrustFrame"));
    auto* modes = new QGroupBox(QStringLiteral("What the inlay shows"), this);
    modes->setGeometry(8, 8, 260, 136);
    for (int i = 0; i < ModeCount; ++i) {
        auto* button = new TZvToolButton(modes);
        button->SetGroupIndex(1);
        button->SetShowCaption(true);
        button->setGeometry(8 + (i % 2) * 124, 22 + (i / 2) * 36, 120, 30);
        ModeButtons[size_t(i)] = button;
    }
    auto* templates = new QGroupBox(QStringLiteral("Personalized"), this);
    templates->setGeometry(8, 152, 260, 88);
    edPerso1 = new QLineEdit(templates);
    edPerso1->setObjectName(QStringLiteral("edPerso1"));
    edPerso1->setGeometry(8, 22, 244, 24);
    edPerso2 = new QLineEdit(templates);
    edPerso2->setObjectName(QStringLiteral("edPerso2"));
    edPerso2->setGeometry(8, 54, 244, 24);
    tbSousTitre = new TZvToolButton(this);
    tbSousTitre->SetShowCaption(true);
    tbSousTitre->setGeometry(8, 248, 124, 30);
    tbSliders = new TZvToolButton(this);
    tbSliders->SetShowCaption(true);
    tbSliders->setGeometry(140, 248, 128, 30);
}

int TIncrustFrame::DownMode() const {
    for (int i = 0; i < ModeCount; ++i)
        if (ModeButtons[size_t(i)]->Down())
            return i;
    return -1;
}

void TIncrustFrame::SetDownMode(int mode) {
    for (int i = 0; i < ModeCount; ++i)
        ModeButtons[size_t(i)]->SetDown(i == mode);
}
