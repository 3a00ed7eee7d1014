#include "commands/uOwnerChain.h"
#include "commands/uScriptAction.h"
#include "commands/uSuperAction.h"
#include "tests/commands/support/FakePreferences.h"
#include "tests/commands/support/FakeScriptHost.h"
#include "tests/commands/support/QtPrint.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace {

TEST(OwnerChain, AnActionIsOwnedByTheNearestFormFrameOrDataModule) {
    QWidget form;
    QObject inner(&form);
    QObject deeper(&inner);
    auto* a = new TNopeAction(&deeper);
    EXPECT_EQ(a->parent(), &form);

    QObject frame(&form);
    MarkAsOwnerRoot(&frame);
    QObject child(&frame);
    auto* b = new TIntegerAction(&child);
    EXPECT_EQ(b->parent(), &frame);
    auto* c = new TIntegerAction(&frame);
    EXPECT_EQ(c->parent(), &frame);

    QObject top;
    QObject below(&top);
    auto* d = new TBooleanAction(&below);
    EXPECT_EQ(d->parent(), &top); // no form: the top of the chain
    EXPECT_EQ(TNopeAction(nullptr).parent(), nullptr);
}

TEST(TCustomZvActionList, ActionsMadeForAListAreInternalAndKeepTheirOrder) {
    QWidget form;
    auto* list = new TZvActionList(&form);
    auto* a = new TNopeAction("naGrab", list);
    auto* plain = new QAction(&form);
    list->AddAction(plain);
    auto* b = new TCheckAction("caScript", list);
    EXPECT_EQ(a->parent(), &form);
    EXPECT_EQ(a->InternalId, QStringLiteral("naGrab"));
    EXPECT_EQ(a->Category, QStringLiteral("internal"));
    EXPECT_EQ(a->ActionList(), list);
    EXPECT_EQ(list->ActionCount(), 3);
    EXPECT_EQ(list->TypedActions(), (QList<TCustomAbstractAction*>{a, b}));
    // Added to the form so that their shortcuts work in it.
    EXPECT_TRUE(form.actions().contains(a));
    delete a;
    EXPECT_EQ(list->TypedActions(), QList<TCustomAbstractAction*>{b});
    delete plain;
    EXPECT_EQ(list->ActionCount(), 1);
}

TEST(TCustomZvActionList, FindByInternalIdIsExactAndIgnoresOtherActions) {
    TZvActionList list;
    QAction plain;
    plain.setObjectName("caScript");
    list.AddAction(&plain);
    auto* first = new TCheckAction("caScript", &list);
    new TCheckAction("caScript", &list);
    EXPECT_EQ(list.FindByInternalId("caScript"), first);
    EXPECT_EQ(list.FindByInternalId("cascript"), nullptr);
    EXPECT_EQ(list.FindByInternalId("caHelp"), nullptr);
    EXPECT_EQ(list.FindAction<TCheckAction>("caScript"), first);
    EXPECT_EQ(list.FindAction<TNopeAction>("caScript"), nullptr);
    list.RemoveAction(&plain);
    qDeleteAll(list.TypedActions());
}

TEST(TCustomZvActionList, AnActionMovesBetweenLists) {
    QObject form;
    TZvActionList one(&form), two(&form);
    auto* a = new TNopeAction("naA", &one);
    a->SetActionList(&two);
    EXPECT_TRUE(one.TypedActions().isEmpty());
    EXPECT_EQ(two.TypedActions(), QList<TCustomAbstractAction*>{a});
    a->SetActionList(nullptr);
    EXPECT_TRUE(two.TypedActions().isEmpty());
    EXPECT_EQ(a->ActionList(), nullptr);
}

TEST(TAbstractAction, OnImageChangedIsRaisedForAChangeWhileInAList) {
    QObject form;
    TZvActionList list(&form);
    TImageList images;
    QPixmap pixmap(4, 4);
    pixmap.fill(Qt::red);
    images.Add(QIcon(pixmap));
    list.SetImages(&images);
    auto* a = new TNopeAction(&form);
    std::vector<int> raised;
    a->OnImageChanged = [&](TImageList* il, int32_t index) {
        EXPECT_EQ(il, &images);
        raised.push_back(index);
    };
    a->SetImageIndex(0); // not in a list yet
    a->SetActionList(&list);
    EXPECT_FALSE(a->icon().isNull());
    a->SetImageIndex(0); // unchanged
    a->SetImageIndex(3);
    EXPECT_TRUE(a->icon().isNull()); // no such image
    a->SetImageIndex(0);
    EXPECT_EQ(raised, (std::vector<int>{3, 0}));
}

// ---- list-wide preferences ----

struct ListPrefs : ::testing::Test {
    void SetUp() override {
        for (const char* name : {"A", "B", "C"}) {
            auto* a = new TIntegerAction(QStringLiteral("ia") + name, &list);
            a->ScriptName = name;
            a->SetDefaultValue(1);
        }
    }
    TIntegerAction* At(int i) { return static_cast<TIntegerAction*>(list.TypedActions().at(i)); }
    QObject form;
    TZvActionList list{&form};
    TFakePreferences gp;
};

TEST_F(ListPrefs, LoadWalksTheActionsInOrderSkippingThoseOutsideThePreferences) {
    At(1)->IncludePrefs = false;
    int eventCalls = 0;
    list.OnLoadFromPrefs = [&](IActionPreferences& p) {
        EXPECT_EQ(&p, &gp);
        ++eventCalls;
        return true;
    };
    EXPECT_TRUE(list.LoadFromPrefs(gp));
    EXPECT_EQ(gp.Log, (QStringList{"read A", "read C"}));
    EXPECT_EQ(eventCalls, 1);
}

TEST_F(ListPrefs, AFailingActionDoesNotStopTheOthers) {
    gp.ThrowOnRead.insert("A");
    gp.Values["C"] = int32_t(9);
    EXPECT_FALSE(list.LoadFromPrefs(gp));
    EXPECT_EQ(At(2)->Value(), 9);
    gp.FailWrite.insert("B");
    EXPECT_FALSE(list.SaveToPrefs(gp));
    EXPECT_EQ(gp.Log.mid(3), (QStringList{"write A", "write B", "write C"}));
    EXPECT_TRUE(gp.Values.count("C"));
}

TEST_F(ListPrefs, TheListEventCanFailTheResultAndAnExceptionKeepsIt) {
    list.OnSaveToPrefs = [](IActionPreferences&) { return false; };
    EXPECT_FALSE(list.SaveToPrefs(gp));
    list.OnLoadFromPrefs = [](IActionPreferences&) -> bool { throw std::runtime_error("x"); };
    EXPECT_TRUE(list.LoadFromPrefs(gp));
    gp.ThrowOnRead.insert("B");
    EXPECT_FALSE(list.LoadFromPrefs(gp));
}

TEST_F(ListPrefs, AListWithoutPreferenceActionsStillCallsItsEvents) {
    for (TCustomAbstractAction* a : list.TypedActions())
        a->IncludePrefs = false;
    int loads = 0, saves = 0;
    list.OnLoadFromPrefs = [&](IActionPreferences&) { return ++loads > 0; };
    list.OnSaveToPrefs = [&](IActionPreferences&) { return ++saves > 0; };
    EXPECT_TRUE(list.LoadFromPrefs(gp));
    EXPECT_TRUE(list.SaveToPrefs(gp));
    EXPECT_TRUE(gp.Log.isEmpty());
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(saves, 1);
}

// ---- the compile hook chain ----

struct HostedLists : ::testing::Test {
    TZvActionList* MakeList(const QStringList& names) {
        auto* list = new TZvActionList(&form);
        for (const QString& n : names)
            new TNopeAction("na" + n, list);
        for (TCustomAbstractAction* a : list->TypedActions())
            a->ScriptName = a->InternalId.mid(2);
        return list;
    }
    QObject form;
    TFakeScriptHost host;
};

TEST_F(HostedLists, ListsRegisterInAttachmentOrderAfterTheHostsOwnDeclarations) {
    TZvActionList* second = MakeList({"Zeta", "Alpha"});
    TZvActionList* first = MakeList({"Grab", "Copy"});
    first->SetPascalScript(&host);
    second->SetPascalScript(&host);
    EXPECT_EQ(first->PascalScript(), &host);
    host.Compile();
    EXPECT_EQ(host.Names(), (QStringList{"showmessage", "Grab", "Copy", "Zeta", "Alpha"}));
    host.Compile(); // every compilation registers again
    EXPECT_EQ(host.Names().size(), 5);
}

TEST_F(HostedLists, AttachingTheSameHostAgainChangesNothing) {
    TZvActionList* list = MakeList({"Grab"});
    list->SetPascalScript(&host);
    list->SetPascalScript(&host);
    int grabs = 0;
    host.SetCompileHook([prev = host.CompileHook(), &grabs](IScriptHost& h) {
        prev(h);
        ++grabs;
    });
    host.Compile();
    EXPECT_EQ(host.Names(), (QStringList{"showmessage", "Grab"}));
    EXPECT_EQ(grabs, 1);
}

TEST_F(HostedLists, DetachingOrDestroyingAListTakesOnlyItOutOfTheChain) {
    TZvActionList* a = MakeList({"A"});
    TZvActionList* b = MakeList({"B"});
    TZvActionList* c = MakeList({"C"});
    a->SetPascalScript(&host);
    b->SetPascalScript(&host);
    c->SetPascalScript(&host);
    b->SetPascalScript(nullptr); // in the middle of the chain
    host.Compile();
    EXPECT_EQ(host.Names(), (QStringList{"showmessage", "A", "C"}));
    c->SetPascalScript(nullptr); // in front: the host gets back the hook c replaced
    host.Compile();
    EXPECT_EQ(host.Names(), (QStringList{"showmessage", "A"}));
    delete a;
    host.Compile();
    EXPECT_EQ(host.Names(), QStringList{"showmessage"});
    b->SetPascalScript(&host);
    host.Compile();
    EXPECT_EQ(host.Names(), (QStringList{"showmessage", "B"}));
}

TEST_F(HostedLists, ARefusedRegistrationDoesNotStopTheOthers) {
    TZvActionList* list = MakeList({"showmessage", "Grab"});
    list->SetPascalScript(&host);
    host.Compile();
    EXPECT_EQ(host.Names(), (QStringList{"showmessage", "Grab"}));
    EXPECT_EQ(host.Methods[0].Object, nullptr); // the host's own
}

TEST(TCustomZvActionList, TheHostsDestructionClearsPascalScript) {
    TZvActionList list;
    auto host = std::make_unique<TFakeScriptHost>();
    list.SetPascalScript(host.get());
    host.reset();
    EXPECT_EQ(list.PascalScript(), nullptr);
    list.SetPascalScript(nullptr);
}

} // namespace
