object Form1: TTestForm
  Left = 192
  Caption = 'Line one'#13#10 +
    'Line two'#$263A
  Color = clWindow
  Font.Color = $000080
  object Panel1: TTestPanel
    Color = $FF00000F
    Ratio = 1.5E2
    Picture.Data = {
      0A54504E474F626A656374 03000000 010203}
    object Label1: TTestLabel
      Cursor = crHandPoint
    end
  end
end
