object MainForm: TTestForm
  Left = 0
  Top = 0
  Width = 640
  Height = 480
  Caption = 'Main form'
  Color = 15907840
  Cursor = crHandPoint
  Font.Color = clRed
  Font.Name = 'Segoe UI'
  Font.Style = [fsBold, fsUnderline]
  ParentFont = False
  OnClick = ButtonClick
  Hint =
    'It''s a "hint"'#9'with'#13#10'control characters, Gr'#252#223'e' +
    ' and '#55357#56832', long enough to be split over lines'
  object Timer1: TTestTimer
    Tag = -7
    Interval = 250
    OnTimer = TimerTick
  end
  object Panel1: TTestPanel
    Left = -8
    Top = 16
    Width = 300
    Height = 200
    Align = alClient
    Anchors = [akLeft, akRight, akBottom]
    Visible = False
    Items = <
      item
        Caption = 'one'
        Value = 2.25
        Target = Label1
      end
      item
        Align = alRight
      end>
    Buddy = Label1
    Data = {
      00070E151C232A31383F464D545B626970777E858C939AA1A8AFB6BDC4CBD2D9
      E0E7EEF5FC030A11181F262D}
    Lines.Strings = (
      'first ''quoted'''
      ''
      #252'n'#239'c'#246'd'#233)
    Picture.Data = {
      085454657374506E670400000089504E47}
    Ratio = 0.1
    Big = 1099511627776
    Small = 65535
    OnSelect = PanelSelect
    object Label1: TTestLabel
      Left = 0
      Top = 4
      Width = 41
      Height = 0
      Caption = 'Hello'
      OnClick = ButtonClick
    end
  end
end
