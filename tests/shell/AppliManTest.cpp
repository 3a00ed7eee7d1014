// The application manager on a window of its own: the three pages replace each other over the
// window and show what they carry, the close links and the e-mail and home page commands, the
// script and help windows follow their page actions (also when the user closes them), the page
// states come back from the preferences without being applied, and the window's bounds are
// centred at the first start and restored at later ones.
#include "commands/uCheckAction.h"
#include "commands/uHelpForm.h"
#include "commands/uNopeAction.h"
#include "commands/uRectAction.h"
#include "commands/uScriptForm.h"
#include "platform/ui/Colors.h"
#include "shell/uAbout.h"
#include "shell/uLinkEdit.h"
#include "shell/uZvAppliMan.h"
#include "shell/uZvVersion.h"
#include "tests/commands/support/FakePreferences.h"

#include <memory>

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTextCursor>
#include <QTextDocument>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

constexpr int kBar = 30;

// A window with the manager, as the main window has it; the window's own colour is a green that
// no page uses.
struct TWindowWithManager {
    TWindowWithManager() {
        form = std::make_unique<QWidget>();
        form->resize(900, 600);
        form->setAutoFillBackground(true);
        QPalette palette = form->palette();
        palette.setColor(QPalette::Window, QColor(0, 128, 0));
        form->setPalette(palette);
        am = new TZvAppliMan(form.get());
        am->BuildActions();
        am->SetWinControl(form.get());
        am->SetTopMargin(kBar);
        am->OpenUrl = [this](const QString& address) {
            opened.append(address);
            return true;
        };
        form->show();
        QApplication::processEvents();
    }
    QColor Seen(QPoint at) const { return form->grab().toImage().pixelColor(at); }
    // What the page area shows, near its top left corner (clear of any frame).
    QColor PageArea() const { return Seen(QPoint(4, kBar + 4)); }

    std::unique_ptr<QWidget> form;
    TZvAppliMan* am = nullptr;
    QStringList opened;
};

// The middle of the first character of a word in the link label, in viewport coordinates.
QPoint PointOfText(TLinkEdit& edit, const QString& word) {
    const int position = int(edit.toPlainText().indexOf(word));
    EXPECT_GE(position, 0) << word.toStdString();
    QTextCursor c(edit.document());
    c.setPosition(position);
    const QRect left = edit.cursorRect(c);
    c.setPosition(position + 1);
    const QRect right = edit.cursorRect(c);
    return QPoint((left.x() + right.x()) / 2, left.center().y());
}

void ClickText(TLinkEdit& edit, const QString& word) {
    const QPoint p = PointOfText(edit, word);
    const QPoint global = edit.viewport()->mapToGlobal(p);
    QMouseEvent move(QEvent::MouseMove, p, global, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(edit.viewport(), &move);
    QMouseEvent press(QEvent::MouseButtonPress, p, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(edit.viewport(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, p, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(edit.viewport(), &release);
    QApplication::processEvents();
}

QWidget* SettingsFrame() {
    auto* frame = new QWidget;
    frame->resize(400, 260);
    frame->setAutoFillBackground(true);
    QPalette palette = frame->palette();
    palette.setColor(QPalette::Window, QColor(200, 220, 255));
    frame->setPalette(palette);
    return frame;
}

TEST(AppliMan, SettingsThenAboutReplaceEachOtherAndAboutAgainGivesTheWindowBack) {
    TWindowWithManager w;
    QWidget* settings = SettingsFrame();
    w.am->SetOptionsFrame(settings);
    auto* about = new TAboutFrame;
    w.am->SetAboutFrame(about);
    const QColor own = w.PageArea();
    ASSERT_EQ(own, QColor(0, 128, 0));

    w.am->caOptions->Execute(); // F10
    QApplication::processEvents();
    EXPECT_TRUE(w.am->caOptions->Checked());
    EXPECT_EQ(w.PageArea(), ToQColor(clSilver));
    // The frame sits centred on the page.
    const QPoint centre = w.form->rect().adjusted(0, kBar, 0, 0).center();
    EXPECT_EQ(w.Seen(centre), QColor(200, 220, 255));
    EXPECT_LE((settings->mapTo(w.form.get(), settings->rect().center()) - centre).manhattanLength(),
              2);
    // and stays centred when the window is resized.
    w.form->resize(1000, 700);
    QApplication::processEvents();
    EXPECT_LE((settings->mapTo(w.form.get(), settings->rect().center()) -
               w.form->rect().adjusted(0, kBar, 0, 0).center())
                  .manhattanLength(),
              2);

    w.am->caAbout->Execute(); // F11
    QApplication::processEvents();
    EXPECT_TRUE(w.am->caAbout->Checked());
    EXPECT_FALSE(w.am->caOptions->Checked());
    EXPECT_EQ(w.PageArea(), ToQColor(clAppWorkSpace));
    EXPECT_FALSE(settings->isVisible());
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(about->labTitre->text(), kelvara::ZvFullName());

    w.am->caAbout->Execute(); // F11 again
    QApplication::processEvents();
    EXPECT_FALSE(w.am->caAbout->Checked());
    EXPECT_EQ(w.PageArea(), own);
}

TEST(AppliMan, TheCustomPageTakesThePlaceOfTheOthersAndTheyOfIt) {
    TWindowWithManager w;
    w.am->SetOptionsFrame(SettingsFrame());
    auto* custom = new QLabel(QStringLiteral("custom"));
    custom->resize(200, 100);
    w.am->SetCustomFrame(custom);
    w.am->caOptions->SetChecked(true);
    w.am->caCustom->SetChecked(true);
    EXPECT_FALSE(w.am->caOptions->Checked());
    EXPECT_TRUE(custom->isVisible());
    w.am->caOptions->SetChecked(true);
    EXPECT_FALSE(w.am->caCustom->Checked());
    EXPECT_FALSE(custom->isVisible());
}

TEST(AppliMan, WithoutFramesThePageActionsOnlyChangeTheirState) {
    TWindowWithManager w;
    const QColor own = w.PageArea();
    const QString caption = w.am->caOptions->Caption();
    w.am->caOptions->Execute();
    EXPECT_TRUE(w.am->caOptions->Checked());
    EXPECT_EQ(w.am->caOptions->Caption(), caption); // the same caption in both states
    EXPECT_EQ(w.am->caOptions->Hint(), QStringLiteral("Click to close the Settings Page"));
    EXPECT_EQ(w.PageArea(), own);
    w.am->caAbout->Execute();
    EXPECT_FALSE(w.am->caOptions->Checked());
    EXPECT_EQ(w.am->caOptions->Hint(), QStringLiteral("Click to display the Settings Page"));
    EXPECT_EQ(w.PageArea(), own);
}

TEST(AppliMan, TheCloseLinksUncheckTheirPageAndHideIt) {
    TWindowWithManager w;
    QWidget* settings = SettingsFrame();
    w.am->SetOptionsFrame(settings);
    w.am->SetAboutFrame(new TAboutFrame);
    const QColor own = w.PageArea();
    w.am->caOptions->SetChecked(true);
    QApplication::processEvents();
    TLinkEdit* link = w.am->OptionsCloseLink();
    ASSERT_TRUE(link->isVisible());
    // On the frame, in its bottom right corner.
    EXPECT_EQ(link->parentWidget(), settings);
    EXPECT_EQ(link->geometry().bottomRight() + QPoint(1 + 16, 1 + 16),
              QPoint(settings->width(), settings->height()));
    EXPECT_EQ(link->PlainText(), QStringLiteral("Type F10 to close this page or click here."));
    ClickText(*link, QStringLiteral("click here"));
    EXPECT_FALSE(w.am->caOptions->Checked());
    EXPECT_EQ(w.PageArea(), own);

    w.am->caAbout->SetChecked(true);
    QApplication::processEvents();
    auto* about = dynamic_cast<TAboutFrame*>(w.am->AboutFrame());
    ASSERT_TRUE(about);
    ClickText(*about->leClose, QStringLiteral("click here"));
    EXPECT_FALSE(w.am->caAbout->Checked());
    EXPECT_EQ(w.PageArea(), own);
}

TEST(AppliMan, TheAboutPageLinksOpenTheirAddressAndTheMailGoesToTheAuthor) {
    TWindowWithManager w;
    auto* about = new TAboutFrame;
    about->OpenUrl = w.am->OpenUrl;
    w.am->SetAboutFrame(about);
    w.am->TitreUses = {QStringLiteral("Pascal engine")};
    w.am->UrlUses = {QStringLiteral("https://engine.example.org/")};
    w.am->caAbout->SetChecked(true);
    QApplication::processEvents();
    const QString text = about->leInfos->toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("It uses Pascal engine.")));
    EXPECT_TRUE(text.contains(QStringLiteral("Its last update has been made on 12/03/2022.")));
    ClickText(*about->leInfos, QStringLiteral("documentation"));
    ClickText(*about->leInfos, QStringLiteral("Pascal engine"));
    ClickText(*about->leInfos, kelvara::ZvAuthor());
    ASSERT_EQ(w.opened.size(), 3);
    EXPECT_EQ(w.opened[0], kelvara::ZvDocumentationPage());
    EXPECT_EQ(w.opened[1], QStringLiteral("https://engine.example.org/"));
    EXPECT_TRUE(w.opened[2].startsWith(QStringLiteral("mailto:") + kelvara::ZvContactAddress() +
                                       QStringLiteral("?subject=About%20Kelvara%206.3.2%20en")))
        << w.opened[2].toStdString();
    // A web target with a trailing copyright sign opens without it.
    EXPECT_EQ(TAboutFrame::UrlTarget(QStringLiteral("https://kelvara.example.org/\u00a9")),
              QStringLiteral("https://kelvara.example.org/"));
}

TEST(AppliMan, EMailAndHomePageHandTheDesktopTheirLinks) {
    TWindowWithManager w;
    w.am->naEMail->Execute();
    w.am->naHomePage->Execute();
    ASSERT_EQ(w.opened.size(), 2);
    EXPECT_EQ(w.opened[0], QStringLiteral("mailto:") + kelvara::ZvContactAddress() +
                               QStringLiteral("?subject=About%20Kelvara%206.3.2%20en&body="));
    EXPECT_EQ(w.opened[1], kelvara::ZvHomePage());
}

TEST(AppliMan, TheScriptAndHelpWindowsFollowTheirActionsAndUncheckThemWhenClosed) {
    TWindowWithManager w;
    w.am->caScript->Execute(); // F12
    QApplication::processEvents();
    EXPECT_TRUE(w.am->ScriptForm()->isVisible());
    w.am->caHelp->Execute(); // F1
    QApplication::processEvents();
    EXPECT_TRUE(w.am->HelpForm()->isVisible());
    // The pages are independent of the two windows.
    w.am->caOptions->Execute();
    EXPECT_TRUE(w.am->caScript->Checked());
    EXPECT_TRUE(w.am->caHelp->Checked());

    w.am->ScriptForm()->close(); // the user closes the windows
    w.am->HelpForm()->close();
    QApplication::processEvents();
    EXPECT_FALSE(w.am->caScript->Checked());
    EXPECT_FALSE(w.am->caHelp->Checked());
    EXPECT_FALSE(w.am->ScriptForm()->isVisible());
    w.am->caScript->Execute();
    EXPECT_TRUE(w.am->ScriptForm()->isVisible());
    w.am->caScript->Execute();
    EXPECT_FALSE(w.am->ScriptForm()->isVisible());
}

TEST(AppliMan, AnOpenScriptPageComesBackCheckedWithoutTheWindowAndTheNextF12UnchecksIt) {
    TFakePreferences prefs;
    {
        TWindowWithManager first;
        first.am->caScript->SetChecked(true);
        first.am->SaveToPrefs(prefs);
    }
    TWindowWithManager next;
    next.am->LoadFromPrefs(prefs);
    QApplication::processEvents();
    EXPECT_TRUE(next.am->caScript->Checked());
    EXPECT_FALSE(next.am->ScriptForm()->isVisible());
    next.am->caScript->Execute();
    EXPECT_FALSE(next.am->caScript->Checked());
    EXPECT_FALSE(next.am->ScriptForm()->isVisible());
}

TEST(AppliMan, TheFirstStartCentresTheWindowAndLaterStartsRestoreItsBounds) {
    TFakePreferences prefs;
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    {
        TWindowWithManager first;
        first.form->resize(640, 480);
        first.am->LoadFromPrefs(prefs); // nothing stored yet
        QApplication::processEvents();
        EXPECT_EQ(first.form->geometry(),
                  QRect((screen.width() - 640) / 2, (screen.height() - 480) / 2, 640, 480));
        first.form->setGeometry(40, 50, 700, 450);
        first.am->SaveToPrefs(prefs);
    }
    TWindowWithManager next;
    next.am->LoadFromPrefs(prefs);
    QApplication::processEvents();
    EXPECT_EQ(next.form->geometry(), QRect(40, 50, 700, 450));

    // Bounds that no screen shows any more are moved back onto the screen, and bounds without a
    // size are not applied.
    prefs.Values[QStringLiteral("FormSave")] = TRect{50000, 50000, 50700, 50450};
    next.am->LoadFromPrefs(prefs);
    EXPECT_TRUE(screen.intersects(next.form->geometry()));
    EXPECT_EQ(next.form->size(), QSize(700, 450));
    prefs.Values[QStringLiteral("FormSave")] = TRect{10, 10, 10, 10};
    next.am->LoadFromPrefs(prefs);
    EXPECT_EQ(next.form->size(), QSize(700, 450));
}

TEST(AppliMan, ADestroyedFrameLeavesItsPageWithoutContent) {
    TWindowWithManager w;
    const QColor own = w.PageArea();
    QWidget* settings = SettingsFrame();
    w.am->SetOptionsFrame(settings);
    w.am->caOptions->SetChecked(true);
    w.am->caOptions->SetChecked(false);
    delete settings; // the close link on it goes with it
    EXPECT_EQ(w.am->OptionsFrame(), nullptr);
    EXPECT_EQ(w.am->OptionsCloseLink(), nullptr);
    w.am->SetOptionsCloseVisible(false);
    w.am->caOptions->SetChecked(true);
    EXPECT_TRUE(w.am->caOptions->Checked());
    EXPECT_EQ(w.PageArea(), own);
    // A new frame gets a close link again, shown as asked.
    QWidget* again = SettingsFrame();
    w.am->SetOptionsFrame(again);
    w.am->caOptions->SetChecked(true);
    ASSERT_NE(w.am->OptionsCloseLink(), nullptr);
    EXPECT_EQ(w.am->OptionsCloseLink()->parentWidget(), again);
    EXPECT_FALSE(w.am->OptionsCloseLink()->isVisible());
    w.am->SetOptionsCloseVisible(true);
    EXPECT_TRUE(w.am->OptionsCloseLink()->isVisible());
}

TEST(AppliMan, QuitClosesTheWindow) {
    TWindowWithManager w;
    ASSERT_TRUE(w.form->isVisible());
    w.am->naQuit->Execute();
    EXPECT_FALSE(w.form->isVisible());
}

TEST(AppliMan, TheCloseLinkHintSaysWhereItLeads) {
    TWindowWithManager w;
    w.am->SetOptionsFrame(SettingsFrame());
    w.am->caOptions->SetChecked(true);
    QApplication::processEvents();
    TLinkEdit* link = w.am->OptionsCloseLink();
    const QPoint p = PointOfText(*link, QStringLiteral("click here"));
    QMouseEvent move(QEvent::MouseMove, p, link->viewport()->mapToGlobal(p), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(link->viewport(), &move);
    EXPECT_EQ(link->toolTip(),
              QStringLiteral("Click to close that page\nand return to the application"));
}

} // namespace
