#pragma once
// TSavePrefsForm: the dialog that asks, when nothing says where the settings live, how they shall
// be stored from now on. A fixed 551 x 364 dialog with a rich-text label and three buttons,
// left to right: "Normal" (registry), "Portable" (INI file beside the program), "None".
// A button stores its mode, marks the dialog answered and closes it; closing it any other way
// leaves it unanswered. GUI thread only.
#include "platform/ui/DialogService.h"
#include "preferences/uSavePreferences.h"

#include <array>
#include <optional>

#include <QDialog>

class QPushButton;
class TLinkEdit;

class TSavePrefsForm : public QDialog {
    Q_OBJECT

public:
    static constexpr int ClientWidth = 551;
    static constexpr int ClientHeight = 364;

    explicit TSavePrefsForm(QWidget* parent = nullptr);

    // The question as the dialog service carries it: caption, label text, the three buttons with
    // their hints, and the results that stand for the modes (ResultOf).
    static TDialogRequest Request(const QString& caption);
    static int32_t ResultOf(TSavePreferences mode);
    static std::optional<TSavePreferences> ModeOf(int32_t result);

    // Shows the dialog modally; the chosen mode, or nothing when it was closed without a choice.
    std::optional<TSavePreferences> Execute();

    bool Answered() const { return FAnswered; }
    TSavePreferences ChosenMode() const { return FMode; }
    TLinkEdit& Label() const { return *FLabel; }
    QPushButton& Button(TSavePreferences mode) const { return *FButtons[size_t(mode)]; }

private:
    void Choose(TSavePreferences mode);

    TLinkEdit* FLabel;                    // owned by the dialog (Qt parent)
    std::array<QPushButton*, 3> FButtons; // owned by the dialog (Qt parent)
    bool FAnswered = false;
    TSavePreferences FMode = spNone;
};
