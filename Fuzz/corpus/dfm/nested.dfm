object A: TTestForm
  object B: TTestPanel
    object C: TTestPanel
      object D: TTestPanel
        object E: TTestLabel
          AutoSize = False
          Width = 10
        end
      end
    end
  end
end
