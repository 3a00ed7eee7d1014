var i, j: Integer; s: string; a: array of Integer; e: Exception;
begin
  i := 0; s := '';
  while i < 10 do begin Inc(i); if Odd(i) then Continue; s := s + IntToStr(i); end;
  repeat Dec(i) until i <= 0;
  for j := 10 downto 1 do if j = 5 then Break;
  case s of 'x': i := 1; 'y', 'z': i := 2; else i := 3; end;
  case i of 1..2: s := 'a'; 3: s := 'b'; end;
  try
    try raise EConvertError.Create('bad'); finally s := s + '!'; end;
  except
    on E: EConvertError do s := E.Message;
    on E: Exception do raise;
  else
    s := '?';
  end;
  if (i > 1) and not (s = '') or (Length(s) <> 0) then Exit;
end.
