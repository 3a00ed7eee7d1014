#include "platform/ui/DialogService.h"

#include "platform/ui/Application.h"
#include "platform/ui/ScriptedDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

TEST(TDialogService, StandardButtonsKeepTheirOrderCaptionsAndResults) {
    const QVector<TDialogButton> b =
        TDialogService::StandardButtons(mbYesToAll | mbCancel | mbNo | mbYes);
    ASSERT_EQ(b.size(), 4);
    EXPECT_EQ(b[0].Result, mrYes);
    EXPECT_EQ(b[1].Result, mrNo);
    EXPECT_EQ(b[2].Result, mrCancel);
    EXPECT_EQ(b[3].Result, mrYesToAll);
    EXPECT_EQ(b[3].Caption, QStringLiteral("Yes to &All"));
}

TEST(TDialogService, MessageDlgTellsItsCancelAnswer) {
    struct Case {
        TMsgDlgButtons Buttons;
        int32_t Cancel;
    };
    const Case cases[] = {
        {mbYes | mbNo | mbCancel | mbYesToAll, mrCancel},
        {mbYesNo, mrNo},
        {mbOK, mrOk},
        {mbAbort | mbRetry | mbIgnore, mrAbort},
    };
    for (const Case& c : cases) {
        TScriptedDialogs dialogs;
        EXPECT_EQ(DialogService().MessageDlg("q", mtWarning, c.Buttons), c.Cancel)
            << "buttons " << c.Buttons;
        ASSERT_EQ(dialogs.Asked().size(), 1);
        EXPECT_TRUE(dialogs.Asked()[0].Unexpected);
    }
}

TEST(TScriptedDialogs, AnswersFromItsQueueAndRecordsEachQuestion) {
    TScriptedDialogs dialogs;
    dialogs.Answer(mrYesToAll);
    dialogs.Answer(mrNo);
    EXPECT_EQ(DialogService().MessageDlg("The file x exists", mtWarning,
                                         mbYes | mbNo | mbCancel | mbYesToAll, {}, mrYes),
              mrYesToAll);
    EXPECT_EQ(DialogService().MessageDlg("Overwrite?", mtConfirmation, mbYesNo), mrNo);
    ASSERT_EQ(dialogs.Asked().size(), 2);
    EXPECT_EQ(dialogs.Asked()[0].Request.Text, QStringLiteral("The file x exists"));
    EXPECT_EQ(dialogs.Asked()[0].Request.Kind, mtWarning);
    EXPECT_EQ(dialogs.Asked()[0].Request.DefaultResult, mrYes);
    EXPECT_EQ(dialogs.Asked()[1].Answer, mrNo);
    EXPECT_EQ(dialogs.UnexpectedCount(), 0);
    EXPECT_EQ(dialogs.UnusedAnswers(), 0u);
}

TEST(TScriptedDialogs, AnAnswerThatIsNotOfferedCountsAsUnexpected) {
    TScriptedDialogs dialogs;
    dialogs.Answer(mrYesToAll);
    EXPECT_EQ(DialogService().MessageDlg("?", mtConfirmation, mbYesNo), mrNo);
    EXPECT_EQ(dialogs.UnexpectedCount(), 1);
}

TEST(TScriptedDialogs, CustomButtonsAnswerWithTheirOwnResults) {
    TScriptedDialogs dialogs;
    dialogs.Answer(1);
    TDialogRequest r;
    r.Text = "Where to save?";
    r.Buttons = {{"Normal", "registry", 0}, {"Portable", "ini file", 1}, {"None", "", 2}};
    r.CancelResult = -1;
    bool customRan = false;
    r.CustomDialog = [&](const TDialogRequest&) {
        customRan = true;
        return 0;
    };
    EXPECT_EQ(DialogService().Ask(r), 1);
    EXPECT_FALSE(customRan);
    EXPECT_EQ(DialogService().Ask(r), -1); // nothing queued: the cancel answer
    EXPECT_EQ(dialogs.UnexpectedCount(), 1);
}

TEST(TScriptedDialogs, NestedScopesRestoreThePresenterTheyReplaced) {
    TScriptedDialogs outer;
    outer.Answer(mrYes);
    {
        TScriptedDialogs inner;
        inner.Answer(mrNo);
        EXPECT_EQ(DialogService().MessageDlg("?", mtConfirmation, mbYesNo), mrNo);
    }
    EXPECT_EQ(DialogService().MessageDlg("?", mtConfirmation, mbYesNo), mrYes);
}

TEST(TDialogService, HeadlessRunsGetTheCancelAnswer) {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("offscreen"));
    EXPECT_EQ(DialogService().MessageDlg("headless?", mtWarning, mbYesNoCancel), mrCancel);
}

TEST(TDialogService, ShowExceptionAsksAnErrorBoxWithTheMessage) {
    TScriptedDialogs dialogs;
    dialogs.Answer(mrOk);
    Application().ShowException(std::runtime_error("Unable to create directory \xC3\xA9"));
    ASSERT_EQ(dialogs.Asked().size(), 1);
    EXPECT_EQ(dialogs.Asked()[0].Request.Kind, mtError);
    EXPECT_EQ(dialogs.Asked()[0].Request.Text, QStringLiteral("Unable to create directory \u00e9"));
    EXPECT_EQ(dialogs.Asked()[0].Request.Buttons.size(), 1);
}

// The Qt message box, clicked by a timer the way a user would.
int32_t ClickInQtDialog(TDialogRequest request, const QString& caption) {
    QString tip;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        for (QAbstractButton* b : box->buttons())
            if (b->text() == caption) {
                tip = b->toolTip();
                b->click();
                return;
            }
        box->reject();
    });
    return ShowQtDialog(request);
}

TEST(ShowQtDialog, ReturnsTheResultOfTheClickedButton) {
    TDialogRequest r;
    r.Kind = mtWarning;
    r.Text = "Replace?";
    r.Buttons = TDialogService::StandardButtons(mbYes | mbNo | mbCancel | mbYesToAll);
    EXPECT_EQ(ClickInQtDialog(r, "Yes to &All"), mrYesToAll);
    EXPECT_EQ(ClickInQtDialog(r, "&No"), mrNo);
    EXPECT_EQ(ClickInQtDialog(r, "no such button"), mrCancel); // closed: the cancel answer
}

TEST(ShowQtDialog, CustomButtonsCarryTheirResults) {
    TDialogRequest r;
    r.Buttons = {{"Normal", "registry", 0}, {"Portable", "ini file", 1}, {"None", "", 2}};
    r.CancelResult = -1;
    EXPECT_EQ(ClickInQtDialog(r, "Portable"), 1);
    EXPECT_EQ(ClickInQtDialog(r, "nothing"), -1);
}

} // namespace
