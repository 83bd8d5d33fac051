object GraphsPage: TQxFrameClient
  object Load: TQxGrid
    Left = 8
    Top = 8
    Width = 300
    Height = 120
    ShowMiddleLabel = True
    GridRowSize = 12
    Graphs = <
      item
        ValueName = 'CPU'
        MinColor = clYellow
      end
      item
        Visible = False
      end>
    MarkerLines = <
      item
        Position = 80
        Style = psDash
      end>
  end
  object Traffic: TQxGrid
    Left = 8
    Top = 140
    TypeGrid = tgNumeric
    MaxLabelFormat = '%.0f'
    MaxValue = 10000.0
    MinValue = -50.0
    AutoScale = False
    AntiAlias = False
    AutoScalePeaks = <
      item
        MaxLabelFormat = '%.0fK'
        MaxValueDisplayScale = 0.001
        Value = 100000.0
      end
      item
        Value = 1000000.0
      end>
  end
end
