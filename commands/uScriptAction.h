#pragma once
// The typed actions: every command and setting of the program.
//
//   TCustomAbstractAction (a QAction)        commands/uCustomAbstractAction.h
//     TAbstractAction (+ OnImageChanged)     commands/uAbstractAction.h
//       TNopeAction        na  no value      commands/uNopeAction.h
//       TWidestringAction  wa  QString       commands/uWidestringAction.h
//       TIntegerAction     ia  int32_t       commands/uIntegerAction.h
//       TColorAction       la  TColor        commands/uColorAction.h
//       TDoubleAction      da  double        commands/uDoubleAction.h
//       TPointAction       pa  TPoint        commands/uPointAction.h
//       TBooleanAction     ba  bool          commands/uBooleanAction.h
//       TRectAction        ra  TRect         commands/uRectAction.h
//       TFontAction        fa  TFont         commands/uFontAction.h
//     TCheckAction         ca  Checked       commands/uCheckAction.h
//
// MacroRecorder and MacroNesting: commands/uMacroRecorder.h. Value texts: commands/uValueText.h.
#include "commands/uBooleanAction.h"
#include "commands/uCheckAction.h"
#include "commands/uColorAction.h"
#include "commands/uDoubleAction.h"
#include "commands/uFontAction.h"
#include "commands/uIntegerAction.h"
#include "commands/uMacroRecorder.h"
#include "commands/uNopeAction.h"
#include "commands/uPointAction.h"
#include "commands/uRectAction.h"
#include "commands/uWidestringAction.h"
