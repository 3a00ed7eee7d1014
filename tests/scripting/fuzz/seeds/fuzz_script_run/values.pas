type TR = record n: Integer; s: string; a: array[0..2] of Byte; end;
var d: array of TR; m: array of array of Integer; cs: set of Char; r, q: TR;
    e: array of string; i: Integer; c: Cardinal; w: Int64;
begin
  SetLength(d, 2); d[1].s := 'x'; r := d[1]; q := r; q.a[2] := 7;
  SetLength(m, 2, 2); m[1][1] := 3; m[0] := nil;
  cs := ['a'..'f'] - ['c']; Include(cs, 'z');
  if 'z' in cs then i := Length(e);
  try writeln(e[0]); except end;
  try i := m[0][0]; except end;
  e := Copy(e, 0, 5);
  c := 0; Dec(c); w := c * 2 + High(Int64) div 3;
  writeln(Format('%d %s %x %u', [m[1, 1], d[1].s, q.a[2], c]) + IntToHex(w, 4));
end.
