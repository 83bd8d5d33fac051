object F: TTestForm
  object P: TTestPanel
    Items = <
      item
        Target = P
      end>
    Items = <>
    Buddy = Ghost
  end
end
