function Fib(n: Integer): Integer;
begin
  if n < 2 then Result := n else Result := Fib(n - 1) + Fib(n - 2)
end;

procedure Twice(var x: Integer; by: Integer = 2);
  procedure Inner; begin x := x * by end;
begin
  Inner
end;

var v: Integer;
begin
  v := Fib(10);
  Twice(v);
  try
    v := v div (v - v)
  except
    ShowMessage(ExceptionMessage)
  end;
  try exit finally ShowMessage('done') end
end.
