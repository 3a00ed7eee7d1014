// Every action of the window's lists, taken from the lists themselves: each is reachable the ways
// its row promises. The script procedure of its script name compiles; its switch finds it; its
// shortcut is the key of exactly one action of the window (the first in menu order when two
// share a key); and the menus and the toolbar hold it where the window's layout puts it.
#include "commands/uCustomAbstractAction.h"
#include "commands/uHelpForm.h"
#include "commands/uScriptForm.h"
#include "commands/uSuperAction.h"
#include "commands/uZvSwitch.h"
#include "grabbing/main.h"
#include "platform/ui/ShortCuts.h"
#include "scripting/uZvScript.h"
#include "shell/uZvAppliMan.h"
#include "shell/uZvControls.h"
#include "tests/grabbing/ShowFormFixture.h"

#include <map>

#include <QMenuBar>
#include <QRegularExpression>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

namespace kelvara::test {
namespace {

// Where the main menu, the context menu and the toolbar hold the window's commands.
const std::map<QString, QStringList> kPlaces = {
    {"Files", {"waOpenFile", "naPasteFile", "naCloseFile", "naRecent1", "naRecent10"}},
    {"Video",
     {"caFullscreen", "caPreviewform", "caBasculerVue", "caFlipVertical", "caFlipHorizontal",
      "naForcerNormal", "naForcer4x3", "naForcer16x9", "naForcerNative", "caMute"}},
    {"Images",
     {"naGrab", "naCopy", "naBmpExtension", "naJpegExtension", "naAjouterTimeStamp",
      "naAjouterNumero", "baImageDeinterlacer", "naShowImagette", "naShowSaveImages"}},
    {"Inlay",
     {"caInsertTextOn", "caSliders", "naInsertTimestamp", "naInsertNumero", "naInsertDatecode",
      "naInsertTimecode", "naInsertSysdateTime", "naInsertPerso", "naShowDVIncrust",
      "naShowIncrust"}},
    {"?", {"caHelp", "caScript", "caOptions", "caAbout", "naHomePage", "naQuit"}},
    {"Toolbar",
     {"waOpenFile",       "naPasteFile",    "naCloseFile",      "naGrab",          "naCopy",
      "caIntervalloShow", "caFullscreen",   "caMute",           "caInsertTextOn",  "caFlipVertical",
      "caFlipHorizontal", "naShowImagette", "naShowSaveImages", "naShowDVIncrust", "naShowIncrust",
      "caHelp",           "caScript",       "caOptions",        "caAbout",         "naQuit"}},
    {"Context",
     {"naGrab",           "naCopy",       "caFullscreen",     "naForcerNormal", "naForcerNative",
      "naForcer4x3",      "naForcer16x9", "caMute",           "caInsertTextOn", "caFlipVertical",
      "caFlipHorizontal", "caSliders",    "naShowSaveImages", "naShowImagette", "naShowIncrust",
      "caOptions",        "caScript",     "caHelp",           "caAbout",        "naRecent1",
      "naRecent4",        "naQuit"}},
};

// The actions of a menu and of its sub-menus.
QList<QAction*> Flatten(const QList<QAction*>& actions) {
    QList<QAction*> all;
    for (QAction* a : actions) {
        all << a;
        if (a->menu())
            all << Flatten(a->menu()->actions());
    }
    return all;
}

// A statement that calls the script procedure of a declaration such as
// "procedure Digits(aInteger: integer);", with a variable of each parameter's type.
QString CallOf(const QString& declaration, QStringList& vars) {
    static const QRegularExpression re(QStringLiteral("^procedure\\s+(\\w+)\\s*(\\((.*)\\))?"),
                                       QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(declaration);
    if (!m.hasMatch())
        return {};
    QStringList args;
    for (const QString& group : m.captured(3).split(u';', Qt::SkipEmptyParts)) {
        const QString type = group.section(u':', 1).trimmed();
        const int names = int(group.section(u':', 0, 0).split(u',').size());
        for (int i = 0; i < names; ++i) {
            const QString v = QStringLiteral("v%1").arg(vars.size());
            vars << v + QStringLiteral(": ") + type + u';';
            args << v;
        }
    }
    return m.captured(1) + (args.isEmpty() ? QString() : u'(' + args.join(u',') + u')') + u';';
}

class Reachability : public ShowFormFixture {};

// Whether the menu item runs the action: the action itself, or an item of a caption of its own
// that triggers it (tried only on such items, which run harmless commands).
bool Runs(QAction* item, QAction* action) {
    if (item == action)
        return true;
    if (item->menu() || item->isSeparator() || dynamic_cast<TCustomAbstractAction*>(item) ||
        !item->isEnabled())
        return false;
    bool ran = false;
    const QMetaObject::Connection c =
        QObject::connect(action, &QAction::triggered, [&ran] { ran = true; });
    item->trigger();
    QObject::disconnect(c);
    return ran;
}

// The place of the action in the main menu, -1 when it is not there.
qsizetype MenuIndex(const QList<QAction*>& menus, QAction* action) {
    for (qsizetype i = 0; i < menus.size(); ++i)
        if (Runs(menus[i], action))
            return i;
    return -1;
}

bool InWindow(QObject* o, const QList<QObject*>& others) {
    for (; o; o = o->parent())
        if (others.contains(o))
            return false;
    return true;
}

// The script name "Copy" is also the string routine of the script language, which wins: a script
// cannot reach naCopy by that name.
const QStringList kScriptClashes = {QStringLiteral("naCopy")};

TEST_F(Reachability, EveryActionIsReachableTheWaysItsRowSays) {
    const QList<QAction*> menus = Flatten(form->menuBar()->actions());
    QMap<QString, QList<QAction*>> held;
    for (QAction* top : form->menuBar()->actions())
        if (top->menu())
            held[top->text().remove(u'&')] = Flatten(top->menu()->actions());
    QList<QAction*> toolbar;
    for (QToolButton* b : form->barUnique->findChildren<QToolButton*>())
        if (auto* button = dynamic_cast<TZvToolButton*>(b))
            toolbar.append(button->Action());
    held[QStringLiteral("Toolbar")] = toolbar;
    held[QStringLiteral("Context")] = Flatten(form->PopupMenu->actions());

    TZvScript* host = form->am->ScriptHost();
    TZvSwitch* switches = form->Switches();
    const QList<QObject*> otherWindows{static_cast<QObject*>(form->am->ScriptForm()),
                                       static_cast<QObject*>(form->am->HelpForm())};
    QMap<QKeySequence, QList<QAction*>> keys; // the keys of the main window's actions
    for (QAction* a : form->findChildren<QAction*>())
        if (InWindow(a, otherWindows))
            for (const QKeySequence& k : a->shortcuts())
                keys[k] << a;
    int seen = 0;
    for (TCustomZvActionList* list : form->ActionLists())
        for (TCustomAbstractAction* a : list->TypedActions()) {
            ++seen;
            const std::string id = a->InternalId.toStdString();
            if (!a->ScriptName.isEmpty() && !kScriptClashes.contains(a->InternalId)) {
                QStringList vars;
                const QString call = CallOf(a->GetDeclaration(), vars);
                ASSERT_FALSE(call.isEmpty()) << id << ": " << a->GetDeclaration().toStdString();
                host->SetScript(
                    QStringLiteral("program Reach;\n") +
                    (vars.isEmpty() ? QString() : QStringLiteral("var ") + vars.join(u' ')) +
                    QStringLiteral("\nbegin\n  if False then ") + call +
                    QStringLiteral("\nend.\n"));
                EXPECT_TRUE(host->Compile())
                    << id << ": " << host->Messages().join(u' ').toStdString();
            }
            if (!a->Switch.isEmpty()) {
                EXPECT_EQ(switches->FindAction(a->Switch), a)
                    << id << " /" << a->Switch.toStdString();
            }
            if (a->ShortCut() != 0) {
                // The key is bound to one action of the window: this one, or the first in menu
                // order of the actions that share it.
                const QKeySequence key = ShortCutToKeySequence(a->ShortCut());
                const QList<QAction*> bound = keys.value(key);
                EXPECT_EQ(bound.size(), 1) << id << " " << key.toString().toStdString();
                if (bound.size() == 1 && bound[0] != a) {
                    const qsizetype mine = MenuIndex(menus, a), winner = MenuIndex(menus, bound[0]);
                    EXPECT_GE(winner, 0) << id;
                    EXPECT_TRUE(mine < 0 || winner < mine) << id << " loses its key to a later one";
                }
            }
        }
    EXPECT_GT(seen, 69 + 40);
    for (const auto& [place, ids] : kPlaces)
        for (const QString& id : ids) {
            TCustomAbstractAction* a = form->FindAnyAction(id);
            ASSERT_TRUE(a) << id.toStdString();
            const QList<QAction*> items = held.value(place);
            const bool found = std::any_of(items.begin(), items.end(),
                                           [a](QAction* item) { return item && Runs(item, a); });
            EXPECT_TRUE(found) << id.toStdString() << " is not in " << place.toStdString();
        }
}

} // namespace
} // namespace kelvara::test
