// An entry field for an IPv4 address: the platform's IP address control
// wrapped so that the address, its blank state and the fields' ranges are
// kept while no window exists (and across a new window), the dotted text and
// the packed 32-bit form convert into each other, the height follows the
// font, and the window's notifications become OnChange and OnIPFieldChange.
#pragma once

#include <System.SysUtils.hpp>
#include <Vcl.Controls.hpp>

#include <array>

namespace Quorex {

using Vcl::Byte;
using Vcl::Cardinal;
using Vcl::Integer;
using Vcl::String;

// FieldNum 0 to 3; the handler may replace the value the field keeps (it is
// pulled into the field's range).
using TIPFieldChangedEvent = std::function<void(Integer FieldNum, Integer& NewValue)>;

// The bounds of the four fields; low never exceeds high.
class TIpRanges : public Vcl::TPersistent {
  QX_CLASS(TIpRanges, Vcl::TPersistent)
public:
  Byte Field0Low() const { return FLow[0]; }
  Byte Field0High() const { return FHigh[0]; }
  Byte Field1Low() const { return FLow[1]; }
  Byte Field1High() const { return FHigh[1]; }
  Byte Field2Low() const { return FLow[2]; }
  Byte Field2High() const { return FHigh[2]; }
  Byte Field3Low() const { return FLow[3]; }
  Byte Field3High() const { return FHigh[3]; }
  void SetField0Low(Byte Value) { SetLowRange(0, Value); }
  void SetField0High(Byte Value) { SetHighRange(0, Value); }
  void SetField1Low(Byte Value) { SetLowRange(1, Value); }
  void SetField1High(Byte Value) { SetHighRange(1, Value); }
  void SetField2Low(Byte Value) { SetLowRange(2, Value); }
  void SetField2High(Byte Value) { SetHighRange(2, Value); }
  void SetField3Low(Byte Value) { SetLowRange(3, Value); }
  void SetField3High(Byte Value) { SetHighRange(3, Value); }

  // A raised low bound lifts the high one with it, a lowered high bound
  // pulls the low one down.
  void SetLowRange(Integer Field, Byte Value);
  void SetHighRange(Integer Field, Byte Value);
  Byte Low(Integer Field) const { return FLow.at(size_t(Field)); }
  Byte High(Integer Field) const { return FHigh.at(size_t(Field)); }
  void Assign(const Vcl::TPersistent* Source) override;

  Vcl::TNotifyEvent OnChange;

protected:
  void RangeChanged();

private:
  std::array<Byte, 4> FLow{0, 0, 0, 0};
  std::array<Byte, 4> FHigh{255, 255, 255, 255};
};

class TIPEdit : public Vcl::TWinControl {
  QX_CLASS(TIPEdit, Vcl::TWinControl)
public:
  explicit TIPEdit(Vcl::TComponent* AOwner);
  ~TIPEdit() override;

  // The dotted form. Setting malformed text raises EConvertError with
  // "<text> is not a valid IP address" (or the integer conversion's own
  // error for a field that is no number) and changes nothing.
  String GetAddress() const;
  void SetAddress(const String& Value);
  Cardinal GetAddressInt() const;
  void SetAddressInt(Cardinal Value);
  // The stored packed address, without asking the window.
  Cardinal WinAddress() const { return FIPAddress; }
  void SetWinAddress(Cardinal Value) { FIPAddress = Value; }
  TIpRanges* Ranges() const { return FRanges; }
  void SetRanges(TIpRanges* Value);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize2(bool Value);
  void SetAutoSize(bool Value) override { SetAutoSize2(Value); }

  // Blank fields rather than zeros.
  void Clear();
  bool IsEmpty();
  void SetFocusField(Integer Index);
  // Hands the ranges to the window.
  void RangeChanged();
  void UpdateHeight();
  void AdjustHeight();

  void WndProc(Vcl::TMessage& Message) override;
  void Dispatch(Vcl::TMessage& Message) override;
  void DefaultHandler(Vcl::TMessage& Message) override;

  Vcl::TNotifyEvent OnChange;
  TIPFieldChangedEvent OnIPFieldChange;

protected:
  virtual void Change();
  void CreateParams(Vcl::TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;

private:
  void ReadBlankFields();
  void WriteBlankFields();
  void WMSetFont(Vcl::TMessage& Message);
  void WMContextMenu(Vcl::TMessage& Message);
  void CMFontChanged(Vcl::TMessage& Message);
  void CNCommand(Vcl::TMessage& Message);
  void IPNFieldChanged(Vcl::TMessage& Message);

  Win::HFONT FFont = nullptr;
  // Refreshed from the window whenever it is read.
  mutable Cardinal FIPAddress = 0;
  bool FAutoSize = true;
  bool FCreating = false;
  TIpRanges* FRanges = nullptr;
  bool FEmpty = false;
  // The fields left blank in a partly filled address, read back when the
  // window goes so that a new one shows them blank rather than as zeros.
  std::array<bool, 4> FBlankFields{};
};

} // namespace Quorex
