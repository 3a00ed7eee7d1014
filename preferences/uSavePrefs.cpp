#include "preferences/uSavePrefs.h"

#include "shell/uLinkEdit.h"

#include <QApplication>
#include <QPushButton>
#include <QStyle>

namespace {

// Results of the dialog's buttons, outside the range of the standard modal results.
constexpr int32_t FirstModeResult = 1000;

const QString LabelText = QStringLiteral(
    "<br><size 10><i>Do you want to save your preferences and find them again on next start?<br>"
    "<br>Click on your choice:</i><br><br>* either to save them in the registry (normal mode).<br>"
    "* either to save them in an ini-file (portable mode).<br>* either not to save them. In the "
    "last case, all preferences will be lost, and the default values will be loaded on the next "
    "start.<br></size>");

struct TModeButton {
    TSavePreferences Mode;
    const char* Caption;
    const char* Hint;
    QStyle::StandardPixmap Image;
};

constexpr TModeButton ModeButtons[] = {
    {spRegistre, "Normal",
     "Save the Preferences in the registry.\r\nIf an ini file existed, it will be deleted.",
     QStyle::SP_DriveHDIcon},
    {spPortable, "Portable",
     "Saves the preferences to an ini file.\r\nDeletes the preferences from the registry.",
     QStyle::SP_DriveFDIcon},
    {spNone, "None",
     "Exit without saving the preferences.\r\nIf they existed in an ini-file or in the "
     "registry,\r\nthey will be deleted.",
     QStyle::SP_DialogDiscardButton},
};

constexpr int Margin = 12;
constexpr int ButtonWidth = 161;
constexpr int ButtonHeight = 56;
constexpr int ButtonGap = (TSavePrefsForm::ClientWidth - 2 * Margin - 3 * ButtonWidth) / 2;

} // namespace

TSavePrefsForm::TSavePrefsForm(QWidget* parent) : QDialog(parent) {
    setFixedSize(ClientWidth, ClientHeight);
    FLabel = new TLinkEdit(this);
    FLabel->setFrameShape(QFrame::NoFrame);
    FLabel->setGeometry(Margin, Margin, ClientWidth - 2 * Margin,
                        ClientHeight - 3 * Margin - ButtonHeight);
    FLabel->SetRichText(LabelText);
    const int top = ClientHeight - Margin - ButtonHeight;
    for (const TModeButton& b : ModeButtons) {
        auto* button =
            new QPushButton(style()->standardIcon(b.Image), QString::fromLatin1(b.Caption), this);
        button->setIconSize(QSize(32, 32));
        button->setToolTip(
            QString::fromLatin1(b.Hint).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        button->setGeometry(Margin + int(b.Mode) * (ButtonWidth + ButtonGap), top, ButtonWidth,
                            ButtonHeight);
        button->setAutoDefault(false);
        const TSavePreferences mode = b.Mode;
        connect(button, &QPushButton::clicked, this, [this, mode] { Choose(mode); });
        FButtons[size_t(b.Mode)] = button;
    }
}

void TSavePrefsForm::Choose(TSavePreferences mode) {
    FMode = mode;
    FAnswered = true;
    accept();
}

std::optional<TSavePreferences> TSavePrefsForm::Execute() {
    FAnswered = false;
    FMode = spNone;
    exec();
    return FAnswered ? std::optional(FMode) : std::nullopt;
}

TDialogRequest TSavePrefsForm::Request(const QString& caption) {
    TDialogRequest r;
    r.Kind = mtConfirmation;
    r.Caption = caption;
    r.Text = LabelText;
    r.RichText = true;
    for (const TModeButton& b : ModeButtons)
        r.Buttons.push_back(
            {QString::fromLatin1(b.Caption), QString::fromLatin1(b.Hint), ResultOf(b.Mode)});
    r.DefaultResult = ResultOf(spRegistre);
    r.CancelResult = mrCancel;
    return r;
}

int32_t TSavePrefsForm::ResultOf(TSavePreferences mode) {
    return FirstModeResult + int32_t(mode);
}

std::optional<TSavePreferences> TSavePrefsForm::ModeOf(int32_t result) {
    const int32_t index = result - FirstModeResult;
    if (index < spRegistre || index > spNone)
        return std::nullopt;
    return TSavePreferences(index);
}
