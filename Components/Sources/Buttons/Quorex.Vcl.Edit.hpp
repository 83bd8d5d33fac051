// An edit that holds child controls at its left or right edge and moves its
// text margins so that the text never runs under them.
#pragma once

#include <Vcl.ImgList.hpp>
#include <Vcl.StdCtrls.Edit.hpp>

#include <memory>

namespace Quorex {

class TQxCustomEdit : public Vcl::TCustomEdit {
  QX_CLASS(TQxCustomEdit, Vcl::TCustomEdit)
public:
  explicit TQxCustomEdit(Vcl::TComponent* AOwner);
  ~TQxCustomEdit() override;

  Vcl::TCustomImageList* Images() const { return FImages; }
  void SetImages(Vcl::TCustomImageList* Value);

  void WndProc(Vcl::TMessage& Message) override;

protected:
  void ImageListChange(Vcl::TObject* Sender);
  // Left margin past the left-aligned children, right margin before the
  // right-aligned ones (2 pixels of room each).
  virtual void UpdateEditMargins();
  void AlignControls(Vcl::TControl* AControl, Vcl::TRect& Rect) override;
  void Notification(Vcl::TComponent* AComponent, Vcl::TOperation Operation) override;

private:
  Vcl::TCustomImageList* FImages = nullptr;
  std::unique_ptr<Vcl::TChangeLink> FImageChangeLink;
};

class TQxEdit : public TQxCustomEdit {
  QX_CLASS(TQxEdit, TQxCustomEdit)
public:
  using TQxCustomEdit::TQxCustomEdit;
};

} // namespace Quorex
