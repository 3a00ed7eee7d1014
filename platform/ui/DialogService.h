#pragma once
// The dialog service: every question and message box of the program goes through it, so that
// tests and headless runs can answer without a window.
//
// A request describes the question (kind, caption, text, buttons, the answer the Escape key or
// closing the box gives). The presenter in force shows it: in the program a modal Qt message box
// (or a dialog that the caller supplies); on a headless platform ("offscreen", "minimal") every
// question gets its cancel answer, and the question is noted on stderr; in tests a
// TScriptedDialogs answers from a queue and records what was asked. GUI thread only.
#include <cstdint>
#include <functional>

#include <QString>
#include <QVector>

// The icon and default caption of a message box.
enum TMsgDlgType : int32_t { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// Results of the standard buttons (the modal results of the toolkit).
enum TModalResult : int32_t {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrClose = 8,
    mrHelp = 9,
    mrAll = 12,
    mrNoToAll = 13,
    mrYesToAll = 14,
};

// Sets of standard buttons, in the order the box shows them.
enum TMsgDlgBtn : uint32_t {
    mbYes = 1u << 0,
    mbNo = 1u << 1,
    mbOK = 1u << 2,
    mbCancel = 1u << 3,
    mbAbort = 1u << 4,
    mbRetry = 1u << 5,
    mbIgnore = 1u << 6,
    mbAll = 1u << 7,
    mbNoToAll = 1u << 8,
    mbYesToAll = 1u << 9,
    mbHelp = 1u << 10,
    mbClose = 1u << 11,
};
using TMsgDlgButtons = uint32_t;
constexpr TMsgDlgButtons mbOKButton = mbOK;
constexpr TMsgDlgButtons mbYesNo = mbYes | mbNo;
constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel;
constexpr TMsgDlgButtons mbOKCancel = mbOK | mbCancel;

struct TDialogButton {
    QString Caption;
    QString Hint;
    int32_t Result = mrNone;
};

struct TDialogRequest {
    TMsgDlgType Kind = mtInformation;
    QString Caption; // empty: the kind's own caption ("Warning", "Error", ...)
    QString Text;
    bool RichText = false;
    QVector<TDialogButton> Buttons;  // left to right
    int32_t DefaultResult = mrNone;  // the button that Enter presses (mrNone: the first)
    int32_t CancelResult = mrCancel; // the answer of Escape, of closing the box, of headless runs
    // A dialog of the caller's own making to show instead of the message box (the program only;
    // scripted answers never run it). It returns one of the buttons' results or CancelResult.
    std::function<int32_t(const TDialogRequest&)> CustomDialog;

    bool Offers(int32_t result) const;
};

class TDialogService {
public:
    using TPresenter = std::function<int32_t(const TDialogRequest&)>;

    // Shows the request with the presenter in force and returns the answer: one of the buttons'
    // results, or CancelResult.
    int32_t Ask(const TDialogRequest& request);

    // A message box with standard buttons; CancelResult is mrCancel when offered, else mrNo when
    // offered, else the first button's result.
    int32_t MessageDlg(const QString& text, TMsgDlgType kind, TMsgDlgButtons buttons,
                       const QString& caption = {}, int32_t defaultResult = mrNone);
    // An information box with an OK button and the application's name as caption.
    void ShowMessage(const QString& text);

    // Replaces the presenter; returns the one it replaces. None restores the built-in choice.
    TPresenter SetPresenter(TPresenter presenter);

    static QVector<TDialogButton> StandardButtons(TMsgDlgButtons buttons);
    static QString KindCaption(TMsgDlgType kind);

private:
    friend TDialogService& DialogService();
    TDialogService() = default;
    TPresenter FPresenter;
};

TDialogService& DialogService();

// The built-in presenters.
int32_t ShowQtDialog(const TDialogRequest& request);
int32_t AnswerHeadless(const TDialogRequest& request);
