object FormResourcePage: TQxFrameClient
  Color = clWindow
  object Title: THtmlLabel
    Left = 16
    Top = 12
    AutoHeight = True
    Caption = '<font size=16><b>A page from a form resource</b></font>'
  end
  object Intro: THtmlLabel
    Left = 16
    Top = 52
    Width = 440
    WordBreak = True
    AutoHeight = True
    Caption = 'Everything on this page was read from a <b>text form resource</b> that ships with the gallery: the labels, their captions and fonts, and the panel with its colour. Properties at their defaults are not stored in it.'
  end
  object Panel: TQxPanel
    Left = 16
    Top = 130
    Width = 440
    Height = 120
    Color = $00E8F4E8
    ParentColor = False
    object PanelText: THtmlLabel
      Left = 12
      Top = 12
      AutoHeight = True
      Caption = '<b>A panel</b> with a green background<br>and a <a href=resource>link</a> inside it'
    end
    object Colored: THtmlLabel
      Left = 12
      Top = 60
      LinkColor = clGreen
      LinkUnderline = True
      Caption = 'Links in <a href=green>green</a>, always underlined'
    end
  end
end
