#pragma once
// The naming page: where grabbed pictures go and how they are named (the folder, the root or
// the video's name cut to a length, the time stamp or the number with its digits, the next
// number, BMP or JPEG and the JPEG quality). Each control sets its action when the user changes
// it; the main window writes an action's value back into its control when the action is
// applied, with the control's signals blocked so that the exchange ends there.
//
// Thread contract: a widget of the GUI thread.
#include <functional>

#include <QFrame>

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSlider;
class QSpinBox;
class QToolButton;

class TDossiersFrame : public QFrame {
public:
    explicit TDossiersFrame(QWidget* parent = nullptr);

    // The folder chooser behind the browse button; answers the chosen folder or an empty text.
    std::function<QString(const QString& start)> ChooseFolder;
    // Called with the chosen folder (ending with "/").
    std::function<void(const QString& folder)> OnFolderChosen;

    QLineEdit* deDossierSave = nullptr;
    QToolButton* BrowseButton = nullptr;
    QRadioButton* rbUtiliserRacine = nullptr;
    QRadioButton* rbUtiliserNomVideo = nullptr;
    QLineEdit* NomRacineEdit = nullptr;
    QCheckBox* cbLimiterLongueur = nullptr;
    QLineEdit* RacineLengthEdit = nullptr;
    QRadioButton* rbTimestamp = nullptr;
    QRadioButton* rbNumero = nullptr;
    QSpinBox* DigitsEdit = nullptr;
    QSpinBox* seNextNum = nullptr;
    QRadioButton* rbBmp = nullptr; // the items of rgExtension
    QRadioButton* rbJpeg = nullptr;
    QSlider* TrackBar1 = nullptr;
    QLabel* labQuality = nullptr;

private:
    void Browse();
};
