object Other: TTestForm
  Caption = 'Changed'
  inherited Panel1: TTestPanel
    Lines.Strings = (
      'replaced')
    Items = <
      item
        Caption = 'new'
      end>
    Picture.Data = {0854546573745069630100000007}
    OnSelect = nil
  end
  inherited Label1: TTestLabel
    Caption = 'moved'
  end
  object Late: TTestPanel
    Buddy = Nobody
  end
end
