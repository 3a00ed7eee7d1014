// The program's presenter of the dialog service: a modal Qt message box.
#include "platform/ui/DialogService.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

QMessageBox::Icon IconOf(TMsgDlgType kind) {
    switch (kind) {
    case mtWarning:
        return QMessageBox::Warning;
    case mtError:
        return QMessageBox::Critical;
    case mtInformation:
        return QMessageBox::Information;
    case mtConfirmation:
        return QMessageBox::Question;
    case mtCustom:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::ButtonRole RoleOf(int32_t result) {
    switch (result) {
    case mrYes:
    case mrYesToAll:
        return QMessageBox::YesRole;
    case mrNo:
    case mrNoToAll:
        return QMessageBox::NoRole;
    case mrCancel:
    case mrAbort:
    case mrClose:
        return QMessageBox::RejectRole;
    case mrHelp:
        return QMessageBox::HelpRole;
    default:
        return QMessageBox::AcceptRole;
    }
}

} // namespace

int32_t ShowQtDialog(const TDialogRequest& request) {
    if (request.CustomDialog)
        return request.CustomDialog(request);
    QMessageBox box(IconOf(request.Kind),
                    request.Caption.isEmpty() ? TDialogService::KindCaption(request.Kind)
                                              : request.Caption,
                    request.Text, QMessageBox::NoButton, QApplication::activeWindow());
    box.setTextFormat(request.RichText ? Qt::RichText : Qt::PlainText);
    QVector<QPair<QAbstractButton*, int32_t>> results;
    for (const TDialogButton& b : request.Buttons) {
        QPushButton* button = box.addButton(b.Caption, RoleOf(b.Result));
        button->setToolTip(b.Hint);
        results.push_back({button, b.Result});
        if (b.Result == request.DefaultResult)
            box.setDefaultButton(button);
        if (b.Result == request.CancelResult)
            box.setEscapeButton(button);
    }
    box.exec();
    for (const auto& [button, result] : results)
        if (button == box.clickedButton())
            return result;
    return request.CancelResult;
}
