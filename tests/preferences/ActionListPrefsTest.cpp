// Whole action lists saved at one run's close and loaded at the next run's first show, through the
// preferences component in each save mode.
#include "commands/uScriptAction.h"
#include "commands/uSuperAction.h"
#include "platform/ui/ScriptedDialogs.h"
#include "preferences/uPreferences.h"
#include "preferences/uSavePrefs.h"
#include "tests/platform/registry/HiveTestSupport.h"
#include "tests/preferences/PrefsWindow.h"

#include <memory>

#include <QLocale>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

TFont SampleFont() {
    TFont f;
    f.Name = QStringLiteral("Liberation Serif");
    f.SetSize(17);
    f.Color = 0x00336699;
    f.Style = fsBold | fsUnderline;
    return f;
}

// A window with one list holding an action of every kind, its preferences component loading and
// saving the list in the section "ShowForm".
class ListWindow {
public:
    explicit ListWindow(const QString& folder) {
        window = std::make_unique<TPrefsWindow>();
        list = new TZvActionList(window.get());
        text = Make<TWidestringAction>("waText", "Text");
        empty = Make<TWidestringAction>("waEmpty", "Empty");
        low = Make<TIntegerAction>("iaLow", "Low");
        high = Make<TIntegerAction>("iaHigh", "High");
        color = Make<TColorAction>("laColor", "Color");
        ratio = Make<TDoubleAction>("daRatio", "Ratio");
        point = Make<TPointAction>("paPoint", "Point");
        flag = Make<TBooleanAction>("baFlag", "Flag");
        rect = Make<TRectAction>("raFormSave", "FormSave");
        font = Make<TFontAction>("faFont", "Font");
        check = Make<TCheckAction>("caCheck", "Check");
        notKept = Make<TIntegerAction>("iaNotKept", "NotKept");
        notKept->IncludePrefs = false;
        empty->SetDefaultValue(QStringLiteral("default"));
        low->SetDefaultValue(5);

        gp = new TTaskelPreferences(window.get());
        window->gp = gp;
        gp->SetTitre(QStringLiteral("Kelvara"));
        gp->SetProgramFolder(folder);
        gp->OnLoadPrefs = [this](TTaskelPreferences& p) { Section(p, true); };
        gp->OnSavePrefs = [this](TTaskelPreferences& p) { Section(p, false); };
    }

    void SetSample() {
        text->SetValue(QStringLiteral("a=b \u00e9\u4e2d"));
        empty->SetValue(QString());
        low->SetValue(INT32_MIN);
        high->SetValue(INT32_MAX);
        color->SetValue(TColor(0xFF00000F));
        ratio->SetValue(-0.125);
        point->SetValue(TPoint{-40, 70});
        flag->SetValue(true);
        rect->SetValue(TRect{10, 20, 1010, 720});
        font->SetValue(SampleFont());
        check->SetChecked(true);
        notKept->SetValue(99);
    }

    std::unique_ptr<TPrefsWindow> window;
    TZvActionList* list; // owned by the window, as the actions and the component are
    TTaskelPreferences* gp;
    TWidestringAction *text, *empty;
    TIntegerAction *low, *high, *notKept;
    TColorAction* color;
    TDoubleAction* ratio;
    TPointAction* point;
    TBooleanAction* flag;
    TRectAction* rect;
    TFontAction* font;
    TCheckAction* check;
    bool listResult = false;

private:
    template <class T>
    T* Make(const char* id, const char* scriptName) {
        auto* a = new T(QString::fromLatin1(id), list);
        a->ScriptName = QString::fromLatin1(scriptName);
        return a;
    }

    void Section(TTaskelPreferences& p, bool load) {
        p.OpenSection(QStringLiteral("ShowForm"));
        listResult = load ? list->LoadFromPrefs(p) : list->SaveToPrefs(p);
        p.CloseSection();
    }
};

class ActionListPrefs : public ::testing::TestWithParam<TSavePreferences> {
protected:
    void SetUp() override { QLocale::setDefault(QLocale::c()); }
    kelvara::test::TemporaryHive hive;
    QTemporaryDir folder;
};

TEST_P(ActionListPrefs, EveryKindComesBackInTheNextRun) {
    {
        TScriptedDialogs dialogs;
        dialogs.Answer(TSavePrefsForm::ResultOf(GetParam()));
        ListWindow first(folder.path());
        first.window->show();
        first.SetSample();
        first.listResult = false;
        ASSERT_TRUE(first.window->close());
        EXPECT_EQ(first.listResult, GetParam() != spNone); // saved, and without a failure
    }
    ListWindow next(folder.path());
    next.window->show();
    EXPECT_EQ(next.gp->Mode(), GetParam() == spNone ? spNone : GetParam());
    if (GetParam() == spNone) {
        // Nothing was kept: every action has its default.
        EXPECT_EQ(next.text->Value(), QString());
        EXPECT_EQ(next.empty->Value(), QStringLiteral("default"));
        EXPECT_EQ(next.low->Value(), 5);
        EXPECT_EQ(next.font->Value(), TFont());
        EXPECT_FALSE(next.check->Checked());
        return;
    }
    EXPECT_TRUE(next.listResult);
    EXPECT_EQ(next.text->Value(), QStringLiteral("a=b \u00e9\u4e2d"));
    EXPECT_EQ(next.empty->Value(), QString());
    EXPECT_EQ(next.low->Value(), INT32_MIN);
    EXPECT_EQ(next.high->Value(), INT32_MAX);
    EXPECT_EQ(next.color->Value(), TColor(0xFF00000F));
    EXPECT_EQ(next.ratio->Value(), -0.125);
    EXPECT_EQ(next.point->Value(), (TPoint{-40, 70}));
    EXPECT_TRUE(next.flag->Value());
    EXPECT_EQ(next.rect->Value(), (TRect{10, 20, 1010, 720}));
    EXPECT_EQ(next.font->Value(), SampleFont());
    EXPECT_TRUE(next.check->Checked());
    EXPECT_EQ(next.notKept->Value(), 0);
}

std::string ModeName(const ::testing::TestParamInfo<TSavePreferences>& info) {
    static const char* const names[] = {"Registry", "IniFile", "None"};
    return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(Modes, ActionListPrefs, ::testing::Values(spRegistre, spPortable, spNone),
                         ModeName);

} // namespace
