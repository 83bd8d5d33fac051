// The framework's up-down control: the window system's up-down with its
// range, position and step kept while no window exists, tied to an
// associated control whose text shows the position. The associated control
// is watched through its WindowProc, as the framework's own hooks do: the
// up-down stays beside it and, with ArrowKeys, its Up and Down keys step.
#pragma once

#include "Vcl.Controls.hpp"

#include <optional>

namespace Vcl {

enum class TUDAlignButton { udLeft, udRight };
using enum TUDAlignButton;
enum class TUDOrientation { udHorizontal, udVertical };
using enum TUDOrientation;

// AllowChange False refuses the step.
using TUDChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;
// btNext for a step up (or right), btPrev for a step down (or left).
enum class TUDBtnType { btNext, btPrev };
using enum TUDBtnType;
using TUDClickEvent = std::function<void(TObject* Sender, TUDBtnType Button)>;

class TCustomUpDown : public TWinControl {
  QX_CLASS(TCustomUpDown, TWinControl)
public:
  explicit TCustomUpDown(TComponent* AOwner);
  ~TCustomUpDown() override;

  TWinControl* Associate() const { return FAssociate; }
  void SetAssociate(TWinControl* Value);
  Integer Min() const { return FMin; }
  void SetMin(Integer Value);
  Integer Max() const { return FMax; }
  void SetMax(Integer Value);
  // With a window, what the window holds (a number typed into the
  // associated control counts, clamped into the range).
  Integer Position();
  void SetPosition(Integer Value);
  Integer Increment() const { return FIncrement; }
  void SetIncrement(Integer Value);
  bool Wrap() const { return FWrap; }
  void SetWrap(bool Value);
  bool ArrowKeys() const { return FArrowKeys; }
  void SetArrowKeys(bool Value) { FArrowKeys = Value; }
  TUDAlignButton AlignButton() const { return FAlignButton; }
  void SetAlignButton(TUDAlignButton Value);
  TUDOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TUDOrientation Value);

  void WndProc(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;

  TUDChangingEvent OnChanging;
  // Raised for each step the window takes (by its arrows, their repeat or
  // the associate's keys), after the position moved; a press that cannot
  // move it raises nothing.
  TUDClickEvent OnClick;

protected:
  using TWinControl::Click;
  virtual void Click(TUDBtnType Button);
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void AssociateWndProc(TMessage& Message);
  void Unhook();
  void AlignToAssociate();
  void SendRange();
  void SendIncrement();
  void DeltaPos(TMessage& Message);
  void ScrollNotice(TMessage& Message);

  TWinControl* FAssociate = nullptr;
  std::function<void(TMessage&)> FAssociateWndProc; // the associate's own, while hooked
  Integer FMin = 0;
  Integer FMax = 100;
  Integer FPosition = 0;
  Integer FIncrement = 1;
  bool FWrap = false;
  bool FArrowKeys = true;
  TUDAlignButton FAlignButton = udRight;
  TUDOrientation FOrientation = udVertical;
  // The arrow of the step the window asked leave for, until it reports it.
  std::optional<TUDBtnType> FPendingButton;
};

class TUpDown : public TCustomUpDown {
  QX_CLASS(TUpDown, TCustomUpDown)
public:
  using TCustomUpDown::TCustomUpDown;
};

} // namespace Vcl
