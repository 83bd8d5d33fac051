// A selector that looks like a push button showing the selected item's
// image and caption beside a pair of small up and down arrows. Pressing it
// opens the list of all items in a popup placed so that the selected item
// lies exactly over the button; a click on an item (or a press dragged onto
// one and released) selects it and closes the list; the wheel steps through
// the items without opening it.
#pragma once

#include "Quorex.Vcl.PopupForm.hpp"

#include <Vcl.ImgList.hpp>
#include <Vcl.Menus.hpp>
#include <Vcl.StdCtrls.hpp>

#include <memory>

namespace Quorex {

class TCustomHoldCombobox;

class TComboItem : public Vcl::TCollectionItem {
  QX_CLASS(TComboItem, Vcl::TCollectionItem)
public:
  explicit TComboItem(Vcl::TCollection* Collection) : Vcl::TCollectionItem(Collection) {}
  void Assign(const Vcl::TPersistent* Source) override;
  Vcl::String DisplayName() const override;

  const Vcl::String& Caption() const { return FCaption; }
  void SetCaption(const Vcl::String& Value);
  Integer ImageIndex() const { return FImageIndex; }
  void SetImageIndex(Integer Value);
  // The host's object for the item; not owned.
  Vcl::TObject* Data() const { return FData; }
  void SetData(Vcl::TObject* Value) { FData = Value; }

private:
  Vcl::String FCaption;
  Integer FImageIndex = -1;
  Vcl::TObject* FData = nullptr;
};

class TComboItems : public Vcl::TOwnedCollection {
  QX_CLASS(TComboItems, Vcl::TOwnedCollection)
public:
  explicit TComboItems(TCustomHoldCombobox* AOwner);

  TComboItem* Add() { return static_cast<TComboItem*>(Vcl::TCollection::Add()); }
  TComboItem* Items(Integer I) const { return static_cast<TComboItem*>(Vcl::TCollection::Items(I)); }
  void SetItems(Integer I, const TComboItem* Value) { Items(I)->Assign(Value); }
  TComboItem* operator[](Integer I) const { return Items(I); }
  Vcl::TObject* Objects(Integer I) const { return Items(I)->Data(); }
  // The first item whose data is Obj; -1 when none.
  Integer IndexOfObject(const Vcl::TObject* Obj) const;

protected:
  void Update(Vcl::TCollectionItem* Item) override;

private:
  TCustomHoldCombobox* FCombo;
};

// The list of a hold combo box: each item as tall and as wide as the combo,
// drawn as menu items, the one under the cursor highlighted. It holds the
// mouse from the opening press to its release, so that a press dragged
// onto an item and released there chooses it; the release of a plain click
// leaves it open for the next click.
class TComboPopup : public TPopupForm {
  QX_CLASS(TComboPopup, TPopupForm)
public:
  explicit TComboPopup(Vcl::TComponent* AOwner);
  ~TComboPopup() override;

  // Places the list over the combo and shows it with the mouse captured.
  void Popup();
  void SetPopupBounds();
  // Client rectangle of item I.
  Vcl::TRect GetItemRect(Integer I) const;
  // Whether the cursor lies over item I (it is drawn highlighted).
  bool GetItemState(Integer I) const;
  // The item under the cursor; -1 when none.
  Integer GetCurrentIndex() const;
  Integer ItemHeight() const;
  static constexpr Integer MarginLeft() { return 2; }
  static constexpr Integer MarginTop() { return 2; }
  static constexpr Integer MarginRight() { return 2; }
  static constexpr Integer MarginBottom() { return 2; }
  static constexpr Integer MarginHeight() { return MarginTop() + MarginBottom(); }

  TComboItems* Items() const { return FItems; }
  void SetItems(TComboItems* Value) { FItems = Value; }
  Vcl::TCustomImageList* GetImages() const { return FMenu->Images(); }
  void SetImages(Vcl::TCustomImageList* Value) { FMenu->SetImages(Value); }
  Integer ItemIndex() const { return FItemIndex; }
  TCustomHoldCombobox* OwnerControl() const { return FOwnerControl; }

  void Dispatch(Vcl::TMessage& Message) override;

protected:
  friend class TCustomHoldCombobox;
  void PaintWindow(Win::HDC DC) override;
  void MouseDown(Vcl::TMouseButton Button, Vcl::TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(Vcl::TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(Vcl::TMouseButton Button, Vcl::TShiftState Shift, Integer X, Integer Y) override;
  void Closed() override;
  void MakeMenuItem(const TComboItem* Item);
  void DrawMenuEdge(Vcl::TCanvas* Canvas);

private:
  bool NearOpeningPress() const;

  Vcl::TPopupMenu* FMenu;
  Vcl::TMenuItem* FMenuItem;
  TCustomHoldCombobox* FOwnerControl = nullptr;
  Integer FItemIndex = -1;
  TComboItems* FItems = nullptr;
  // The press that opened the list (screen), and whether its release is
  // still to come.
  Vcl::TPoint FOpeningPress;
  bool FAwaitingOpeningRelease = false;
};

class TCustomHoldCombobox : public Vcl::TCustomButton {
  QX_CLASS(TCustomHoldCombobox, Vcl::TCustomButton)
public:
  explicit TCustomHoldCombobox(Vcl::TComponent* AOwner);
  ~TCustomHoldCombobox() override;

  TComboItems* Items() const { return FItems.get(); }
  // Streaming and code fill the owned collection with copies of Value.
  void SetComboItems(TComboItems* Value);
  Vcl::TCustomImageList* Images() const { return FImages; }
  void SetImages(Vcl::TCustomImageList* Value);
  // -1 (or any index outside the items) is none; "Index
  // out of bounds" (Exception) for an index at or beyond the item count,
  // checked once the form resource is read.
  Integer ItemIndex() const { return FItemIndex; }
  void SetItemIndex(Integer Value);
  Integer GetItemCount() const { return FItems->Count(); }
  // The selected item; nullptr when the index names none.
  TComboItem* SelectedItem() const;
  Vcl::String GetDisplayCaption() const;
  void Clear();
  // The list while it lives (not at design time).
  TComboPopup* Popup() const { return FPopup; }

  Vcl::TNotifyEvent OnChange;

  // Geometry in the client rectangle R; plain pixels.
  static constexpr Integer LeftMargin() { return 5; }
  static constexpr Integer ArrowMargin() { return 8; }
  static constexpr Integer ArrowSize() { return 3; }
  static constexpr Integer ArrowWidth() { return 2 * ArrowSize(); }
  Integer ImageWidth() const;
  Vcl::TRect CaptionRect(const Vcl::TRect& R) const;
  Vcl::TPoint GetTopArrowPoint(const Vcl::TRect& R) const;
  Vcl::TPoint GetBottomArrowPoint(const Vcl::TRect& R) const;

  void Dispatch(Vcl::TMessage& Message) override;
  void Loaded() override;

protected:
  friend class TComboPopup;
  friend class TComboItems;
  void MouseDown(Vcl::TMouseButton Button, Vcl::TShiftState Shift, Integer X, Integer Y) override;
  bool DoMouseWheelDown(Vcl::TShiftState Shift, Vcl::TPoint MousePos) override;
  bool DoMouseWheelUp(Vcl::TShiftState Shift, Vcl::TPoint MousePos) override;
  void Notification(Vcl::TComponent* AComponent, Vcl::TOperation Operation) override;
  void PopupClosed(TComboPopup* Sender);
  void ItemsChanged();
  void DrawClassic(Vcl::TCanvas* Canvas);
  void DrawThemeCombo(Vcl::TCanvas* Canvas);

private:
  void WMPaint(Vcl::TMessage& Message);
  void DrawArrowsCaptionAndImage(Vcl::TCanvas* Canvas, const Vcl::TRect& R, bool Themed);
  void StoreItemIndex(Integer Value);

  Vcl::TPoint FMousePos;
  TComboPopup* FPopup = nullptr;
  Integer FItemIndex = -1;
  std::unique_ptr<TComboItems> FItems;
  Vcl::TCustomImageList* FImages = nullptr;
  std::unique_ptr<Vcl::TChangeLink> FImageChangeLink;
  bool FMouseInControl = false;
};

class THoldCombobox : public TCustomHoldCombobox {
  QX_CLASS(THoldCombobox, TCustomHoldCombobox)
public:
  using TCustomHoldCombobox::TCustomHoldCombobox;
};

} // namespace Quorex
