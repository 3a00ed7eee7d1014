#include "commands/uHelpForm.h"
#include "commands/uObjetListbox.h"
#include "commands/uScriptAction.h"
#include "commands/uSuperAction.h"
#include "platform/ui/Colors.h"
#include "platform/ui/ShortCuts.h"
#include "shell/LinkMarkup.h"
#include "shell/uLinkEdit.h"
#include "tests/commands/support/QtPrint.h"

#include <tuple>

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QMenu>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <Qsci/qsciscintilla.h>

#include <gtest/gtest.h>

namespace {

QStringList Texts(const QListWidget& box) {
    QStringList texts;
    for (int i = 0; i < box.count(); ++i)
        texts.append(box.item(i)->text());
    return texts;
}

QStringList SelectedTexts(const QListWidget& box) {
    QStringList texts;
    for (int i = 0; i < box.count(); ++i)
        if (box.item(i)->isSelected())
            texts.append(box.item(i)->text());
    return texts;
}

void Click(QListWidget& box, int row, Qt::KeyboardModifiers modifiers = {}) {
    QTest::mouseClick(box.viewport(), Qt::LeftButton, modifiers,
                      box.visualItemRect(box.item(row)).center());
}

// The test library sends the double-click event alone; a user's double-click starts with a click.
void DoubleClick(QListWidget& box, int row) {
    Click(box, row);
    QTest::mouseDClick(box.viewport(), Qt::LeftButton, {},
                       box.visualItemRect(box.item(row)).center());
}

int Row(const QListWidget& box, const QString& text) {
    return Texts(box).indexOf(text);
}

// The program's two forms with lists of the kinds they hold: the main window's general list and a
// manager's list share the page "Kelvara"; the script window's macro list has its own page, with
// the start and stop commands that have no script name.
class HelpFormTest : public testing::Test {
protected:
    void SetUp() override {
        auto* abort = Add<TNopeAction>(*manager, "Abort", ShortCut(VK_F1 + 9, scAlt), "",
                                       "Abort the running <b>series</b>");
        abort->OnAfterApply = [this] { ++aborts; };
        grab = Add<TNopeAction>(*general, "Grab", ShortCut(VK_F1 + 11), "grab",
                                "Grab the picture on screen");
        grab->Comments = {"Writes the picture under the next name.",
                          "The name is shown on the <i>naming</i> page."};
        grab->OnAfterApply = [this] { ++grabs; };
        Add<TIntegerAction>(*general, "Digits", 0, "digits", "Digits of the counter");
        fullScreen =
            Add<TCheckAction>(*general, "FullScreen", ShortCut('F', scCtrl), "fullscreen", "");
        fullScreen->SetTrueHint("Leave full screen");
        fullScreen->SetFalseHint("Show the video on the whole screen");
        fullScreen->Variables = "fDoTrue";
        fullScreen->Comments = {"Escape leaves it too."};
        Add<TWidestringAction>(*general, "ImageFolder", 0, "folder", "Folder of the pictures");
        Add<TNopeAction>(*general, "Quit", 0, "", "Close the program");
        Add<TNopeAction>(*manager, "Open", ShortCut('O', scCtrl), "o", "Open a video file");
        Add<TCheckAction>(*manager, "Mute", ShortCut('M', scCtrl), "", "Sound off");
        Add<TDoubleAction>(*manager, "Volume", 0, "volume", "Volume of the sound");
        Add<TNopeAction>(*manager, "NextFrame", ShortCut(VK_RIGHT), "", "One frame forward");

        auto* start = Add<TNopeAction>(*macros, "", ShortCut(VK_F1 + 8), "", "Run the script");
        start->OnAfterApply = [this] { ++starts; };
        auto* stop = Add<TNopeAction>(*macros, "", ShortCut(VK_F1 + 1, scCtrl), "",
                                      "Stop the running script");
        stop->OnAfterApply = [this] { ++stops; };
        Add<TCheckAction>(*macros, "Record", ShortCut('R', scCtrl), "", "Record a macro");
        Add<TNopeAction>(*macros, "NewScript", ShortCut('N', scCtrl), "", "A new script");

        help.AddList("Kelvara", general);
        help.AddList("Kelvara", manager);
        help.AddList("Scripts", macros);
        help.show();
    }

    template <class T>
    T* Add(TZvActionList& list, const char* scriptName, TShortCut shortcut, const char* sw,
           const char* hint) {
        auto* action = new T(QStringLiteral("x%1").arg(list.ActionCount()), &list);
        action->ScriptName = scriptName;
        action->SetShortCut(shortcut);
        action->Switch = sw;
        action->SetHint(hint);
        return action;
    }

    TObjetListBox& Page(const char* name) {
        TObjetListBox* box = help.ListBox(name);
        EXPECT_NE(box, nullptr) << name;
        return *box;
    }

    TCustomAbstractAction* ActionOf(TObjetListBox& box, int row) {
        auto* entry = dynamic_cast<TActionObjet*>(box.Objet(row));
        return entry ? entry->Action() : nullptr;
    }

    void ChooseSortOrder(const QString& caption) {
        for (QAction* item : help.pmenu->actions())
            if (item->text() == caption)
                item->trigger();
    }

    QWidget mainForm;
    QWidget scriptForm;
    TZvActionList* general = new TZvActionList(&mainForm);
    TZvActionList* manager = new TZvActionList(&mainForm);
    TZvActionList* macros = new TZvActionList(&scriptForm);
    TNopeAction* grab = nullptr;
    TCheckAction* fullScreen = nullptr;
    int grabs = 0, aborts = 0, starts = 0, stops = 0;
    THelpForm help;
};

TEST_F(HelpFormTest, EveryActionIsListedOnThePageOfItsGroupInAlphabeticalOrder) {
    ASSERT_EQ(help.pc->count(), 2);
    EXPECT_EQ(help.pc->tabText(0), QStringLiteral("Kelvara"));
    EXPECT_EQ(help.pc->tabText(1), QStringLiteral("Scripts"));
    EXPECT_EQ(Texts(Page("Kelvara")),
              (QStringList{"Abort", "Digits", "FullScreen", "Grab", "ImageFolder", "Mute",
                           "NextFrame", "Open", "Quit", "Volume"}));
    // Each entry stands for the action of that name, from either list of the page.
    TObjetListBox& kelvara = Page("Kelvara");
    for (int row = 0; row < kelvara.count(); ++row) {
        TCustomAbstractAction* action = ActionOf(kelvara, row);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->ScriptName, kelvara.item(row)->text());
    }
    EXPECT_EQ(SelectedTexts(kelvara), QStringList{"Abort"});
    // A list given again adds no second entry for its actions.
    help.AddList("Kelvara", general);
    EXPECT_EQ(kelvara.count(), 10);
    EXPECT_EQ(help.pc->count(), 2);
}

TEST_F(HelpFormTest, ActivatingTheWindowShowsTheSelectedActionAsItIsNow) {
    TObjetListBox& kelvara = Page("Kelvara");
    Click(kelvara, Row(kelvara, "FullScreen"));
    EXPECT_EQ(help.leHint->toPlainText(), fullScreen->FalseHint());
    fullScreen->SetChecked(true);
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&help, &activate);
    EXPECT_EQ(help.leHint->toPlainText(), fullScreen->TrueHint());
}

TEST_F(HelpFormTest, TheNamelessStartAndStopCommandsShareOneEntryThatRunsStop) {
    TObjetListBox& scripts = Page("Scripts");
    EXPECT_EQ(Texts(scripts), (QStringList{"", "NewScript", "Record"}));
    help.pc->setCurrentIndex(1);
    DoubleClick(scripts, 0);
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(starts, 0);
    EXPECT_EQ(TLinkMarkup::PlainText(help.leHint->RichText()), ActionOf(scripts, 0)->Hint());
}

TEST_F(HelpFormTest, ThePopupMenuSortsEveryPageByShortcutOrBySwitch) {
    TObjetListBox& kelvara = Page("Kelvara");
    // A right click opens the menu of the three orders.
    const QPoint at = kelvara.visualItemRect(kelvara.item(1)).center();
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, at, kelvara.viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(kelvara.viewport(), &menuEvent);
    EXPECT_TRUE(help.pmenu->isVisible());
    help.pmenu->hide();

    ChooseSortOrder("Sort by Shortcuts");
    // Alt before Ctrl before function keys before the other keys; no shortcut comes last.
    EXPECT_EQ(Texts(kelvara),
              (QStringList{"Abort", "FullScreen", "Mute", "Open", "Grab", "NextFrame", "Digits",
                           "ImageFolder", "Quit", "Volume"}));
    EXPECT_EQ(Texts(Page("Scripts")), (QStringList{"", "NewScript", "Record"}));

    ChooseSortOrder("Sort by Switch");
    EXPECT_EQ(Texts(kelvara), (QStringList{"Digits", "ImageFolder", "FullScreen", "Grab", "Open",
                                           "Volume", "Abort", "Mute", "NextFrame", "Quit"}));

    ChooseSortOrder("Alphabetical order");
    EXPECT_EQ(Texts(kelvara).first(), QStringLiteral("Abort"));
    EXPECT_EQ(Texts(kelvara).last(), QStringLiteral("Volume"));
}

TEST_F(HelpFormTest, SortingKeepsTheSelectedEntrySelectedAtItsNewPlace) {
    TObjetListBox& kelvara = Page("Kelvara");
    Click(kelvara, Row(kelvara, "Mute"));
    ChooseSortOrder("Sort by Shortcuts");
    EXPECT_EQ(SelectedTexts(kelvara), QStringList{"Mute"});
    EXPECT_EQ(kelvara.SelectedIndex(), 2);
    EXPECT_EQ(TLinkMarkup::PlainText(help.leName->RichText()).left(4), QStringLiteral("Mute"));
}

TEST_F(HelpFormTest, TheDetailsOfEachEntryComeFromItsAction) {
    TObjetListBox& kelvara = Page("Kelvara");
    for (int row = 0; row < kelvara.count(); ++row) {
        Click(kelvara, row);
        TCustomAbstractAction* a = ActionOf(kelvara, row);
        SCOPED_TRACE(a->ScriptName.toStdString());
        EXPECT_EQ(help.leName->toPlainText(),
                  a->ScriptName + "    " + ShortCutToText(a->ShortCut()));
        EXPECT_EQ(help.leHint->toPlainText(), TLinkMarkup::PlainText(a->Hint()));
        EXPECT_EQ(help.leSyntaxe->text(), a->GetDeclaration().replace("\r\n", "\n"));
        const QString syntax = a->Switch.isEmpty() ? QStringLiteral("N/A") : a->GetSwitchSyntax();
        EXPECT_EQ(help.leSwitch->toPlainText(), "Switch:    " + syntax);
        QStringList comments;
        for (const QString& line : a->Comments)
            comments.append(TLinkMarkup::PlainText(line));
        EXPECT_EQ(help.leCommentaire->toPlainText(), comments.join('\n'));
    }
}

TEST_F(HelpFormTest, ACheckActionDeclaresItsSetAndItsToggleProcedure) {
    TObjetListBox& kelvara = Page("Kelvara");
    Click(kelvara, Row(kelvara, "FullScreen"));
    const QStringList lines = help.leSyntaxe->text().split('\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringLiteral("procedure setFullScreen(const fDoTrue:Boolean);"));
    EXPECT_EQ(lines[1], QStringLiteral("procedure FullScreen;"));
    // The hint of a check action follows its state.
    EXPECT_EQ(help.leHint->toPlainText(), fullScreen->FalseHint());
    EXPECT_EQ(help.leSwitch->toPlainText(),
              QStringLiteral("Switch:    /fullscreen +fullscreen -fullscreen"));
}

TEST_F(HelpFormTest, TheNameIsBoldBlueAndTheShortcutBesideItIsBlack) {
    TObjetListBox& kelvara = Page("Kelvara");
    Click(kelvara, Row(kelvara, "Grab"));
    const QTextBlock block = help.leName->document()->firstBlock();
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + 1);
    EXPECT_EQ(cursor.charFormat().foreground().color(), ToQColor(clBlue));
    EXPECT_EQ(cursor.charFormat().fontWeight(), QFont::Bold);
    cursor.setPosition(block.position() + block.length() - 1);
    EXPECT_EQ(cursor.charFormat().foreground().color(), ToQColor(clBlack));
    EXPECT_EQ(cursor.charFormat().fontPointSize(), 12);
}

TEST_F(HelpFormTest, EveryEntrysCommentsStartInTheItalicsOfTheirField) {
    TObjetListBox& kelvara = Page("Kelvara");
    // Grab's comments end with a closed italic tag, which turns italics off in the field.
    Click(kelvara, Row(kelvara, "Grab"));
    Click(kelvara, Row(kelvara, "FullScreen"));
    QTextCursor cursor(help.leCommentaire->document());
    cursor.setPosition(1);
    EXPECT_TRUE(cursor.charFormat().fontItalic());
    EXPECT_EQ(help.leCommentaire->toPlainText(), fullScreen->Comments.join('\n'));
}

TEST_F(HelpFormTest, ChangingPagesShowsTheSelectedEntryOfTheNewPage) {
    TObjetListBox& scripts = Page("Scripts");
    QTest::mouseClick(help.pc->tabBar(), Qt::LeftButton, {},
                      help.pc->tabBar()->tabRect(1).center());
    Click(scripts, Row(scripts, "Record"));
    EXPECT_TRUE(help.leName->toPlainText().startsWith("Record"));
    QTest::mouseClick(help.pc->tabBar(), Qt::LeftButton, {},
                      help.pc->tabBar()->tabRect(0).center());
    EXPECT_TRUE(help.leName->toPlainText().startsWith("Abort"));
    QTest::mouseClick(help.pc->tabBar(), Qt::LeftButton, {},
                      help.pc->tabBar()->tabRect(1).center());
    EXPECT_TRUE(help.leName->toPlainText().startsWith("Record"));
}

TEST_F(HelpFormTest, TheHintCountsTheSelectedEntries) {
    TObjetListBox& kelvara = Page("Kelvara");
    Click(kelvara, 1);
    EXPECT_EQ(kelvara.toolTip(), QStringLiteral("one item seleteced on 10"));
    Click(kelvara, 3, Qt::ControlModifier);
    Click(kelvara, 4, Qt::ControlModifier);
    EXPECT_EQ(kelvara.toolTip(), QStringLiteral("3 items selected on 10"));
    // Keys move the selection back to one entry, and the details follow it.
    QTest::keyClick(&kelvara, Qt::Key_Down);
    EXPECT_EQ(kelvara.toolTip(), QStringLiteral("one item seleteced on 10"));
    EXPECT_TRUE(help.leName->toPlainText().startsWith("Mute"));
}

TEST_F(HelpFormTest, DoubleClickRunsTheActionOnlyWhileItIsEnabled) {
    TObjetListBox& kelvara = Page("Kelvara");
    grab->SetEnabled(false);
    DoubleClick(kelvara, Row(kelvara, "Grab"));
    EXPECT_EQ(grabs, 0);
    grab->SetEnabled(true);
    DoubleClick(kelvara, Row(kelvara, "Grab"));
    EXPECT_EQ(grabs, 1);
    EXPECT_EQ(aborts, 0);
    // The help window never deletes entries.
    QTest::keyClick(&kelvara, Qt::Key_Delete);
    EXPECT_EQ(kelvara.count(), 10);
}

TEST_F(HelpFormTest, AnActionDestroyedBeforeTheWindowLeavesAnEntryThatDoesNothing) {
    TObjetListBox& kelvara = Page("Kelvara");
    const int row = Row(kelvara, "Grab");
    delete grab;
    Click(kelvara, row);
    EXPECT_EQ(help.leName->toPlainText(), QString());
    DoubleClick(kelvara, row);
    ChooseSortOrder("Sort by Shortcuts");
    EXPECT_EQ(kelvara.count(), 10);
}

TEST_F(HelpFormTest, ClosingTheWindowTellsItsOwner) {
    int closed = 0;
    help.SetClosedHandler([&] { ++closed; });
    help.hide();
    EXPECT_EQ(closed, 0);
    help.show();
    help.close();
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(help.isVisible());
}

// The window in each order, for a look at what the user sees.
TEST_F(HelpFormTest, ScreenshotsInTheThreeOrders) {
    TObjetListBox& kelvara = Page("Kelvara");
    // Beside the test's CTest folder: build/tests/commands.
    const QDir dir(QStringLiteral(KELVARA_BIN_DIR "/../tests/commands"));
    // Each order with another kind of entry: a command, a check action, one without switch.
    const std::tuple<const char*, const char*, const char*> orders[] = {
        {"Alphabetical order", "alpha", "Grab"},
        {"Sort by Shortcuts", "shortcut", "FullScreen"},
        {"Sort by Switch", "switch", "Mute"}};
    for (const auto& [caption, name, entry] : orders) {
        ChooseSortOrder(caption);
        Click(kelvara, Row(kelvara, entry));
        const QImage shot = help.grab().toImage();
        ASSERT_TRUE(shot.save(dir.filePath(QStringLiteral("helpform-%1.png").arg(name))));
        // The switch field is silver and the name field light green beside their texts.
        const QRect sw = help.leSwitch->geometry();
        EXPECT_EQ(shot.pixelColor(sw.right() - 6, sw.center().y()), ToQColor(clSilver)) << name;
        const QRect nm = help.leName->geometry();
        EXPECT_EQ(shot.pixelColor(nm.right() - 6, nm.center().y()), ToQColor(TColor(0xC0FFC0)))
            << name;
    }
}

// The list box on its own.

class TCountedObjet : public TAbstractListObjet {
public:
    TCountedObjet(const QString& text, int& deaths)
        : TAbstractListObjet(text, text), FDeaths(deaths) {}
    ~TCountedObjet() override { ++FDeaths; }

private:
    int& FDeaths;
};

TEST(TObjetListBox, KeysIgnoreLetterCaseAndAKnownKeyReplacesTheObjectOnly) {
    int deaths = 0;
    TObjetListBox box;
    box.AddObjet(std::make_unique<TCountedObjet>("beta", deaths), false);
    box.AddObjet(std::make_unique<TCountedObjet>("ALPHA2", deaths), false);
    box.AddObjet(std::make_unique<TCountedObjet>("Alpha", deaths), false);
    auto replacement = std::make_unique<TCountedObjet>("BETA", deaths);
    const TAbstractListObjet* kept = replacement.get();
    EXPECT_EQ(box.AddObjet(std::move(replacement), false), 2);
    EXPECT_EQ(Texts(box), (QStringList{"Alpha", "ALPHA2", "beta"}));
    EXPECT_EQ(box.Keys().size(), 3);
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(box.Objet(2), kept);
    box.Clear();
    EXPECT_EQ(deaths, 4);
    EXPECT_EQ(box.count(), 0);
}

TEST(TObjetListBox, AddingKeepsTheSelectionAndSelectsTheFirstItemOfAnEmptyBox) {
    int deaths = 0;
    TObjetListBox box;
    box.AddObjet(std::make_unique<TCountedObjet>("m", deaths), false);
    EXPECT_EQ(SelectedTexts(box), QStringList{"m"});
    box.AddObjet(std::make_unique<TCountedObjet>("a", deaths), false);
    EXPECT_EQ(SelectedTexts(box), QStringList{"m"});
    box.AddObjet(std::make_unique<TCountedObjet>("z", deaths), true);
    EXPECT_EQ(SelectedTexts(box), (QStringList{"m", "z"}));
    EXPECT_EQ(box.toolTip(), QStringLiteral("2 items selected on 3"));
}

TEST(TObjetListBox, SelectReportsTheActiveObjectAndIgnoresRowsOutOfRange) {
    int deaths = 0;
    TObjetListBox box;
    std::vector<TAbstractListObjet*> actives;
    std::vector<std::pair<int, int>> counts;
    box.OnActiveChange = [&](TAbstractListObjet* o) { actives.push_back(o); };
    box.OnCountsChange = [&](int sel, int total) { counts.emplace_back(sel, total); };
    box.AddObjet(std::make_unique<TCountedObjet>("a", deaths), false);
    box.AddObjet(std::make_unique<TCountedObjet>("b", deaths), false);
    box.Select(1);
    box.Select(1); // the same object again: no new report
    box.Select(2);
    box.Select(-2);
    box.Select(-1);
    EXPECT_EQ(actives, (std::vector<TAbstractListObjet*>{box.Objet(1), nullptr}));
    EXPECT_EQ(box.SelectedIndex(), -1);
    EXPECT_EQ(counts.back(), std::make_pair(0, 2));
}

TEST(TObjetListBox, DeleteRemovesTheSelectedItemsOnlyWhenAllowedAndWithoutShift) {
    int deaths = 0;
    TObjetListBox box;
    for (const char* text : {"a", "b", "c", "d", "e"})
        box.AddObjet(std::make_unique<TCountedObjet>(text, deaths), false);
    box.Select(2);
    box.item(3)->setSelected(true);
    QTest::keyClick(&box, Qt::Key_Delete);
    EXPECT_EQ(box.count(), 5); // KeyDelete is off
    box.KeyDelete = true;
    QTest::keyClick(&box, Qt::Key_Delete, Qt::ShiftModifier);
    QTest::keyClick(&box, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(box.count(), 5);
    QTest::keyClick(&box, Qt::Key_Delete);
    EXPECT_EQ(Texts(box), (QStringList{"a", "b", "e"}));
    EXPECT_EQ(box.Keys(), (QStringList{"a", "b", "e"}));
    EXPECT_EQ(SelectedTexts(box), QStringList{"b"});
    EXPECT_EQ(deaths, 2);
    box.Select(0);
    QTest::keyClick(&box, Qt::Key_Delete);
    EXPECT_EQ(SelectedTexts(box), QStringList{"b"});
    EXPECT_EQ(box.toolTip(), QStringLiteral("one item seleteced on 2"));
}

} // namespace
