object F: TTestForm
  Caption = 'abc
end
