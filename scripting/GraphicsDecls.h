#pragma once
// The standard graphics declarations a Delphi script may name: TColor and the named colours
// (standard and system colours), the font, pen and brush types, and the classes TGraphicsObject,
// TFont, TPen, TBrush, TCanvas, TGraphic, TBitmap and TPicture as opaque classes. Scripts can
// declare variables and parameters of these types; they cannot create objects of them.
namespace kelvara::script {

class Compiler;

// Declares them among the host's registrations; a name already declared is left as it is.
void DeclareStandardGraphics(Compiler& c);

} // namespace kelvara::script
