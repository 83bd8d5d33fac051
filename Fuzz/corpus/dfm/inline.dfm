object F: TTestForm
  inline Frame1: TTestPanel
    object Inner: TTestLabel
      Caption = 'inside'
    end
  end
  object P: TTestPanel
    Buddy = Frame1.Inner
    Tag = $7FFFFFFF
  end
end
