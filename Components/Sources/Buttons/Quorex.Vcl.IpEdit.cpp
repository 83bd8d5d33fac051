#include "Quorex.Vcl.IpEdit.hpp"

#include <Quorex.Vcl.ControlProperties.hpp>
#include <Vcl.Forms.hpp>
#include <Win.Edit.hpp>
#include <Win.Gdi.Guards.hpp>
#include <Win.IpAddress.hpp>
#include <Win.Metrics.hpp>
#include <Winapi.Windows.hpp>

#include <algorithm>

namespace Quorex {

using namespace Vcl;

namespace {

[[noreturn]] void NotAnAddress(const String& Text)
{
  throw EConvertError(Text + " is not a valid IP address");
}

// The dotted text as a packed address, most significant byte first; text
// after the fourth field is ignored.
Cardinal StrToIpAddress(const String& Text)
{
  String s = Text;
  Cardinal value = 0;
  for (int count = 0; count < 4; ++count) {
    const size_t dot = s.find('.');
    const size_t length = dot == String::npos ? s.size() : dot;
    if (length == 0)
      NotAnAddress(Text);
    const Integer number = StrToInt(s.substr(0, length));
    s.erase(0, std::min(s.size(), length + 1));
    if (number < 0 || number > 255)
      NotAnAddress(Text);
    value = (value << 8) + Cardinal(number);
  }
  return value;
}

String IpAddressToStr(Cardinal Value)
{
  String text;
  for (int i = 0; i < 4; ++i)
    text += (i ? "." : "") + IntToStr(Integer((Value >> ((3 - i) * 8)) & 0xFF));
  return text;
}

} // namespace

// ---- TIpRanges ------------------------------------------------------------------------

void TIpRanges::SetLowRange(Integer Field, Byte Value)
{
  Byte& low = FLow.at(size_t(Field));
  if (Value == low)
    return;
  low = Value;
  FHigh[size_t(Field)] = std::max(FHigh[size_t(Field)], low);
  RangeChanged();
}

void TIpRanges::SetHighRange(Integer Field, Byte Value)
{
  Byte& high = FHigh.at(size_t(Field));
  if (Value == high)
    return;
  high = Value;
  FLow[size_t(Field)] = std::min(FLow[size_t(Field)], high);
  RangeChanged();
}

void TIpRanges::RangeChanged()
{
  if (OnChange)
    OnChange(this);
}

void TIpRanges::Assign(const TPersistent* Source)
{
  const auto* source = dynamic_cast<const TIpRanges*>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  if (source->FLow == FLow && source->FHigh == FHigh)
    return;
  FLow = source->FLow;
  FHigh = source->FHigh;
  RangeChanged();
}

// ---- TIPEdit ----------------------------------------------------------------------------

TIPEdit::TIPEdit(TComponent* AOwner) : TWinControl(AOwner), FRanges(new TIpRanges)
{
  SetControlStyle({});
  FRanges->OnChange = [this](TObject*) { RangeChanged(); };
  SetBounds(Left(), Top(), 120, 25);
  SetTabStop(true);
  UpdateHeight();
}

TIPEdit::~TIPEdit()
{
  // The font the window holds goes only after the window.
  DestroyHandle();
  if (FFont)
    Win::DeleteObject(FFont);
  delete FRanges;
}

void TIPEdit::CreateParams(TCreateParams& Params)
{
  inherited::CreateParams(Params);
  Params.ExStyle |= Win::WS_EX_CLIENTEDGE;
  Params.WindowClass.style &= ~(Win::CS_HREDRAW | Win::CS_VREDRAW);
}

void TIPEdit::CreateWnd()
{
  FCreating = true;
  try {
    inherited::CreateWnd();
    Perform(Win::WM_SETFONT, Win::WPARAM(Font()->Handle()), 0);
    if (FEmpty) {
      Clear();
    } else {
      Perform(Win::IPM_SETADDRESS, 0, Win::LPARAM(FIPAddress));
      WriteBlankFields();
    }
    RangeChanged();
    UpdateHeight();
  } catch (...) {
    FCreating = false;
    throw;
  }
  FCreating = false;
}

// What the user typed survives a new window: it is read back before this
// one goes.
void TIPEdit::DestroyWnd()
{
  if (HandleAllocated()) {
    FEmpty = Perform(Win::IPM_ISBLANK) != 0;
    Win::DWORD address = 0;
    Perform(Win::IPM_GETADDRESS, 0, Win::LPARAM(&address));
    FIPAddress = address;
    ReadBlankFields();
  }
  inherited::DestroyWnd();
}

// The messages speak of whole addresses only; the blank fields are seen in
// the field windows themselves.
void TIPEdit::ReadBlankFields()
{
  for (Integer i = 0; i < 4; ++i)
    FBlankFields[size_t(i)] = Win::GetWindowTextLength(Win::IpAddressField(Handle(), i)) == 0;
}

void TIPEdit::WriteBlankFields()
{
  for (Integer i = 0; i < 4; ++i)
    if (FBlankFields[size_t(i)])
      Win::SetWindowText(Win::IpAddressField(Handle(), i), "");
}

// The window system's IP address control paints and edits; the framework
// keeps out of its painting.
void TIPEdit::WndProc(TMessage& Message)
{
  if (Message.Msg == Win::WM_PAINT || Message.Msg == Win::WM_ERASEBKGND) {
    DefaultHandler(Message);
    return;
  }
  inherited::WndProc(Message);
}

void TIPEdit::Dispatch(TMessage& Message)
{
  switch (Message.Msg) {
  case Win::WM_SETFONT:
    WMSetFont(Message);
    return;
  case Win::WM_CONTEXTMENU:
    WMContextMenu(Message);
    return;
  case CM_FONTCHANGED:
    CMFontChanged(Message);
    return;
  case CN_BASE + Win::WM_COMMAND:
    CNCommand(Message);
    return;
  case CN_BASE + Win::WM_NOTIFY:
    if (reinterpret_cast<const Win::NMHDR*>(Message.LParam)->code == Win::IPN_FIELDCHANGED) {
      IPNFieldChanged(Message);
      return;
    }
    break;
  default:
    break;
  }
  inherited::Dispatch(Message);
}

void TIPEdit::DefaultHandler(TMessage& Message)
{
  if (HandleAllocated())
    Message.Result = Win::IpAddressWindowProc(Handle(), Message.Msg, Message.WParam, Message.LParam);
}

String TIPEdit::GetAddress() const
{
  return IpAddressToStr(GetAddressInt());
}

void TIPEdit::SetAddress(const String& Value)
{
  SetAddressInt(StrToIpAddress(Value));
}

Cardinal TIPEdit::GetAddressInt() const
{
  if (HandleAllocated()) {
    Win::DWORD address = 0;
    const_cast<TIPEdit*>(this)->Perform(Win::IPM_GETADDRESS, 0, Win::LPARAM(&address));
    FIPAddress = address;
  }
  return FIPAddress;
}

void TIPEdit::SetAddressInt(Cardinal Value)
{
  FIPAddress = Value;
  if (HandleAllocated())
    Perform(Win::IPM_SETADDRESS, 0, Win::LPARAM(Value));
  FEmpty = false;
  FBlankFields = {};
}

void TIPEdit::SetRanges(TIpRanges* Value)
{
  if (Value)
    FRanges->Assign(Value);
}

void TIPEdit::Clear()
{
  if (HandleAllocated())
    Perform(Win::IPM_CLEARADDRESS);
  FIPAddress = 0;
  FEmpty = true;
  FBlankFields = {};
}

bool TIPEdit::IsEmpty()
{
  if (HandleAllocated())
    FEmpty = Perform(Win::IPM_ISBLANK) != 0;
  return FEmpty;
}

void TIPEdit::SetFocusField(Integer Index)
{
  if (HandleAllocated())
    Perform(Win::IPM_SETFOCUS, Win::WPARAM(Index));
  RangeChanged();
}

void TIPEdit::RangeChanged()
{
  if (!HandleAllocated())
    return;
  for (Integer i = 0; i < 4; ++i)
    Perform(Win::IPM_SETRANGE, Win::WPARAM(i), Win::MAKEIPRANGE(FRanges->Low(i), FRanges->High(i)));
}

void TIPEdit::UpdateHeight()
{
  TControlStyle style = ControlStyle();
  if (FAutoSize)
    style.Include(csFixedHeight);
  else
    style.Exclude(csFixedHeight);
  SetControlStyle(style);
  if (FAutoSize)
    AdjustHeight();
}

void TIPEdit::AdjustHeight()
{
  Win::HDC dc = Win::GetDC(nullptr);
  Win::TEXTMETRIC f{};
  {
    Win::TSelectedObject font(dc, Font()->Handle());
    Win::GetTextMetrics(dc, &f);
  }
  Win::ReleaseDC(nullptr, dc);
  // A sunken edge above and below, with a pixel of room each side.
  SetBounds(Left(), Top(), Width(), f.tmHeight + Win::GetSystemMetrics(Win::SM_CYBORDER) * 8);
}

void TIPEdit::SetAutoSize2(bool Value)
{
  if (Value == FAutoSize)
    return;
  FAutoSize = Value;
  UpdateHeight();
}

void TIPEdit::Change()
{
  Perform(CM_CHANGED, 0, Win::LPARAM(this));
  if (OnChange)
    OnChange(this);
}

// The window keeps a copy of the font of its own, made before the old one
// goes (the window never holds a deleted font); no font means the stock one.
void TIPEdit::WMSetFont(TMessage& Message)
{
  Win::LOGFONT description;
  const auto given = reinterpret_cast<Win::HFONT>(Message.WParam);
  Win::GetObject(given ? Win::ToGdiObject(given) : Win::GetStockObject(Win::DEFAULT_GUI_FONT), sizeof description,
                 &description);
  Win::HFONT previous = FFont;
  FFont = Win::CreateFontIndirect(description);
  Message.WParam = Win::WPARAM(FFont);
  DefaultHandler(Message);
  if (previous && previous != FFont)
    Win::DeleteObject(previous);
}

void TIPEdit::WMContextMenu(TMessage& Message)
{
  if (CanFocus())
    SetFocus();
  inherited::Dispatch(Message);
}

void TIPEdit::CMFontChanged(TMessage& Message)
{
  inherited::Dispatch(Message);
  if (HandleAllocated())
    Perform(Win::WM_SETFONT, Win::WPARAM(Font()->Handle()), 1);
  if (ControlStyle().Contains(csFixedHeight) &&
      !(ComponentState().Contains(csDesigning) && ComponentState().Contains(csLoading)))
    AdjustHeight();
}

void TIPEdit::CNCommand(TMessage& Message)
{
  DefaultHandler(Message);
  if (FCreating)
    return;
  switch (Win::HIWORD(Message.WParam)) {
  case Win::EN_CHANGE:
    Change();
    break;
  case Win::EN_SETFOCUS:
    // The focus is in one of the fields: the form hears that the control
    // has it, which runs OnEnter.
    if (TCustomForm* form = GetParentForm(this))
      form->SetFocusedControl(this);
    break;
  default:
    break;
  }
}

// The handler's value is pulled into the field's range before the window
// keeps it; a blank field stays blank unless the handler fills it.
void TIPEdit::IPNFieldChanged(TMessage& Message)
{
  auto* nm = reinterpret_cast<Win::NMIPADDRESS*>(Message.LParam);
  if (!OnIPFieldChange || nm->iField < 0 || nm->iField > 3)
    return;
  Integer value = nm->iValue;
  OnIPFieldChange(nm->iField, value);
  nm->iValue = value < 0 && nm->iValue < 0 ? -1 : std::clamp<Integer>(value, FRanges->Low(nm->iField), FRanges->High(nm->iField));
}

QX_PUBLISHED(TIpRanges)
{
  Property("Field0Low", &T::Field0Low, &T::SetField0Low).Default(Byte(0));
  Property("Field0High", &T::Field0High, &T::SetField0High).Default(Byte(255));
  Property("Field1Low", &T::Field1Low, &T::SetField1Low).Default(Byte(0));
  Property("Field1High", &T::Field1High, &T::SetField1High).Default(Byte(255));
  Property("Field2Low", &T::Field2Low, &T::SetField2Low).Default(Byte(0));
  Property("Field2High", &T::Field2High, &T::SetField2High).Default(Byte(255));
  Property("Field3Low", &T::Field3Low, &T::SetField3Low).Default(Byte(0));
  Property("Field3High", &T::Field3High, &T::SetField3High).Default(Byte(255));
}

QX_PUBLISHED_CONTROL(TIPEdit)
{
  for (const char* name :
       {"Anchors", "BevelEdges", "BevelInner", "BevelKind", "BevelOuter", "BiDiMode", "Constraints", "Ctl3D",
        "DragCursor", "DragKind", "DragMode", "Enabled", "ParentBiDiMode", "ParentShowHint", "PopupMenu",
        "ShowHint", "TabOrder", "Visible", "OnClick", "OnContextPopup", "OnDblClick", "OnDragDrop", "OnDragOver",
        "OnEndDock", "OnEndDrag", "OnEnter", "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown",
        "OnMouseMove", "OnMouseUp", "OnStartDock", "OnStartDrag"})
    Publish(name);
  Publish("TabStop").Default(true);
  Property("Address", &T::GetAddress, &T::SetAddress).Default(String());
  Property("Ranges", &T::Ranges, &T::SetRanges);
  Property("AutoSize", &T::AutoSize, &T::SetAutoSize2).Default(true);
  Event("OnChange", &T::OnChange);
  Event("OnIPFieldChange", &T::OnIPFieldChange);
}

} // namespace Quorex
