// The framework's edit with image buttons at its left and right edges. Each
// button shows an image of the edit's Images by its look (disabled, normal,
// hot, pressed; an unset look falls back to ImageIndex), raises the edit's
// OnLeftButtonClick or OnRightButtonClick when clicked (then drops its
// DropDownMenu, if any, below it), and keeps the text clear of it through the
// edit's margins. The buttons are small windows
// inside the edit, named "LeftButton" and "RightButton".
#pragma once

#include "Vcl.ImgList.hpp"
#include "Vcl.StdCtrls.Edit.hpp"

#include <memory>

namespace Vcl {

class TCustomButtonedEdit;
class TPopupMenu;
class TEditButtonGlyph;

class TEditButton : public TPersistent {
  QX_CLASS(TEditButton, TPersistent)
public:
  enum class TButtonPosition { bpLeft, bpRight };

  TEditButton(TCustomButtonedEdit* EditControl, TButtonPosition Position);
  ~TEditButton() override;
  // Takes another button's images, visibility, state and hint.
  void Assign(const TPersistent* Source) override;

  TImageIndex DisabledImageIndex() const { return FDisabledImageIndex; }
  void SetDisabledImageIndex(TImageIndex Value);
  TImageIndex HotImageIndex() const { return FHotImageIndex; }
  void SetHotImageIndex(TImageIndex Value);
  TImageIndex ImageIndex() const { return FImageIndex; }
  void SetImageIndex(TImageIndex Value);
  TImageIndex PressedImageIndex() const { return FPressedImageIndex; }
  void SetPressedImageIndex(TImageIndex Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  // Shown over the button while the edit shows hints.
  String Hint() const;
  void SetHint(const String& Value);
  // Not owned: the edit is told when it goes away.
  TPopupMenu* DropDownMenu() const { return FDropDownMenu; }
  void SetDropDownMenu(TPopupMenu* Value);

  // The look the button shows now, and the image it draws for it (-1: none).
  bool Hot() const;
  bool Pressed() const;
  TImageIndex CurrentImageIndex() const;
  // The button's window inside the edit.
  TEditButtonGlyph* Glyph() const { return FGlyph; }

private:
  friend class TCustomButtonedEdit;
  friend class TEditButtonGlyph;
  void Changed();

  TCustomButtonedEdit* FEditControl;
  TButtonPosition FPosition;
  TEditButtonGlyph* FGlyph;
  TImageIndex FDisabledImageIndex = -1;
  TImageIndex FHotImageIndex = -1;
  TImageIndex FImageIndex = -1;
  TImageIndex FPressedImageIndex = -1;
  TPopupMenu* FDropDownMenu = nullptr;
  bool FVisible = false;
  bool FEnabled = true;
};

class TCustomButtonedEdit : public TCustomEdit {
  QX_CLASS(TCustomButtonedEdit, TCustomEdit)
public:
  explicit TCustomButtonedEdit(TComponent* AOwner);
  ~TCustomButtonedEdit() override;

  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  TEditButton* LeftButton() const { return FLeftButton.get(); }
  void SetLeftButton(const TEditButton* Value);
  TEditButton* RightButton() const { return FRightButton.get(); }
  void SetRightButton(const TEditButton* Value);

  TNotifyEvent OnLeftButtonClick;
  TNotifyEvent OnRightButtonClick;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Resize() override;
  void CreateWnd() override;
  // Places the buttons and sets the margins that keep the text clear of them.
  void UpdateEditButtons();

private:
  friend class TEditButton;
  friend class TEditButtonGlyph;
  void ButtonClick(TEditButton* Button);

  // A click handler may free the edit before its button's menu drops.
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
  TCustomImageList* FImages = nullptr;
  std::unique_ptr<TChangeLink> FImageChangeLink;
  std::unique_ptr<TEditButton> FLeftButton;
  std::unique_ptr<TEditButton> FRightButton;
};

// A button's window: it tracks the pointer for the hot and pressed looks
// and paints the image on the edit's colour.
class TEditButtonGlyph : public TCustomControl {
  QX_CLASS(TEditButtonGlyph, TCustomControl)
public:
  TEditButtonGlyph(TCustomButtonedEdit* Edit, TEditButton* Button);

  bool Hot() const { return FHot; }
  bool Pressed() const { return FPressed && FHot; }
  void Dispatch(TMessage& Message) override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;

private:
  void SetHot(bool Value);

  TCustomButtonedEdit* FEdit;
  TEditButton* FButton;
  bool FHot = false;
  bool FPressed = false;
};

// What an edit with buttons publishes beyond the edit's own properties.
inline constexpr const char* ButtonedEditProperties[] = {"Images", "LeftButton", "RightButton", "OnLeftButtonClick",
                                                         "OnRightButtonClick"};

class TButtonedEdit : public TCustomButtonedEdit {
  QX_CLASS(TButtonedEdit, TCustomButtonedEdit)
public:
  using TCustomButtonedEdit::TCustomButtonedEdit;
};

} // namespace Vcl
