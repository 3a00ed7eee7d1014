// Fuzz target of the command line and of the value texts: the input (UTF-8, one argument per
// line) is parsed by a switch runner holding one action of every kind and applied; every line is
// also given to each kind's SetValueText and to the shortcut and colour readers.
#include "commands/uScriptAction.h"
#include "commands/uSuperAction.h"
#include "commands/uValueText.h"
#include "commands/uZvSwitch.h"
#include "platform/ui/Application.h"
#include "platform/ui/Colors.h"
#include "platform/ui/ShortCuts.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include <QGuiApplication>
#include <QLocale>

namespace {

struct TFixture {
    QObject Form;
    TZvActionList* List = new TZvActionList(&Form);
    TZvSwitch* Runner = new TZvSwitch(&Form);

    TFixture() {
        const char* switches[] = {"n", "w", "i", "c", "d", "p", "b", "r", "f", "k"};
        TCustomAbstractAction* actions[] = {
            new TNopeAction("na", List),    new TWidestringAction("wa", List),
            new TIntegerAction("ia", List), new TColorAction("la", List),
            new TDoubleAction("da", List),  new TPointAction("pa", List),
            new TBooleanAction("ba", List), new TRectAction("ra", List),
            new TFontAction("fa", List),    new TCheckAction("ca", List),
        };
        for (size_t i = 0; i < std::size(actions); ++i) {
            actions[i]->Switch = QString::fromLatin1(switches[i]);
            actions[i]->ScriptName = QStringLiteral("S%1").arg(i);
        }
        List->SetSwitch(Runner);
    }
};

TFixture* Fixture = nullptr;
TMacroLineList Recorder;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "switch_fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    static TFixture fixture;
    Fixture = &fixture;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!Fixture)
        LLVMFuzzerInitialize(nullptr, nullptr);
    const QString input = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList lines = input.split(QLatin1Char('\n'));

    MacroRecorder = &Recorder;
    Application().SetParamStrings(lines);
    try {
        Fixture->Runner->Run();
    } catch (const std::exception&) {
    }
    for (const QString& line : lines) {
        for (TCustomAbstractAction* a : Fixture->List->TypedActions())
            a->SetValueText(line);
        ShortCutToKeySequence(TextToShortCut(line));
        IdentToColor(line);
        ReadDoubleText(line, QLocale(QLocale::French, QLocale::France));
    }
    MacroRecorder = nullptr;
    Recorder.Lines.clear();
    return 0;
}
