// Behaviour that every value kind shares, run for each kind.
#include "commands/uScriptAction.h"
#include "tests/commands/support/FakePreferences.h"
#include "tests/commands/support/FakeScriptHost.h"
#include "tests/commands/support/KindTraits.h"

#include <memory>

#include <gtest/gtest.h>

namespace {

template <class A>
class ValueKinds : public ::testing::Test {
protected:
    using Traits = TKindTraits<A>;
    using T = typename Traits::T;

    void SetUp() override {
        QLocale::setDefault(QLocale::c());
        MacroRecorder = nullptr;
        MacroNesting = false;
        action = std::make_unique<A>(nullptr);
        action->ScriptName = QStringLiteral("Sn");
        action->Switch = QStringLiteral("sw");
    }
    void TearDown() override {
        MacroRecorder = nullptr;
        MacroNesting = false;
    }

    // Logs the three apply steps with the value each received.
    void LogApplies() {
        action->OnBeforeApply = [this](const T& v) { Log("before", v); };
        action->OnInternalApply = [this](const T& v) { Log("internal", v); };
        action->OnAfterApply = [this](const T& v) { Log("after", v); };
    }
    void Log(const char* step, const T& v) {
        steps.push_back(step);
        values.push_back(v);
    }

    std::unique_ptr<A> action;
    std::vector<std::string> steps;
    std::vector<T> values;
    TMacroLineList recorder;
};

using Kinds = ::testing::Types<TWidestringAction, TIntegerAction, TColorAction, TDoubleAction,
                               TPointAction, TBooleanAction, TRectAction, TFontAction>;
TYPED_TEST_SUITE(ValueKinds, Kinds);

TYPED_TEST(ValueKinds, ApplyRunsThePublishedEventThenTheInternalHookThenTheAfterEvent) {
    this->LogApplies();
    this->action->SetValue(TestFixture::Traits::Sample());
    EXPECT_EQ(this->steps, (std::vector<std::string>{"before", "internal", "after"}));
    for (const auto& v : this->values)
        EXPECT_TRUE(v == TestFixture::Traits::Sample());
    this->steps.clear();
    this->action->Apply();
    EXPECT_EQ(this->steps.size(), 3u);
}

TYPED_TEST(ValueKinds, SetValueRecordsItsLineOnceAndMarksTheRecordingNestedWhileApplying) {
    MacroRecorder = &this->recorder;
    bool nestedDuringApply = false;
    this->action->OnInternalApply = [&](const auto&) { nestedDuringApply = MacroNesting; };
    this->action->SetValue(TestFixture::Traits::Sample());
    EXPECT_TRUE(this->action->Value() == TestFixture::Traits::Sample());
    EXPECT_EQ(this->recorder.Lines, QStringList{QString::fromUtf8(TestFixture::Traits::Macro())});
    EXPECT_TRUE(nestedDuringApply);
    EXPECT_FALSE(MacroNesting);
    this->action->Apply(); // a plain Apply records nothing
    EXPECT_EQ(this->recorder.Lines.size(), 1);
}

TYPED_TEST(ValueKinds, AnActionSetByARecordedActionIsAppliedButNotRecorded) {
    MacroRecorder = &this->recorder;
    TIntegerAction sibling(nullptr);
    sibling.ScriptName = QStringLiteral("Sibling");
    int siblingApplied = 0;
    sibling.OnAfterApply = [&](int32_t) { ++siblingApplied; };
    this->action->OnAfterApply = [&](const auto&) { sibling.SetValue(sibling.Value() + 1); };
    this->action->SetValue(TestFixture::Traits::Sample());
    EXPECT_EQ(siblingApplied, 1);
    EXPECT_EQ(this->recorder.Lines, QStringList{QString::fromUtf8(TestFixture::Traits::Macro())});
    sibling.SetValue(7); // on its own it is recorded
    EXPECT_EQ(this->recorder.Lines.last(), QStringLiteral("    Sibling(7);"));
}

TYPED_TEST(ValueKinds, AnExceptionWhileApplyingDoesNotLeaveTheRecordingNested) {
    MacroRecorder = &this->recorder;
    this->action->OnAfterApply = [](const auto&) { throw std::runtime_error("apply failed"); };
    EXPECT_THROW(this->action->SetValue(TestFixture::Traits::Sample()), std::runtime_error);
    EXPECT_FALSE(MacroNesting);
}

TYPED_TEST(ValueKinds, ExecuteDoesNothingWithoutPrepareEvents) {
    this->LogApplies();
    this->action->Execute();
    this->action->trigger();
    EXPECT_TRUE(this->steps.empty());
}

TYPED_TEST(ValueKinds, ExecuteSetsTheValueThatThePrepareEventsSupply) {
    using T = typename TestFixture::T;
    this->LogApplies();
    bool internalSawSample = false;
    this->action->OnPrepare = [](T& v) {
        v = TestFixture::Traits::Sample();
        return true;
    };
    this->action->OnInternalPrepare = [&](T& v) {
        internalSawSample = v == TestFixture::Traits::Sample();
        return true;
    };
    this->action->trigger(); // the toolkit's OnExecute
    EXPECT_TRUE(internalSawSample);
    EXPECT_TRUE(this->action->Value() == TestFixture::Traits::Sample());
    EXPECT_EQ(this->steps.size(), 3u);
}

TYPED_TEST(ValueKinds, AFalsePrepareCancelsAndADisabledActionIsNotTriggered) {
    using T = typename TestFixture::T;
    this->LogApplies();
    int internalCalls = 0;
    bool publishedResult = false, internalResult = true;
    this->action->OnPrepare = [&](T& v) {
        v = TestFixture::Traits::Sample();
        return publishedResult;
    };
    this->action->OnInternalPrepare = [&](T&) {
        ++internalCalls;
        return internalResult;
    };
    this->action->Execute();
    EXPECT_EQ(internalCalls, 0);
    publishedResult = true;
    internalResult = false;
    this->action->Execute();
    EXPECT_EQ(internalCalls, 1);
    EXPECT_TRUE(this->steps.empty());
    internalResult = true;
    this->action->SetEnabled(false);
    this->action->trigger();
    EXPECT_TRUE(this->steps.empty());
}

TYPED_TEST(ValueKinds, LoadReadsUnderTheScriptNameWithADefaultThatOnDefaultChangesForGood) {
    using T = typename TestFixture::T;
    TFakePreferences gp;
    int onDefaultCalls = 0;
    std::vector<std::string> order;
    this->action->SetDefaultValue(TestFixture::Traits::Other());
    this->action->OnDefault = [&](T& def) {
        order.push_back("published");
        if (onDefaultCalls++ == 0)
            def = TestFixture::Traits::Sample();
        return false; // ignored
    };
    this->action->OnInternalDefault = [&](T&) {
        order.push_back("internal");
        return true;
    };
    EXPECT_TRUE(this->action->LoadFromPrefs(gp));
    EXPECT_EQ(order, (std::vector<std::string>{"published", "internal"}));
    EXPECT_EQ(gp.Log, QStringList{"read Sn"});
    EXPECT_TRUE(this->action->Value() == TestFixture::Traits::Sample());
    EXPECT_TRUE(this->action->DefaultValue() == TestFixture::Traits::Sample());
    // The next load starts from the changed default.
    EXPECT_TRUE(this->action->LoadFromPrefs(gp));
    EXPECT_TRUE(this->action->Value() == TestFixture::Traits::Sample());
}

TYPED_TEST(ValueKinds, LoadAppliesOnlyWithApplyWhenLoadAndRecordsNothing) {
    TFakePreferences gp;
    gp.Values[QStringLiteral("Sn")] = TestFixture::Traits::Sample();
    MacroRecorder = &this->recorder;
    this->LogApplies();
    EXPECT_TRUE(this->action->LoadFromPrefs(gp));
    EXPECT_TRUE(this->steps.empty());
    EXPECT_TRUE(this->action->Value() == TestFixture::Traits::Sample());
    this->action->ApplyWhenLoad = true;
    EXPECT_TRUE(this->action->LoadFromPrefs(gp));
    EXPECT_EQ(this->steps.size(), 3u);
    EXPECT_TRUE(this->recorder.Lines.isEmpty());
}

TYPED_TEST(ValueKinds, ALoadThatRaisesReturnsFalseAndSkipsTheRemainingSteps) {
    TFakePreferences gp;
    gp.ThrowOnRead.insert(QStringLiteral("Sn"));
    this->action->ApplyWhenLoad = true;
    this->LogApplies();
    this->action->SetValue(TestFixture::Traits::Other());
    this->steps.clear();
    EXPECT_FALSE(this->action->LoadFromPrefs(gp));
    EXPECT_TRUE(this->steps.empty());
    EXPECT_TRUE(this->action->Value() == TestFixture::Traits::Other());
}

TYPED_TEST(ValueKinds, BeforeSaveChangesTheValueInMemoryAndWhatIsWritten) {
    using T = typename TestFixture::T;
    TFakePreferences gp;
    this->action->SetValue(TestFixture::Traits::Other());
    this->action->BeforeSave = [](T& v) {
        v = TestFixture::Traits::Sample();
        return false; // ignored
    };
    bool internalSawSample = false;
    this->action->OnInternalBeforeSave = [&](T& v) {
        internalSawSample = v == TestFixture::Traits::Sample();
        return true;
    };
    EXPECT_TRUE(this->action->SaveToPrefs(gp));
    EXPECT_TRUE(internalSawSample);
    EXPECT_TRUE(this->action->Value() == TestFixture::Traits::Sample());
    EXPECT_TRUE(gp.template Get<T>(QStringLiteral("Sn")) == TestFixture::Traits::Sample());
}

TYPED_TEST(ValueKinds, ASaveThatFailsOrRaisesReturnsFalse) {
    using T = typename TestFixture::T;
    TFakePreferences gp;
    gp.FailWrite.insert(QStringLiteral("Sn"));
    EXPECT_FALSE(this->action->SaveToPrefs(gp));
    gp.FailWrite.clear();
    this->action->BeforeSave = [](T&) -> bool { throw std::runtime_error("no"); };
    EXPECT_FALSE(this->action->SaveToPrefs(gp));
    EXPECT_TRUE(gp.Values.empty());
}

TYPED_TEST(ValueKinds, DeclarationAndSwitchSyntaxWithTheDefaultVariables) {
    EXPECT_EQ(this->action->GetDeclaration(),
              QString::fromUtf8(TestFixture::Traits::Declaration()));
    EXPECT_EQ(this->action->GetSwitchSyntax(),
              QString::fromUtf8(TestFixture::Traits::SwitchSyntax()));
}

TYPED_TEST(ValueKinds, GivenVariablesAppearInBothTexts) {
    this->action->Variables = QStringLiteral("fDoTrue");
    const QString declaration = this->action->GetDeclaration();
    if (!std::is_same_v<TypeParam, TFontAction>) {
        EXPECT_TRUE(declaration.contains(QStringLiteral("(const fDoTrue:")))
            << declaration.toStdString();
    }
    EXPECT_EQ(this->action->GetSwitchSyntax(), QStringLiteral("/sw=fDoTrue"));
}

// A recorded line, read back by a script, calls the action's procedure with the same value.
TYPED_TEST(ValueKinds, ARecordedLineReplaysThroughTheScriptRoutineToTheSameValue) {
    TFakeScriptHost host;
    MacroRecorder = &this->recorder;
    this->action->SetValue(TestFixture::Traits::Sample());
    MacroRecorder = nullptr;
    ASSERT_EQ(this->recorder.Lines.size(), 1);
    const QVariantList args = MacroLineArguments(this->recorder.Lines[0]);

    auto replayed = std::make_unique<TypeParam>(nullptr);
    replayed->ScriptName = QStringLiteral("Sn");
    host.Methods.clear();
    ASSERT_TRUE(replayed->RegisterInScript(host));
    ASSERT_EQ(host.Methods.size(), 1);
    EXPECT_EQ(host.Methods[0].Declaration, QString::fromUtf8(TestFixture::Traits::Declaration()));
    EXPECT_EQ(host.Methods[0].Object, replayed.get());
    EXPECT_FALSE(host.Call(QStringLiteral("Sn"), args).isValid());
    EXPECT_TRUE(replayed->Value() == TestFixture::Traits::Sample());
}

TYPED_TEST(ValueKinds, ARoutineCalledWithMissingArgumentsOrAfterTheActionIsGoneFails) {
    TFakeScriptHost host;
    host.Methods.clear();
    ASSERT_TRUE(this->action->RegisterInScript(host));
    EXPECT_THROW(host.Call(QStringLiteral("Sn"), {}), std::exception);
    EXPECT_FALSE(this->action->RegisterInScript(host)); // the name is taken: refused
    const QVariantList args = MacroLineArguments(QString::fromUtf8(TestFixture::Traits::Macro()));
    this->action.reset();
    EXPECT_THROW(host.Call(QStringLiteral("Sn"), args), std::runtime_error);
}

TYPED_TEST(ValueKinds, SetValueTextReadsTheKindsText) {
    const char* text = TestFixture::Traits::ValueText();
    if (!text)
        GTEST_SKIP() << "this kind reads no value text";
    this->action->SetValueText(QString::fromUtf8(text));
    EXPECT_TRUE(this->action->Value() == TestFixture::Traits::Sample());
}

} // namespace
