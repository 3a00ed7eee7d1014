var i, x: Integer; s: string; a: array of string;
function Fib(n: Integer): Integer;
begin if n < 2 then Result := n else Result := Fib(n - 1) + Fib(n - 2); end;
begin
  for i := 1 to 100 do x := x * 3 + i div 2 - i mod 7;
  while Length(s) < 50 do s := s + Chr(65 + Length(s) mod 26);
  SetLength(a, 10);
  for i := 0 to High(a) do a[i] := Copy(s, i, 3);
  writeln(IntToStr(Fib(12)) + a[3] + Trim(' x ') + UpperCase(s));
  x := StrToIntDef(s, -1) + Round(x / 7);
end.
