object Dialog: TForm
  Left = 200
  Top = 120
  BorderStyle = bsDialog
  Caption = 'Settings'
  ClientHeight = 150
  ClientWidth = 320
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'Tahoma'
  Font.Style = []
  KeyPreview = True
  OldCreateOrder = False
  Position = poScreenCenter
  PixelsPerInch = 96
  TextHeight = 13
  object Header: TPanel
    Left = 0
    Top = 0
    Width = 320
    Height = 41
    Align = alTop
    BevelOuter = bvLowered
    Caption = 'Header'
    Cursor = crHandPoint
    Constraints.MinHeight = 30
    PopupMenu = HeaderMenu
    TabOrder = 1
    OnClick = HeaderClick
  end
  object OkButton: TButton
    Left = 152
    Top = 112
    Width = 75
    Height = 25
    Anchors = [akRight, akBottom]
    Caption = 'OK'
    Default = True
    ModalResult = 1
    TabOrder = 0
  end
  object Ticker: TTimer
    Interval = 250
    OnTimer = Tick
    Left = 8
    Top = 96
  end
  object HeaderMenu: TPopupMenu
    Alignment = paRight
    OnPopup = HeaderClick
  end
end
