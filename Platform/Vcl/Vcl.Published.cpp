// The published properties of the framework classes: TControl, TWinControl,
// the form, the panel, the button, the popup menu, the timer, the actions and
// the list view. A class declares its properties once; descendants publish
// the ones the framework publishes for them. They share one file because a descendant's table copies
// its ancestor's while the library loads, and only the order of
// initialisation within one file is certain.
#include "Vcl.Controls.hpp"

#include "System.Classes.Streaming.hpp"
#include "Vcl.ActnList.hpp"
#include "Vcl.Controls.Padding.hpp"
#include "Vcl.Controls.Touch.hpp"
#include "Vcl.Buttons.hpp"
#include "Vcl.ComCtrls.hpp"
#include "Vcl.ExtCtrls.ButtonedEdit.hpp"
#include "Vcl.ExtCtrls.Image.hpp"
#include "Vcl.ExtCtrls.hpp"
#include "Vcl.Forms.Frame.hpp"
#include "Vcl.Forms.hpp"
#include "Vcl.Menus.hpp"
#include "Vcl.StdCtrls.Edit.hpp"
#include "Vcl.StdCtrls.Label.hpp"
#include "Vcl.StdCtrls.hpp"

#include <span>

namespace Vcl {

namespace {

// What designers set on a control's place in its parent's align pass.
constexpr const char* MarginProperties[] = {"AlignWithMargins", "Margins"};

// The three-dimensional look, for the controls the framework publishes it on.
constexpr const char* Ctl3DProperties[] = {"Ctl3D", "ParentCtl3D"};

} // namespace

QX_PUBLISHED(TSizeConstraints)
{
  Property("MaxHeight", &T::MaxHeight, &T::SetMaxHeight).Default(0);
  Property("MaxWidth", &T::MaxWidth, &T::SetMaxWidth).Default(0);
  Property("MinHeight", &T::MinHeight, &T::SetMinHeight).Default(0);
  Property("MinWidth", &T::MinWidth, &T::SetMinWidth).Default(0);
}

namespace {

template <bool (TControl::*IsStored)() const>
bool ControlStored(const TObject* o)
{
  return (static_cast<const TControl*>(o)->*IsStored)();
}

} // namespace

QX_PUBLISHED(TControl)
{
  Property("Action", &T::Action, &T::SetAction).Protected();
  Property("Left", &T::Left, &T::SetLeft);
  Property("Top", &T::Top, &T::SetTop);
  Property("Width", &T::Width, &T::SetWidth);
  Property("Height", &T::Height, &T::SetHeight);
  Property("Cursor", &T::Cursor, &T::SetCursor).As(pkCursor).Default(crDefault);
  Property("Hint", &T::Hint, &T::SetHint).StoredWhen(ControlStored<&T::IsHintStored>);
  Property("Align", &T::Align, &T::SetAlign).Default(alNone).Protected();
  Property("Anchors", &T::Anchors, &T::SetAnchors).Default(TAnchors{akLeft, akTop}).Protected();
  Property("AutoSize", &T::AutoSize, &T::SetAutoSize).Default(false).Protected();
  Property("Caption", &T::Caption, &T::SetCaption).StoredWhen(ControlStored<&T::IsCaptionStored>).Protected();
  Property("Color", &T::Color, &T::SetColor)
    .As(pkColor)
    .Default(clWindow)
    .StoredWhen([](const TObject* o) { return !static_cast<const TControl*>(o)->ParentColor(); })
    .Protected();
  Property("Constraints", &T::Constraints, &T::SetConstraints).Protected();
  Property("Enabled", &T::Enabled, &T::SetEnabled)
    .Default(true)
    .StoredWhen(ControlStored<&T::IsEnabledStored>)
    .Protected();
  Property("Font", &T::Font, &T::SetFont)
    .StoredWhen([](const TObject* o) { return !static_cast<const TControl*>(o)->ParentFont(); })
    .Protected();
  Property("ParentColor", &T::ParentColor, &T::SetParentColor).Default(false).Protected();
  Property("ParentFont", &T::ParentFont, &T::SetParentFont).Default(true).Protected();
  Property("ParentShowHint", &T::ParentShowHint, &T::SetParentShowHint).Default(true).Protected();
  Property("PopupMenu", &T::PopupMenu, &T::SetPopupMenu).Protected();
  Property("ShowHint", &T::ShowHint, &T::SetShowHint)
    .StoredWhen([](const TObject* o) { return !static_cast<const TControl*>(o)->ParentShowHint(); })
    .Protected();
  Property("Visible", &T::Visible, &T::SetVisible)
    .Default(true)
    .StoredWhen(ControlStored<&T::IsVisibleStored>)
    .Protected();
  Property("ParentBiDiMode", &T::ParentBiDiMode, &T::SetParentBiDiMode).Default(true).Protected();
  Property("BiDiMode", &T::BiDiMode, &T::SetBiDiMode)
    .StoredWhen([](const TObject* o) { return !static_cast<const TControl*>(o)->ParentBiDiMode(); })
    .Protected();
  Property("DragCursor", &T::DragCursor, &T::SetDragCursor).As(pkCursor).Default(crDrag).Protected();
  Property("DragKind", &T::DragKind, &T::SetDragKind).Default(dkDrag).Protected();
  Property("DragMode", &T::DragMode, &T::SetDragMode).Default(dmManual).Protected();
  // Each parent switch before the value it stands for, so that a stored
  // value is read last and wins.
  Property("ParentCtl3D", &T::ParentCtl3D, &T::SetParentCtl3D).Default(true).Protected();
  Property("Ctl3D", &T::Ctl3D, &T::SetCtl3D)
    .StoredWhen([](const TObject* o) { return !static_cast<const TControl*>(o)->ParentCtl3D(); })
    .Protected();
  Property("AlignWithMargins", &T::AlignWithMargins, &T::SetAlignWithMargins).Default(false).Protected();
  Property("Margins", &T::Margins, &T::SetMargins).Protected();
  Property("Touch", &T::Touch, &T::SetTouch).Protected();
  Event("OnClick", &T::OnClick).Protected();
  Event("OnContextPopup", &T::OnContextPopup).Protected();
  Event("OnDblClick", &T::OnDblClick).Protected();
  Event("OnDragDrop", &T::OnDragDrop).Protected();
  Event("OnDragOver", &T::OnDragOver).Protected();
  Event("OnEndDock", &T::OnEndDock).Protected();
  Event("OnEndDrag", &T::OnEndDrag).Protected();
  Event("OnGesture", &T::OnGesture).Protected();
  Event("OnMouseActivate", &T::OnMouseActivate).Protected();
  Event("OnStartDock", &T::OnStartDock).Protected();
  Event("OnStartDrag", &T::OnStartDrag).Protected();
  Event("OnMouseDown", &T::OnMouseDown).Protected();
  Event("OnMouseEnter", &T::OnMouseEnter).Protected();
  Event("OnMouseLeave", &T::OnMouseLeave).Protected();
  Event("OnMouseMove", &T::OnMouseMove).Protected();
  Event("OnMouseUp", &T::OnMouseUp).Protected();
  Event("OnMouseWheel", &T::OnMouseWheel).Protected();
  Event("OnResize", &T::OnResize).Protected();
  Event("OnCanResize", &T::OnCanResize).Protected();
  Event("OnConstrainedResize", &T::OnConstrainedResize).Protected();
}

QX_PUBLISHED(TWinControl)
{
  Property("TabOrder", &T::TabOrder, &T::SetTabOrder).SiblingOrder().Protected();
  Property("TabStop", &T::TabStop, &T::SetTabStop).Default(false).Protected();
  // Stored whenever it is the control's own, so that it wins over the
  // parent's value the control took when it was put in.
  Property("ParentDoubleBuffered", &T::ParentDoubleBuffered, &T::SetParentDoubleBuffered).Default(true).Protected();
  Property("DoubleBuffered", &T::DoubleBuffered, &T::SetDoubleBuffered)
    .StoredWhen([](const TObject* o) { return !static_cast<const TWinControl*>(o)->ParentDoubleBuffered(); })
    .Protected();
  Property("ParentBackground", &T::ParentBackground, &T::SetParentBackground).Default(false).Protected();
  Property("Padding", &T::Padding, &T::SetPadding).Protected();
  Property("BevelEdges", &T::BevelEdges, &T::SetBevelEdges)
    .Default(TBevelEdges{beLeft, beTop, beRight, beBottom})
    .Protected();
  Property("BevelInner", &T::BevelInner, &T::SetBevelInner).Default(bvRaised).Protected();
  Property("BevelOuter", &T::BevelOuter, &T::SetBevelOuter).Default(bvLowered).Protected();
  Property("BevelKind", &T::BevelKind, &T::SetBevelKind).Default(bkNone).Protected();
  Property("BevelWidth", &T::BevelWidth, &T::SetBevelWidth).Default(1).Protected();
  Event("OnAlignInsertBefore", &T::OnAlignInsertBefore).Protected();
  Event("OnAlignPosition", &T::OnAlignPosition).Protected();
  Event("OnGetSiteInfo", &T::OnGetSiteInfo).Protected();
  Event("OnEnter", &T::OnEnter).Protected();
  Event("OnExit", &T::OnExit).Protected();
  Event("OnKeyDown", &T::OnKeyDown).Protected();
  Event("OnKeyPress", &T::OnKeyPress).Protected();
  Event("OnKeyUp", &T::OnKeyUp).Protected();
}


QX_PUBLISHED(TCustomForm)
{
  Property("BorderIcons", &T::BorderIcons, &T::SetBorderIcons)
    .Default(TBorderIcons{biSystemMenu, biMinimize, biMaximize})
    .Protected();
  Property("BorderStyle", &T::BorderStyle, &T::SetBorderStyle).Default(bsSizeable).Protected();
  Property("Visible", &T::Visible, &T::SetVisible)
    .Default(true)
    .StoredWhen(ControlStored<&T::IsVisibleStored>)
    .Protected();
  Property("FormStyle", &T::FormStyle, &T::SetFormStyle).Default(fsNormal).Protected();
  Property("KeyPreview", &T::KeyPreview, &T::SetKeyPreview).Default(false).Protected();
  Property("PixelsPerInch", &T::PixelsPerInch, &T::SetPixelsPerInch).Protected();
  Property("Scaled", &T::Scaled, &T::SetScaled).Default(true).Protected();
  Property("Position", &T::Position, &T::SetPosition).Default(poDesigned).Protected();
  Property("ActiveControl", &T::ActiveControl, &T::SetActiveControl).Protected();
  Property("Menu", &T::Menu, &T::SetMenu).Protected();
  Event("OnActivate", &T::OnActivate).Protected();
  Event("OnClose", &T::OnClose).Protected();
  Event("OnCloseQuery", &T::OnCloseQuery).Protected();
  Event("OnCreate", &T::OnCreate).Protected();
  Event("OnDeactivate", &T::OnDeactivate).Protected();
  Event("OnDestroy", &T::OnDestroy).Protected();
  Event("OnHide", &T::OnHide).Protected();
  Event("OnShow", &T::OnShow).Protected();
}

QX_PUBLISHED(TForm)
{
  // In the order designers write a form, so that a designer's file read and
  // written again changes little: the client size (a form stores it rather
  // than its outer size) after the caption, the events, then the resolution
  // it was laid out at.
  for (const char* name : {"ActiveControl", "Align", "Anchors", "AutoSize", "BorderIcons", "BorderStyle", "Caption"})
    Publish(name);
  Property("ClientHeight", &T::ClientHeight, &T::SetClientHeight);
  Property("ClientWidth", &T::ClientWidth, &T::SetClientWidth);
  Publish("Color").Default(clBtnFace);
  Publish("Constraints");
  Publish("Enabled");
  // A form has no parent to take its font from.
  Publish("ParentFont").Default(false);
  Publish("Font");
  for (const char* name : {"FormStyle", "KeyPreview", "Menu", "Position", "Scaled", "ShowHint"})
    Publish(name);
  Publish("Visible").Default(false);
  for (const char* name : {"OnActivate", "OnClick", "OnClose", "OnCloseQuery", "OnCreate", "OnDblClick", "OnDeactivate",
                           "OnDestroy", "OnHide", "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseMove",
                           "OnMouseUp", "OnResize", "OnShow", "PixelsPerInch"})
    Publish(name);
  Publish("Width").Stored(false);
  Publish("Height").Stored(false);
  for (const char* name : Ctl3DProperties)
    Publish(name);
}

QX_PUBLISHED(TFrame)
{
  for (const char* name : {"Align", "Anchors", "AutoSize", "Constraints", "DoubleBuffered", "Enabled", "Font"})
    Publish(name);
  Publish("Color").Default(clBtnFace);
  Publish("ParentBackground").Default(true);
  for (const char* name : {"ParentColor", "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder",
                           "TabStop", "Visible", "OnClick", "OnContextPopup", "OnDblClick", "OnEnter", "OnExit",
                           "OnMouseDown", "OnMouseEnter", "OnMouseLeave", "OnMouseMove", "OnMouseUp", "OnResize"})
    Publish(name);
  for (const char* name : MarginProperties)
    Publish(name);
}

QX_PUBLISHED(TCustomPanel)
{
  Property("Alignment", &T::Alignment, &T::SetAlignment).Default(taCenter).Protected();
  Property("BevelInner", &T::BevelInner, &T::SetBevelInner).Default(bvNone).Protected();
  Property("BevelOuter", &T::BevelOuter, &T::SetBevelOuter).Default(bvRaised).Protected();
  Property("BevelWidth", &T::BevelWidth, &T::SetBevelWidth).Default(1).Protected();
  Property("BorderWidth", &T::BorderWidth, &T::SetBorderWidth).Default(0).Protected();
  Property("ShowCaption", &T::ShowCaption, &T::SetShowCaption).Default(true).Protected();
  Property("FullRepaint", &T::FullRepaint, &T::SetFullRepaint).Default(true).Protected();
  Property("VerticalAlignment", &T::VerticalAlignment, &T::SetVerticalAlignment)
    .Default(taVerticalCenter)
    .Protected();
}

QX_PUBLISHED(TPanel)
{
  for (const char* name : {"Align", "Alignment", "Anchors", "AutoSize", "BevelInner", "BevelOuter", "BevelWidth",
                           "BorderWidth", "Caption"})
    Publish(name);
  Publish("Color").Default(clBtnFace);
  for (const char* name : {"Constraints", "DoubleBuffered", "Enabled", "Font", "Padding"})
    Publish(name);
  Publish("ParentBackground").Default(true);
  for (const char* name : {"ParentColor", "ParentFont", "ParentShowHint", "PopupMenu", "ShowCaption", "ShowHint",
                           "TabOrder", "TabStop", "VerticalAlignment", "Visible", "OnCanResize", "OnClick", "OnContextPopup", "OnDblClick",
                           "OnEnter", "OnExit", "OnMouseDown", "OnMouseEnter", "OnMouseLeave", "OnMouseMove",
                           "OnMouseUp", "OnResize"})
    Publish(name);
  for (const char* name : MarginProperties)
    Publish(name);
  for (const char* name : Ctl3DProperties)
    Publish(name);
}

namespace {

// What the framework's buttons and check boxes publish for bi-directional
// text, double buffering (beside DoubleBuffered), dragging and docking.
constexpr const char* DragAndBiDiProperties[] = {
  "ParentBiDiMode", "BiDiMode",  "ParentDoubleBuffered", "DragCursor",  "DragKind",    "DragMode",   "OnDragDrop",
  "OnDragOver",     "OnEndDock", "OnEndDrag",            "OnMouseActivate", "OnStartDock", "OnStartDrag"};

} // namespace

QX_PUBLISHED(TCustomButton)
{
  Property("Cancel", &T::Cancel, &T::SetCancel).Default(false).Protected();
  Property("Default", &T::Default, &T::SetDefault).Default(false).Protected();
  Property("ModalResult", &T::ModalResult, &T::SetModalResult).Default(0).Protected();
}

QX_PUBLISHED(TButton)
{
  for (const char* name : {"Action", "Align", "Anchors", "Cancel", "Caption", "Constraints", "Default", "DoubleBuffered",
                           "Enabled", "Font", "ModalResult", "ParentFont", "ParentShowHint", "PopupMenu",
                           "ShowHint", "TabOrder", "Visible", "OnClick", "OnContextPopup", "OnEnter", "OnExit",
                           "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseEnter", "OnMouseLeave",
                           "OnMouseMove", "OnMouseUp"})
    Publish(name);
  for (const char* name : DragAndBiDiProperties)
    Publish(name);
  Publish("TabStop").Default(true);
  for (const char* name : MarginProperties)
    Publish(name);
}

QX_PUBLISHED(TBitBtn)
{
  Property("Glyph", &T::Glyph, &T::SetGlyph).Stored(&T::IsGlyphStored);
  Property("Kind", &T::Kind, &T::SetKind).Default(bkCustom);
  Property("Layout", &T::Layout, &T::SetLayout).Default(blGlyphLeft);
  Property("Margin", &T::Margin, &T::SetMargin).Default(-1);
  Property("NumGlyphs", &T::NumGlyphs, &T::SetNumGlyphs).Default(1);
  Property("Spacing", &T::Spacing, &T::SetSpacing).Default(4);
}

QX_PUBLISHED(TSpeedButton)
{
  for (const char* name : {"Action", "Align", "Anchors", "Caption", "Constraints", "Enabled", "Font", "ParentFont",
                           "ParentShowHint", "PopupMenu", "ShowHint", "Visible", "OnClick", "OnDblClick",
                           "OnMouseDown", "OnMouseEnter", "OnMouseLeave", "OnMouseMove", "OnMouseUp",
                           "ParentBiDiMode", "BiDiMode", "OnMouseActivate"})
    Publish(name);
  Property("AllowAllUp", &T::AllowAllUp, &T::SetAllowAllUp).Default(false);
  Property("Down", &T::Down, &T::SetDown).Default(false);
  Property("Flat", &T::Flat, &T::SetFlat).Default(false);
  Property("Glyph", &T::Glyph, &T::SetGlyph).Stored(&T::IsGlyphStored);
  Property("GroupIndex", &T::GroupIndex, &T::SetGroupIndex).Default(0);
  Property("Layout", &T::Layout, &T::SetLayout).Default(blGlyphLeft);
  Property("Margin", &T::Margin, &T::SetMargin).Default(-1);
  Property("NumGlyphs", &T::NumGlyphs, &T::SetNumGlyphs).Default(1);
  Property("Spacing", &T::Spacing, &T::SetSpacing).Default(4);
}

QX_PUBLISHED(TCustomCheckBox)
{
  Property("Alignment", &T::Alignment, &T::SetAlignment).Default(taRightJustify).Protected();
  Property("AllowGrayed", &T::AllowGrayed, &T::SetAllowGrayed).Default(false).Protected();
  Property("Checked", &T::Checked, &T::SetChecked).Default(false).Stored(&T::IsCheckedStored).Protected();
  Property("State", &T::State, &T::SetState).Default(cbUnchecked).Protected();
}

QX_PUBLISHED(TCheckBox)
{
  // Each parent switch before the value it stands for, so that a stored
  // value is read last and wins.
  Publish("ParentColor").Default(true);
  for (const char* name : {"Action", "Align", "Alignment", "AllowGrayed", "Anchors", "Caption", "Checked", "Color",
                           "Constraints", "DoubleBuffered", "Enabled", "ParentFont", "Font", "ParentShowHint",
                           "PopupMenu", "ShowHint", "State", "TabOrder", "Visible", "OnClick", "OnEnter", "OnExit",
                           "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseEnter", "OnMouseLeave",
                           "OnMouseMove", "OnMouseUp"})
    Publish(name);
  for (const char* name : DragAndBiDiProperties)
    Publish(name);
  Publish("TabStop").Default(true);
  for (const char* name : MarginProperties)
    Publish(name);
  for (const char* name : Ctl3DProperties)
    Publish(name);
}

QX_PUBLISHED(TCustomLabel)
{
  Property("Alignment", &T::Alignment, &T::SetAlignment).Default(taLeftJustify).Protected();
  Property("Layout", &T::Layout, &T::SetLayout).Default(tlTop).Protected();
  Property("Transparent", &T::Transparent, &T::SetTransparent).Default(false).Protected();
  Property("WordWrap", &T::WordWrap, &T::SetWordWrap).Default(false).Protected();
}

QX_PUBLISHED(TLabel)
{
  // The parent switches before the values they stand for.
  Publish("ParentColor").Default(true);
  for (const char* name : {"Align", "Alignment", "Anchors", "Caption", "Color", "Constraints", "Enabled",
                           "ParentFont", "Font", "Layout", "ParentShowHint", "PopupMenu", "ShowHint",
                           "Transparent", "Visible", "WordWrap", "OnClick", "OnDblClick", "OnMouseDown",
                           "OnMouseEnter", "OnMouseLeave", "OnMouseMove", "OnMouseUp"})
    Publish(name);
  Publish("AutoSize").Default(true);
  for (const char* name : MarginProperties)
    Publish(name);
}

QX_PUBLISHED(TCustomEdit)
{
  Property("Alignment", &T::Alignment, &T::SetAlignment).Default(taLeftJustify).Protected();
  Property("AutoSelect", &T::AutoSelect, &T::SetAutoSelect).Default(true).Protected();
  Property("BorderStyle", &T::BorderStyle, &T::SetBorderStyle).Default(bsSingle).Protected();
  Property("HideSelection", &T::HideSelection, &T::SetHideSelection).Default(true).Protected();
  Property("MaxLength", &T::MaxLength, &T::SetMaxLength).Default(0).Protected();
  Property("NumbersOnly", &T::NumbersOnly, &T::SetNumbersOnly).Default(false).Protected();
  Property("PasswordChar", &T::PasswordCharText, &T::SetPasswordCharText).Default("").Protected();
  Property("ReadOnly", &T::ReadOnly, &T::SetReadOnly).Default(false).Protected();
  Property("Text", &T::Text, &T::SetText).Protected();
  Property("CharCase", &T::CharCase, &T::SetCharCase).Default(ecNormal).Protected();
  Property("TextHint", &T::TextHint, &T::SetTextHint).Default(String()).Protected();
  Property("OEMConvert", &T::OEMConvert, &T::SetOEMConvert).Default(false).Protected();
  Property("ImeMode", &T::ImeMode, &T::SetImeMode).Default(imDontCare).Protected();
  Property("ImeName", &T::ImeName, &T::SetImeName).Default(String()).Protected();
  Event("OnChange", &T::OnChange).Protected();
}

QX_PUBLISHED(TCustomButtonedEdit)
{
  Property("Images", &T::Images, &T::SetImages).Protected();
  Property("LeftButton", &T::LeftButton, &T::SetLeftButton).Protected();
  Property("RightButton", &T::RightButton, &T::SetRightButton).Protected();
  Event("OnLeftButtonClick", &T::OnLeftButtonClick).Protected();
  Event("OnRightButtonClick", &T::OnRightButtonClick).Protected();
}

namespace {

// The framework's edit and its buttoned descendant publish the same
// properties of the edit, and the latter its own beyond them.
template <class C>
struct TEditPublisher : TPublisher<C> {
  explicit TEditPublisher(std::span<const char* const> Extra)
  {
    // The parent switches before the values they stand for.
    this->Publish("ParentColor").Default(false);
    for (const char* name :
         {"Align", "Alignment", "Anchors", "AutoSelect", "BorderStyle", "CharCase", "Color", "Constraints",
          "DoubleBuffered", "Enabled", "ParentFont", "Font", "HideSelection", "ImeMode", "ImeName", "MaxLength",
          "NumbersOnly", "OEMConvert", "ParentShowHint", "PasswordChar", "PopupMenu", "ReadOnly", "ShowHint",
          "TabOrder", "Text", "TextHint", "Visible", "OnChange", "OnClick", "OnContextPopup", "OnDblClick", "OnEnter",
          "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseEnter", "OnMouseLeave",
          "OnMouseMove", "OnMouseUp"})
      this->Publish(name);
    for (const char* name : DragAndBiDiProperties)
      this->Publish(name);
    this->Publish("AutoSize").Default(true);
    this->Publish("TabStop").Default(true);
    for (const char* name : MarginProperties)
      this->Publish(name);
    for (const char* name : Ctl3DProperties)
      this->Publish(name);
    for (const char* name : Extra)
      this->Publish(name);
  }
};

const TEditPublisher<TEdit> EditPublisher({});
const TEditPublisher<TButtonedEdit> ButtonedEditPublisher(ButtonedEditProperties);

} // namespace

QX_PUBLISHED(TImage)
{
  for (const char* name : {"Align", "Anchors", "AutoSize", "Constraints", "Enabled", "ParentShowHint",
                           "PopupMenu", "ShowHint", "Visible", "OnClick", "OnDblClick", "OnMouseDown",
                           "OnMouseEnter", "OnMouseLeave", "OnMouseMove", "OnMouseUp"})
    Publish(name);
  Property("Center", &T::Center, &T::SetCenter).Default(false);
  Property("Picture", &T::Picture, &T::SetPicture);
  Property("Proportional", &T::Proportional, &T::SetProportional).Default(false);
  Property("Stretch", &T::Stretch, &T::SetStretch).Default(false);
  for (const char* name : MarginProperties)
    Publish(name);
}

QX_PUBLISHED(TImageMargins)
{
  Property("Left", &T::Left, &T::SetLeft).Default(0);
  Property("Top", &T::Top, &T::SetTop).Default(0);
  Property("Right", &T::Right, &T::SetRight).Default(0);
  Property("Bottom", &T::Bottom, &T::SetBottom).Default(0);
}

namespace {

template <bool (TMenuItem::*IsStored)() const>
bool ItemStored(const TObject* o)
{
  return (static_cast<const TMenuItem*>(o)->*IsStored)();
}

} // namespace

QX_PUBLISHED(TMenuItem)
{
  Property("Action", &T::Action, &T::SetAction);
  Property("AutoCheck", &T::AutoCheck, &T::SetAutoCheck).Default(false);
  Property("Caption", &T::Caption, &T::SetCaption).StoredWhen(ItemStored<&T::IsCaptionStored>);
  Property("Checked", &T::Checked, &T::SetChecked).Default(false).StoredWhen(ItemStored<&T::IsCheckedStored>);
  Property("Default", &T::Default, &T::SetDefault).Default(false);
  Property("Enabled", &T::Enabled, &T::SetEnabled).Default(true).StoredWhen(ItemStored<&T::IsEnabledStored>);
  Property("GroupIndex", &T::GroupIndex, &T::SetGroupIndex).Default(0);
  Property("Hint", &T::Hint, &T::SetHint).StoredWhen(ItemStored<&T::IsHintStored>);
  Property("ImageIndex", &T::ImageIndex, &T::SetImageIndex)
    .Default(-1)
    .StoredWhen(ItemStored<&T::IsImageIndexStored>);
  Property("RadioItem", &T::RadioItem, &T::SetRadioItem).Default(false);
  Property("ShortCut", &T::ShortCut, &T::SetShortCut).Default(0).StoredWhen(ItemStored<&T::IsShortCutStored>);
  Property("Visible", &T::Visible, &T::SetVisible).Default(true).StoredWhen(ItemStored<&T::IsVisibleStored>);
  Event("OnClick", &T::OnClick);
}

QX_PUBLISHED(TMenu)
{
  Property("Images", &T::Images, &T::SetImages);
}

QX_PUBLISHED(TPopupMenu)
{
  Property("Alignment", &T::Alignment, &T::SetAlignment).Default(paLeft);
  Property("AutoPopup", &T::AutoPopup, &T::SetAutoPopup).Default(true);
  Event("OnPopup", &T::OnPopup);
}

QX_PUBLISHED(TMainMenu)
{
  Property("AutoHotkeys", &T::AutoHotkeys, &T::SetAutoHotkeys).Default(maAutomatic);
  Property("AutoLineReduction", &T::AutoLineReduction, &T::SetAutoLineReduction).Default(maAutomatic);
  Property("AutoMerge", &T::AutoMerge, &T::SetAutoMerge).Default(false);
  Property("BiDiMode", &T::BiDiMode, &T::SetBiDiMode).StoredWhen([](const TObject* o) {
    return !static_cast<const TMainMenu*>(o)->ParentBiDiMode();
  });
  Property("OwnerDraw", &T::OwnerDraw, &T::SetOwnerDraw).Default(false);
  Property("ParentBiDiMode", &T::ParentBiDiMode, &T::SetParentBiDiMode).Default(true);
  Event("OnChange", &T::OnChange);
}

QX_PUBLISHED(TTimer)
{
  Property("Enabled", &T::Enabled, &T::SetEnabled).Default(true);
  Property("Interval", &T::Interval, &T::SetInterval).Default(1000);
  Event("OnTimer", &T::OnTimer, &T::SetOnTimer);
}

QX_PUBLISHED(TContainedAction)
{
  Property("Category", &T::Category, &T::SetCategory);
}

QX_PUBLISHED(TCustomAction)
{
  Property("AutoCheck", &T::AutoCheck, &T::SetAutoCheck).Default(false).Protected();
  Property("Caption", &T::Caption, &T::SetCaption).Protected();
  Property("Checked", &T::Checked, &T::SetChecked).Default(false).Protected();
  Property("Enabled", &T::Enabled, &T::SetEnabled).Default(true).Protected();
  Property("GroupIndex", &T::GroupIndex, &T::SetGroupIndex).Default(0).Protected();
  Property("Hint", &T::Hint, &T::SetHint).Protected();
  Property("ImageIndex", &T::ImageIndex, &T::SetImageIndex).Default(-1).Protected();
  Property("ShortCut", &T::ShortCut, &T::SetShortCut).Default(scNone).Protected();
  Property("Visible", &T::Visible, &T::SetVisible).Default(true).Protected();
  Event("OnExecute", &T::OnExecute, &T::SetOnExecute).Protected();
  Event("OnUpdate", &T::OnUpdate).Protected();
}

QX_PUBLISHED(TAction)
{
  for (const char* name : {"AutoCheck", "Caption", "Checked", "Enabled", "GroupIndex", "Hint", "ImageIndex",
                           "ShortCut", "Visible", "OnExecute", "OnUpdate"})
    Publish(name);
}

QX_PUBLISHED(TCustomActionList)
{
  Property("Images", &T::Images, &T::SetImages).Protected();
  Event("OnChange", &T::OnChange).Protected();
  Event("OnExecute", &T::OnExecute).Protected();
  Event("OnUpdate", &T::OnUpdate).Protected();
}

QX_PUBLISHED(TActionList)
{
  for (const char* name : {"Images", "OnChange", "OnExecute", "OnUpdate"})
    Publish(name);
}

QX_PUBLISHED(TListColumn)
{
  Property("Alignment", &T::Alignment, &T::SetAlignment).Default(taLeftJustify);
  Property("Caption", &T::Caption, &T::SetCaption).Default(String());
  Property("Width", &T::Width, &T::SetWidth).Default(50);
}

QX_PUBLISHED(TCustomListView)
{
  Property("Columns", &T::Columns, &T::SetColumns).Protected();
  Property("ViewStyle", &T::ViewStyle, &T::SetViewStyle).Default(vsIcon).Protected();
  Property("OwnerData", &T::OwnerData, &T::SetOwnerData).Default(false).Protected();
  Property("OwnerDraw", &T::OwnerDraw, &T::SetOwnerDraw).Default(false).Protected();
  Property("MultiSelect", &T::MultiSelect, &T::SetMultiSelect).Default(false).Protected();
  Property("RowSelect", &T::RowSelect, &T::SetRowSelect).Default(false).Protected();
  Property("ReadOnly", &T::ReadOnly, &T::SetReadOnly).Default(false).Protected();
  Property("HideSelection", &T::HideSelection, &T::SetHideSelection).Default(true).Protected();
  Property("HotTrack", &T::HotTrack, &T::SetHotTrack).Default(false).Protected();
  Property("GridLines", &T::GridLines, &T::SetGridLines).Default(false).Protected();
  Property("ShowColumnHeaders", &T::ShowColumnHeaders, &T::SetShowColumnHeaders).Default(true).Protected();
  Property("Checkboxes", &T::Checkboxes, &T::SetCheckboxes).Default(false).Protected();
  Property("SmallImages", &T::SmallImages, &T::SetSmallImages).Protected();
  Property("StateImages", &T::StateImages, &T::SetStateImages).Protected();
  Event("OnData", &T::OnData).Protected();
  Event("OnDrawItem", &T::OnDrawItem).Protected();
  Event("OnSelectItem", &T::OnSelectItem).Protected();
  Event("OnChange", &T::OnChange).Protected();
  Event("OnChanging", &T::OnChanging).Protected();
  Event("OnItemChecked", &T::OnItemChecked).Protected();
  Event("OnColumnClick", &T::OnColumnClick).Protected();
  Event("OnCustomDraw", &T::OnCustomDraw).Protected();
  Event("OnAdvancedCustomDrawItem", &T::OnAdvancedCustomDrawItem).Protected();
  Event("OnAdvancedCustomDrawSubItem", &T::OnAdvancedCustomDrawSubItem).Protected();
}

QX_PUBLISHED(TListView)
{
  Publish("ParentColor").Default(false);
  for (const char* name :
       {"Align", "Anchors", "Color", "Columns", "Constraints", "Enabled", "ParentFont", "Font", "ParentShowHint",
        "ShowHint", "PopupMenu", "TabOrder", "Visible", "ViewStyle", "OwnerData", "OwnerDraw", "MultiSelect",
        "RowSelect", "ReadOnly", "HideSelection", "HotTrack", "GridLines", "ShowColumnHeaders", "Checkboxes",
        "SmallImages", "StateImages", "DoubleBuffered", "OnClick", "OnContextPopup", "OnDblClick", "OnEnter",
        "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnData",
        "OnDrawItem", "OnSelectItem", "OnChange", "OnChanging", "OnItemChecked", "OnColumnClick", "OnCustomDraw",
        "OnAdvancedCustomDrawItem", "OnAdvancedCustomDrawSubItem"})
    Publish(name);
  Publish("TabStop").Default(true);
  for (const char* name : MarginProperties)
    Publish(name);
}

} // namespace Vcl
