#pragma once
// For each value kind: a sample value, another value, the sample's macro line and its script
// declaration and switch syntax (script name "Sn", switch "sw"), so that one set of typed tests
// covers every kind.
#include "commands/uScriptAction.h"
#include "platform/ui/Colors.h"
#include "tests/commands/support/QtPrint.h"

#include <QVariantList>

template <class A>
struct TKindTraits;

template <>
struct TKindTraits<TWidestringAction> {
    using T = QString;
    static T Sample() { return QStringLiteral("it's here"); }
    static T Other() { return QStringLiteral("other"); }
    static const char* Macro() { return "    Sn('it''s here');"; }
    static const char* Declaration() { return "procedure Sn(const aWidestring:widestring);"; }
    static const char* SwitchSyntax() { return "/sw=aWidestring"; }
    static const char* ValueText() { return "it's here"; }
};

template <>
struct TKindTraits<TIntegerAction> {
    using T = int32_t;
    static T Sample() { return -42; }
    static T Other() { return 3; }
    static const char* Macro() { return "    Sn(-42);"; }
    static const char* Declaration() { return "procedure Sn(const aInteger:integer);"; }
    static const char* SwitchSyntax() { return "/sw=aInteger"; }
    static const char* ValueText() { return " -42"; }
};

template <>
struct TKindTraits<TColorAction> {
    using T = TColor;
    static T Sample() { return clBtnFace; }
    static T Other() { return 0x0000FF; }
    static const char* Macro() { return "    Sn($FF00000F);"; }
    static const char* Declaration() { return "procedure Sn(const aColor:TColor);"; }
    static const char* SwitchSyntax() { return "/sw=aColor"; }
    static const char* ValueText() { return "clBtnFace"; }
};

template <>
struct TKindTraits<TDoubleAction> {
    using T = double;
    static T Sample() { return 1.5; }
    static T Other() { return -0.25; }
    static const char* Macro() { return "    Sn(1.5);"; }
    static const char* Declaration() { return "procedure Sn(const aDouble:Double);"; }
    static const char* SwitchSyntax() { return "/sw=aDouble"; }
    static const char* ValueText() { return "1.5"; }
};

template <>
struct TKindTraits<TPointAction> {
    using T = TPoint;
    static T Sample() { return {5000, 8200}; }
    static T Other() { return {1, 2}; }
    static const char* Macro() { return "    Sn(5000,8200);"; }
    static const char* Declaration() { return "procedure Sn(const x,y:integer);"; }
    static const char* SwitchSyntax() { return "/sw=x,y"; }
    static const char* ValueText() { return "(5000, 8200)"; }
};

template <>
struct TKindTraits<TBooleanAction> {
    using T = bool;
    static T Sample() { return true; }
    static T Other() { return false; }
    static const char* Macro() { return "    Sn(True);"; }
    static const char* Declaration() { return "procedure Sn(const aBoolean:Boolean);"; }
    static const char* SwitchSyntax() { return "/sw=aBoolean"; }
    static const char* ValueText() { return " Vrai "; }
};

template <>
struct TKindTraits<TRectAction> {
    using T = TRect;
    static T Sample() { return {300, 310, 1100, 860}; }
    static T Other() { return {1, 2, 3, 4}; }
    // In the order of the procedure's parameters: left, right, top, bottom.
    static const char* Macro() { return "    Sn(300,1100,310,860);"; }
    static const char* Declaration() {
        return "procedure Sn(const left,right,top,bottom:integer);";
    }
    // After the declaration has fixed the parameter names.
    static const char* SwitchSyntax() { return "/sw=left,right,top,bottom"; }
    static const char* ValueText() { return "(300, 310, 1100, 860)"; }
};

template <>
struct TKindTraits<TFontAction> {
    using T = TFont;
    static T Sample() {
        TFont f;
        f.Name = QStringLiteral("Arial");
        f.SetSize(12);
        f.Color = clBlack;
        f.SetStyle(fsBold, true);
        return f;
    }
    static T Other() {
        TFont f;
        f.Name = QStringLiteral("O'Neil Mono");
        f.SetSize(20);
        f.Color = clYellow;
        f.SetStyle(fsItalic, true);
        f.SetStyle(fsStrikeOut, true);
        return f;
    }
    static const char* Macro() {
        return "    Sn('Arial', 12, $000000, True, False, False, False);";
    }
    static const char* Declaration() {
        return "procedure Sn(aName:widestring;aSize:integer;aColor:TColor;isBold:Boolean;"
               "isItalic:Boolean;isUnderline:Boolean;isStrikeOut:Boolean);";
    }
    static const char* SwitchSyntax() { return "/sw=aFont"; }
    static const char* ValueText() { return nullptr; } // a font has no value text
};

// The arguments of a recorded line "    Name(a, b, ...);" as a script engine would pass them:
// quoted texts with doubled quotes, $hexadecimal and decimal integers, numbers with a point or an
// exponent, True and False.
QVariantList MacroLineArguments(const QString& line);
