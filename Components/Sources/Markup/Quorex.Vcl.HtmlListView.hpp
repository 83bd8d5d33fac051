// The markup list view: the framework's report list view whose item
// captions are drawn as markup, on rows of alternating colours, while the
// sub-items stay plain text.
#pragma once

#include <Quorex.Vcl.HtmlLabel.hpp>
#include <Vcl.ComCtrls.hpp>

#include <functional>

namespace Quorex {

// The handler may replace the text that is drawn for the item; the item's
// caption stays as it is.
using TFormatItemEvent = std::function<void(Vcl::TObject* Sender, Vcl::TListItem* Item, String& FormattedText)>;

class THtmlListView : public Vcl::TCustomListView {
  QX_CLASS(THtmlListView, Vcl::TCustomListView)
public:
  static constexpr Vcl::TColor EvenRowColor = 0x00FFFFFF;
  static constexpr Vcl::TColor OddRowColor = 0x00FFF0F0;

  using Vcl::TCustomListView::TCustomListView;

  TFormatItemEvent OnFormatItem;

protected:
  // Without the host's own drawing handlers the list draws every item itself.
  void DrawItem(Vcl::TListItem* Item, Vcl::TRect Rect, Vcl::TOwnerDrawState State) override;
  bool CustomDrawItem(Vcl::TListItem* Item, Vcl::TCustomDrawState State, Vcl::TCustomDrawStage Stage) override;
  virtual void DoCustomDraw(Vcl::TListItem* Item, Vcl::TCustomDrawStage Stage);

private:
  // The plain-text sub-items right of the markup text, one per column.
  void DrawSubItems(Vcl::TListItem* Item, const Vcl::TRect& TextRect);
};

} // namespace Quorex
