// What the grid tests share: a shown form with a 200 x 100 grid on it, and
// the grid's pixels as the screen shows them.
#pragma once

#include <QxDesktopFixture.hpp>

#include <Quorex.Vcl.Grid.hpp>
#include <Vcl.Forms.hpp>
#include <Win.Desktop.hpp>

#include <vector>

namespace QxTest {

class GridFixture : public QxDesktopFixture {
protected:
  void SetUp() override
  {
    QxDesktopFixture::SetUp();
    Form = new Vcl::TForm(Vcl::Application);
    Form->SetBounds(0, 0, 420, 320);
    Form->SetColor(Vcl::clWhite);
    Form->Show();
    Grid = Place(new Quorex::TQxGrid(Form), Form, 20, 20, 200, 100);
    RunUntilIdle();
  }

  Quorex::TQxGridGraph* AddGraph(Vcl::TColor Color = Vcl::clRed)
  {
    Quorex::TQxGridGraph* graph = Grid->Graphs()->Add();
    graph->SetMinColor(Color);
    graph->SetMaxColor(Color);
    return graph;
  }
  void Feed(std::initializer_list<double> Values, int Times = 1)
  {
    for (int i = 0; i < Times; ++i)
      Grid->AddValues(Values);
    RunUntilIdle();
  }

  // The grid as the screen shows it, read at client coordinates.
  struct TShot {
    Win::TImage Image;
    Vcl::TPoint Origin;
    Win::COLORREF operator()(int x, int y) const { return Image.Pixel(Origin.X + x, Origin.Y + y); }
  };
  TShot Shot()
  {
    RunUntilIdle();
    return {Win::ComposeDesktop(), Grid->ClientToScreen(Vcl::TPoint(0, 0))};
  }

  // A graph's ink: much red or blue, which neither the black background
  // nor the green grid has.
  static bool Ink(Win::COLORREF c) { return Win::GetRValue(c) > 60 || Win::GetBValue(c) > 60; }
  // The plot columns (client x) of row y that carry ink.
  std::vector<int> InkColumns(const TShot& shot, int y) const
  {
    std::vector<int> xs;
    for (int x = Grid->GridRect().Left; x < Grid->GridRect().Right; ++x)
      if (Ink(shot(x, y)))
        xs.push_back(x);
    return xs;
  }
  // The plot rows (client y) of column x that carry ink.
  std::vector<int> InkRows(const TShot& shot, int x) const
  {
    std::vector<int> ys;
    for (int y = Grid->GridRect().Top; y < Grid->GridRect().Bottom; ++y)
      if (Ink(shot(x, y)))
        ys.push_back(y);
    return ys;
  }

  Vcl::TForm* Form = nullptr;
  Quorex::TQxGrid* Grid = nullptr;
};

} // namespace QxTest
