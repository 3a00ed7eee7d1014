#include "platform/ui/DialogService.h"

#include <cstdio>

#include <QGuiApplication>

bool TDialogRequest::Offers(int32_t result) const {
    for (const TDialogButton& b : Buttons)
        if (b.Result == result)
            return true;
    return false;
}

TDialogService& DialogService() {
    static TDialogService service;
    return service;
}

namespace {

bool IsHeadless() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return true;
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

struct TStandardButton {
    TMsgDlgBtn Button;
    const char* Caption;
    TModalResult Result;
};

constexpr TStandardButton StandardButtonTable[] = {
    {mbYes, "&Yes", mrYes},
    {mbNo, "&No", mrNo},
    {mbOK, "OK", mrOk},
    {mbCancel, "Cancel", mrCancel},
    {mbAbort, "&Abort", mrAbort},
    {mbRetry, "&Retry", mrRetry},
    {mbIgnore, "&Ignore", mrIgnore},
    {mbAll, "&All", mrAll},
    {mbNoToAll, "N&o to All", mrNoToAll},
    {mbYesToAll, "Yes to &All", mrYesToAll},
    {mbHelp, "&Help", mrHelp},
    {mbClose, "&Close", mrClose},
};

} // namespace

QVector<TDialogButton> TDialogService::StandardButtons(TMsgDlgButtons buttons) {
    QVector<TDialogButton> result;
    for (const TStandardButton& b : StandardButtonTable)
        if (buttons & b.Button)
            result.push_back({QString::fromLatin1(b.Caption), QString(), b.Result});
    return result;
}

QString TDialogService::KindCaption(TMsgDlgType kind) {
    switch (kind) {
    case mtWarning:
        return QStringLiteral("Warning");
    case mtError:
        return QStringLiteral("Error");
    case mtInformation:
        return QStringLiteral("Information");
    case mtConfirmation:
        return QStringLiteral("Confirm");
    case mtCustom:
        break;
    }
    return QCoreApplication::applicationName();
}

int32_t TDialogService::Ask(const TDialogRequest& request) {
    if (FPresenter)
        return FPresenter(request);
    return IsHeadless() ? AnswerHeadless(request) : ShowQtDialog(request);
}

int32_t TDialogService::MessageDlg(const QString& text, TMsgDlgType kind, TMsgDlgButtons buttons,
                                   const QString& caption, int32_t defaultResult) {
    TDialogRequest r;
    r.Kind = kind;
    r.Caption = caption;
    r.Text = text;
    r.Buttons = StandardButtons(buttons ? buttons : mbOK);
    r.DefaultResult = defaultResult;
    if (r.Offers(mrCancel))
        r.CancelResult = mrCancel;
    else if (r.Offers(mrNo))
        r.CancelResult = mrNo;
    else
        r.CancelResult = r.Buttons.front().Result;
    return Ask(r);
}

void TDialogService::ShowMessage(const QString& text) {
    MessageDlg(text, mtCustom, mbOK, QCoreApplication::applicationName());
}

TDialogService::TPresenter TDialogService::SetPresenter(TPresenter presenter) {
    std::swap(FPresenter, presenter);
    return presenter;
}

int32_t AnswerHeadless(const TDialogRequest& request) {
    const QString caption =
        request.Caption.isEmpty() ? TDialogService::KindCaption(request.Kind) : request.Caption;
    std::fprintf(stderr, "%s: %s [answered with the cancel choice: no window to ask in]\n",
                 qUtf8Printable(caption), qUtf8Printable(request.Text));
    return request.CancelResult;
}
