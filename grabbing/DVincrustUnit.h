#pragma once
// The DV date page: the recording date of the frame on screen (or a fictitious date when the
// video has none), the time offset added to it before the inlay shows it, either in whole hours
// or, on the advanced panel, as the corrected date and time itself, and the %D formats of the two
// inlay lines.
//
// Thread contract: a widget of the GUI thread.
#include <QFrame>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QSpinBox;

// The offset as the page writes it: " 02 hours", " 1 day 01 h", " -01 hour", "none".
QString TimeOffsetText(double days);

class TDVIncrustFrame : public QFrame {
public:
    explicit TDVIncrustFrame(QWidget* parent = nullptr);

    QLabel* labVideodate = nullptr;
    QComboBox* cbDatecode1 = nullptr;
    QComboBox* cbDatecode2 = nullptr;
    QCheckBox* cbAvance = nullptr; // bound to the advanced-offset setting
    QFrame* PanelHeures = nullptr;
    QSpinBox* seDecalerHeures = nullptr;
    QFrame* PanelAvance = nullptr;
    QDateEdit* DateEdit1 = nullptr;
    QSpinBox* seHeure = nullptr;
    QSpinBox* seMinute = nullptr;
    QSpinBox* seSeconde = nullptr;
    QLabel* labDecalageHoraire = nullptr;
    QPushButton* resetBtn = nullptr;
};
