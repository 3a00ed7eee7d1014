// The save-mode dialog: its size, label, buttons, and what choosing or closing it gives.
#include "preferences/uSavePrefs.h"
#include "shell/uLinkEdit.h"

#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const QString LabelText = QStringLiteral(
    "<br><size 10><i>Do you want to save your preferences and find them again on next start?<br>"
    "<br>Click on your choice:</i><br><br>* either to save them in the registry (normal mode)."
    "<br>* either to save them in an ini-file (portable mode).<br>* either not to save them. In "
    "the last case, all preferences will be lost, and the default values will be loaded on the "
    "next start.<br></size>");

TEST(SavePrefsForm, LooksAsDescribed) {
    TSavePrefsForm form;
    EXPECT_EQ(form.size(), QSize(551, 364));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(form.Label().RichText(), LabelText);
    EXPECT_TRUE(form.Label().PlainText().startsWith(QStringLiteral("\r\nDo you want")));
    struct Case {
        TSavePreferences mode;
        const char* caption;
        const char* hint;
    };
    const Case cases[] = {
        {spRegistre, "Normal",
         "Save the Preferences in the registry.\nIf an ini file existed, it will be deleted."},
        {spPortable, "Portable",
         "Saves the preferences to an ini file.\nDeletes the preferences from the registry."},
        {spNone, "None",
         "Exit without saving the preferences.\nIf they existed in an ini-file or in the "
         "registry,\nthey will be deleted."},
    };
    int previousRight = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        const QPushButton& b = form.Button(c.mode);
        EXPECT_EQ(b.text(), QString::fromLatin1(c.caption));
        EXPECT_EQ(b.toolTip(), QString::fromLatin1(c.hint));
        EXPECT_FALSE(b.icon().isNull());
        EXPECT_GE(b.geometry().left(), previousRight); // left to right, inside the dialog
        EXPECT_LE(b.geometry().right(), 551);
        previousRight = b.geometry().right();
    }
}

TEST(SavePrefsForm, AButtonAnswersAndClosingDoesNot) {
    for (TSavePreferences mode : {spRegistre, spPortable, spNone}) {
        TSavePrefsForm form;
        QTimer::singleShot(0, &form, [&] { form.Button(mode).click(); });
        EXPECT_EQ(form.Execute(), std::optional(mode));
        EXPECT_TRUE(form.Answered());
        EXPECT_EQ(form.ChosenMode(), mode);
    }
    TSavePrefsForm form;
    QTimer::singleShot(0, &form, [&] { form.close(); });
    EXPECT_EQ(form.Execute(), std::nullopt);
    EXPECT_FALSE(form.Answered());
}

TEST(SavePrefsForm, TheRequestCarriesTheSameQuestion) {
    const TDialogRequest r = TSavePrefsForm::Request(QStringLiteral("Saving the preferences of X"));
    EXPECT_EQ(r.Caption, QStringLiteral("Saving the preferences of X"));
    EXPECT_EQ(r.Text, LabelText);
    EXPECT_TRUE(r.RichText);
    ASSERT_EQ(r.Buttons.size(), 3);
    EXPECT_EQ(r.Buttons[2].Hint, QStringLiteral("Exit without saving the preferences.\r\nIf they "
                                                "existed in an ini-file or in the registry,\r\n"
                                                "they will be deleted."));
    for (TSavePreferences mode : {spRegistre, spPortable, spNone}) {
        EXPECT_EQ(r.Buttons[mode].Result, TSavePrefsForm::ResultOf(mode));
        EXPECT_EQ(TSavePrefsForm::ModeOf(TSavePrefsForm::ResultOf(mode)), mode);
    }
    EXPECT_FALSE(r.Offers(r.CancelResult));
    EXPECT_EQ(TSavePrefsForm::ModeOf(r.CancelResult), std::nullopt);
}

} // namespace
