// A round button that expands or collapses a details area: its disc shows
// a chevron and its caption names what a click would do next.
#pragma once

#include "Quorex.Vcl.RoundButton.hpp"

#include <GdiPlus.hpp>

namespace Quorex {

// What the details area currently shows.
enum class TQxDetailsButtonState { dbsFewerDetails, dbsMoreDetails };
using enum TQxDetailsButtonState;
QX_ENUM_NAMES(TQxDetailsButtonState, dbsFewerDetails, dbsMoreDetails)

class TQxDetailsButton : public TQxRoundButton {
  QX_CLASS(TQxDetailsButton, TQxRoundButton)
public:
  explicit TQxDetailsButton(Vcl::TComponent* AOwner);

  TQxDetailsButtonState State() const { return FState; }
  void SetState(TQxDetailsButtonState Value);
  Vcl::String CaptionFewerDetails() const { return FCaptionFewerDetails; }
  void SetCaptionFewerDetails(const Vcl::String& Value);
  Vcl::String CaptionMoreDetails() const { return FCaptionMoreDetails; }
  void SetCaptionMoreDetails(const Vcl::String& Value);

protected:
  void DrawItem(const Win::DRAWITEMSTRUCT& DrawItemStruct) override;
  // A chevron in Rect pointing up when Up, else down; the pen is 2 pixels
  // wide once Rect is 24 pixels high.
  void DrawArrow(GdiPlus::IGPGraphics& Graphics, const Vcl::TRect& Rect, bool Up);
  void UpdateCaption();

private:
  TQxDetailsButtonState FState = dbsMoreDetails;
  Vcl::String FCaptionFewerDetails = "Fewer details";
  Vcl::String FCaptionMoreDetails = "More details";
};

} // namespace Quorex
