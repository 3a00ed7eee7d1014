program Seeds;
uses SysUtils;
const N = 10; S = 'text'#13#10; F = 1.5e3; H = $FF;
type
  TKind = (kOne, kTwo, kThree);
  TKinds = set of TKind;
  TPoint2 = record x, y: Integer; name: string; end;
  TGrid = array[1..3, 0..2] of Double;
  TList = array of TPoint2;
  TDigit = 0..9;
var
  k: TKind; ks: TKinds; p: TPoint2; g: TGrid; l: TList; d: TDigit; c: TColor;
function Twice(const a: Integer; b: Integer = 2): Int64; forward;
function Twice(const a: Integer; b: Integer = 2): Int64;
begin
  Result := a * b;
end;
procedure Fill(var list: TList; n: Integer);
var i: Integer;
  procedure One(j: Integer);
  begin
    list[j].x := j; list[j].name := IntToStr(j);
  end;
begin
  SetLength(list, n);
  for i := Low(list) to High(list) do One(i);
end;
begin
  ks := [kOne..kTwo] + [kThree] - [kOne];
  Fill(l, N);
  c := clRed;
  {$IFDEF X} writeln('x'); {$ELSE} writeln(Format('%d %s %.2f', [Twice(3), S, F])); {$ENDIF}
end.
