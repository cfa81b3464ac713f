program Statements;
var
  i, n: Integer;
  s: String = 'abc';
  a: array[1..3] of Integer;
begin
  n := 0;
  for i := 1 to 3 do a[i] := i * i;
  for i := 3 downto 1 do n := n + a[i];
  while n > 0 do begin n := n - 5; if n < 3 then break end;
  repeat Inc(n) until n >= 10;
  case n of 1..4: s := 'small'; 10, 11: s := 'ten' else s := 'other' end;
  if (n in [1, 10]) and not (s = '') then ShowMessage(s + IntToStr(n));
end.
