#pragma once
// The inlay page: the six inlay modes as one group of buttons (at most one down), the two custom
// templates, the subtitle preset and the sliders' switch. The main window binds it to its
// actions.
//
// Thread contract: a widget of the GUI thread.
#include <array>

#include <QFrame>

class QLineEdit;
class TZvToolButton;

class TIncrustFrame : public QFrame {
public:
    static constexpr int ModeCount = 6;
    explicit TIncrustFrame(QWidget* parent = nullptr);

    // InsertTimestampBtn, InsertNumeroBtn, InsertTimecodeBtn, InsertDatecodeBtn, InsertPersoBtn,
    // InsertSysDatetimeBtn: the modes 0 to 5.
    std::array<TZvToolButton*, ModeCount> ModeButtons{};
    QLineEdit* edPerso1 = nullptr;
    QLineEdit* edPerso2 = nullptr;
    TZvToolButton* tbSousTitre = nullptr;
    TZvToolButton* tbSliders = nullptr;
    // The mode whose button is down, or -1.
    int DownMode() const;
    void SetDownMode(int mode);
};
