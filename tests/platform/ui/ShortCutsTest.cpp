#include "platform/ui/ShortCuts.h"

#include <QAction>
#include <QWidget>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

TEST(ShortCuts, CodesAndTheirTexts) {
    struct Case {
        TShortCut Code;
        const char* Text;
    };
    const Case cases[] = {
        {ShortCut('O', scCtrl), "Ctrl+O"},
        {ShortCut(VK_F1 + 11), "F12"},
        {ShortCut(VK_F1 + 9, scAlt), "Alt+F10"},
        {ShortCut(VK_HOME, scShift | scCtrl), "Shift+Ctrl+Home"},
        {ShortCut(VK_NEXT, scShift | scCtrl), "Shift+Ctrl+PgDn"},
        {ShortCut(VK_ADD), "Num +"},
        {ShortCut(VK_NUMPAD0 + 7, scCtrl), "Ctrl+Num 7"},
        {ShortCut(VK_DECIMAL), "Num Del"},
        {ShortCut(VK_SPACE, scCtrl), "Ctrl+Space"},
        {ShortCut(VK_RETURN, scAlt), "Alt+Enter"},
        {ShortCut(VK_BACK, scAlt), "Alt+BkSp"},
        {ShortCut(VK_OEM_5, scCtrl), "Ctrl+\\"},
        {ShortCut('V', scCtrl | scAlt), "Ctrl+Alt+V"},
        {ShortCut(VK_ESCAPE), "Esc"},
        {ShortCut('5', scShift | scCtrl | scAlt), "Shift+Ctrl+Alt+5"},
        {ShortCut(VK_F24), "F24"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShortCutToText(c.Code), QString::fromLatin1(c.Text)) << c.Text;
        EXPECT_EQ(TextToShortCut(QString::fromLatin1(c.Text)), c.Code) << c.Text;
    }
    EXPECT_EQ(ShortCutToText(0), QString());
    EXPECT_EQ(ShortCutToText(ShortCut(0xFF, scCtrl)), QString()); // no such key
}

TEST(ShortCuts, TextsReadInOtherSpellingsAndOrders) {
    struct Case {
        const char* Text;
        TShortCut Code;
    };
    const Case cases[] = {
        {"ctrl+o", ShortCut('O', scCtrl)},
        {"CTRL+V", ShortCut('V', scCtrl)},
        {"Ctrl+Shift+Home", ShortCut(VK_HOME, scShift | scCtrl)},
        {"Shift+Ctrl+PageDown", ShortCut(VK_NEXT, scShift | scCtrl)},
        {"Ctrl+PageUp", ShortCut(VK_PRIOR, scCtrl)},
        {"Alt+Backspace", ShortCut(VK_BACK, scAlt)},
        {"Num .", ShortCut(VK_DECIMAL)},
        {"num +", ShortCut(VK_ADD)},
        {" F5 ", ShortCut(VK_F1 + 4)},
        {"Alt+-", ShortCut(VK_OEM_MINUS, scAlt)},
        {"", 0},
        {"Ctrl+", 0},
        {"Ctrl++", 0},
        {"Hyper+X", 0},
        {"F25", 0},
        {"F0", 0},
        {"F01", 0},
        {"Num 10", 0},
        {"Ctrl+OO", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TextToShortCut(QString::fromLatin1(c.Text)), c.Code) << '"' << c.Text << '"';
}

TEST(ShortCuts, MapBothWaysToQtKeySequences) {
    struct Case {
        TShortCut Code;
        QKeySequence Sequence;
    };
    const Case cases[] = {
        {ShortCut('O', scCtrl), QKeySequence(Qt::CTRL | Qt::Key_O)},
        {ShortCut(VK_F1 + 11), QKeySequence(Qt::Key_F12)},
        {ShortCut(VK_F1 + 9, scAlt), QKeySequence(Qt::ALT | Qt::Key_F10)},
        {ShortCut(VK_HOME, scShift | scCtrl), QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_Home)},
        {ShortCut(VK_ADD), QKeySequence(Qt::KeypadModifier | Qt::Key_Plus)},
        {ShortCut(VK_NUMPAD0 + 3), QKeySequence(Qt::KeypadModifier | Qt::Key_3)},
        {ShortCut('3'), QKeySequence(Qt::Key_3)},
        {ShortCut(VK_OEM_5, scCtrl), QKeySequence(Qt::CTRL | Qt::Key_Backslash)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShortCutToKeySequence(c.Code), c.Sequence)
            << ShortCutToText(c.Code).toStdString();
        EXPECT_EQ(KeySequenceToShortCut(c.Sequence), c.Code)
            << ShortCutToText(c.Code).toStdString();
    }
    EXPECT_TRUE(ShortCutToKeySequence(0).isEmpty());
    EXPECT_EQ(KeySequenceToShortCut(QKeySequence(Qt::Key_Enter)), ShortCut(VK_RETURN));
    EXPECT_EQ(KeySequenceToShortCut(QKeySequence(Qt::Key_Plus)), 0); // '+' is no key of its own
    EXPECT_EQ(KeySequenceToShortCut(QKeySequence()), 0);
}

TEST(ShortCuts, AQActionFiresOnItsMappedKeys) {
    QWidget window;
    QAction action(&window);
    action.setShortcut(ShortCutToKeySequence(TextToShortCut("Shift+Ctrl+Home")));
    window.addAction(&action);
    int fired = 0;
    QObject::connect(&action, &QAction::triggered, [&] { ++fired; });
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window))
        GTEST_SKIP() << "no active window on this platform";
    QTest::keyClick(&window, Qt::Key_Home, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(fired, 1);
    QTest::keyClick(&window, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(fired, 1);
}

} // namespace
