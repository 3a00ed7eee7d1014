var a: array[1..3] of Integer; i: Integer; s: string; d: Double;
procedure Rec(n: Integer); begin Rec(n + 1); end;
begin
  try i := 0; i := 5 div i; except on E: EDivByZero do writeln(E.Message); end;
  try a[i + 7] := 1; except writeln('range'); end;
  try s := 'abc'; s[9] := 'x'; except end;
  try d := 0; d := 1 / d; except end;
  try Rec(0); except on E: EStackOverflow do writeln(E.Message); end;
  try s := 'x'; while True do s := s + s; except writeln('long'); end;
  StrToInt('nope');
end.
