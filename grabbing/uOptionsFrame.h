#pragma once
// The options page (OptionsFrame): where the settings are kept (registry, portable INI file or
// nowhere), frame-exact navigation and its pre-position, the inlay's maximum lag, the script
// folder and whether the last script is reopened, the picture options (overwrite question,
// numbering from 1 for each video, what a click on the video does), and the private decoder
// packages.
//
// Bind ties each control to its setting both ways: a change of the control sets the action as a
// user's change; applying the action (from anywhere: menus, switches, scripts, preferences)
// shows the value in the control, with the control's signals blocked so that the exchange ends
// there. The handlers the actions had before are kept and run first. Controls whose setting is
// not given stay disabled.
//
// Thread contract: a widget of the GUI thread.
#include <functional>

#include <QFrame>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QToolButton;
class TBooleanAction;
class TCheckAction;
class TIntegerAction;
class TTaskelPreferences;
class TWidestringAction;

class TOptionsFrame : public QFrame {
public:
    static constexpr int FrameWidth = 600;
    static constexpr int FrameHeight = 400;

    // The settings the page shows; any may be missing.
    struct TBindings {
        TTaskelPreferences* gp = nullptr;
        TCheckAction* caSeekPrecision = nullptr;
        TIntegerAction* iaSeekPrepos = nullptr;
        TIntegerAction* iaMaxSynchro = nullptr;
        TCheckAction* caConserverScript = nullptr;
        TWidestringAction* waDossierScripts = nullptr;
        TBooleanAction* baConfirmerImage = nullptr;
        TBooleanAction* baRAZWhenOpenFile = nullptr;
        TBooleanAction* baSauverQuandClic = nullptr;
        TBooleanAction* baUsePrivateFilters = nullptr;
        TWidestringAction* waPrivateFolder = nullptr;
    };

    explicit TOptionsFrame(QWidget* parent = nullptr);

    void Bind(const TBindings& bindings);

    // The folder chooser behind the browse buttons of the script and private folders; answers the
    // chosen folder or an empty text (replaceable: tests answer it).
    std::function<QString(const QString& start)> ChooseFolder;

    QGroupBox* rgPrefs = nullptr;
    QButtonGroup* PrefsItems = nullptr; // ids 0 to 2: registry, portable, none
    QCheckBox* cbNavPrecise = nullptr;
    QSpinBox* seSeekPrepos = nullptr;
    QSpinBox* seMaxSynchro = nullptr;
    QCheckBox* cbConserverScripts = nullptr;
    QLineEdit* deDossierScripts = nullptr;
    QToolButton* DossierScriptsButton = nullptr;
    QCheckBox* cbUsePrivateFilters = nullptr;
    QLineEdit* dePrivateFolder = nullptr;
    QToolButton* PrivateFolderButton = nullptr;
    QCheckBox* cbConfirmerImage = nullptr;
    QCheckBox* cbRAZwhenOpenFile = nullptr;
    QCheckBox* cbSauverQuandClic = nullptr;

private:
    void CreatePrefsGroup();
    void CreateNavigationGroup();
    void CreateScriptsGroup();
    void CreateImagesGroup();
    void CreateDecodersGroup();
    void BindPrefs(TTaskelPreferences* gp);
    void BindCheck(QCheckBox* box, TCheckAction* action);
    void BindBoolean(QCheckBox* box, TBooleanAction* action);
    void BindInteger(QSpinBox* box, TIntegerAction* action);
    // The folder edit shows the action's value; the button chooses a new one (with a trailing
    // "/" when asked).
    void BindFolder(QLineEdit* edit, QToolButton* button, TWidestringAction* action,
                    bool trailingDelimiter);
};
