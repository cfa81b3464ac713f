const K = $1F;
var x: Extended; t: String;
begin
  x := -(1.5e3 + K) * 2 / 3 - 7 mod 4 + (8 div 3) shl 1;
  t := Format('%d %s %.2f', [K, 'a''b', x]) + Copy('hello', 2, 3);
  x := <Report.Value> + Length(t);
  { comment } (* another *) // line
  t := FormatFloat('#,##0.00', x) + FormatDateTime('yyyy-mm-dd', Now)
end.
