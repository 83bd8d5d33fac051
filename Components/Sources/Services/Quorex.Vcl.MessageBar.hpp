// A strip that shows one message: its icon, a large coloured title, the
// word-wrapped markup text and one button per action. It follows every
// change of the message and grows and shrinks with the text.
#pragma once

#include "Quorex.Vcl.Message.hpp"

#include <Quorex.Vcl.Button.hpp>
#include <Quorex.Vcl.CustomControl.hpp>
#include <Quorex.Vcl.HtmlLabel.hpp>
#include <Quorex.Vcl.Image.hpp>
#include <Quorex.Vcl.LayoutPanel.hpp>
#include <Quorex.Vcl.SystemIcons.hpp>

#include <memory>
#include <vector>

namespace Quorex {

// The system icon that stands for a message kind; mtCustom has none.
TQxIconType MessageTypeToIconType(TMessageType MessageType);

class TQxCustomMessageBar : public TQxCustomControl {
  QX_CLASS(TQxCustomMessageBar, TQxCustomControl)
public:
  // The title's colour (orange-red) and how much larger than the bar's font it is.
  static constexpr Vcl::TColor TitleColor = Vcl::TColor(0x000053FF);
  static constexpr Integer TitleSizeIncrease = 4;
  // Between the icon and the texts, and right of the buttons.
  static constexpr Integer ImageMargin = 10;
  static constexpr Integer ButtonsMargin = 10;

  explicit TQxCustomMessageBar(Vcl::TComponent* AOwner);
  ~TQxCustomMessageBar() override;

  // Referred to, not owned: the bar lets go (and hides) when it is freed.
  TQxMessage* Message() const { return FMessage; }
  void SetMessage(TQxMessage* Value);
  // Images of custom messages; referred to, not owned.
  Vcl::TCustomImageList* Images() const { return FImages; }
  void SetImages(Vcl::TCustomImageList* Value);

  // The parts, for hosts that style them.
  TQxImage* Image() const { return FImage; }
  THtmlLabel* TitleLabel() const { return FTitle; }
  THtmlLabel* TextLabel() const { return FText; }
  TQxLayoutPanel* ButtonsPanel() const { return FButtonsPanel; }
  // The buttons of the message's actions, in item order.
  Integer ButtonCount() const { return Integer(FButtons.size()); }
  TQxButton* Buttons(Integer Index) const { return FButtons.at(size_t(Index)).get(); }

  void Dispatch(Vcl::TMessage& Message) override;

protected:
  bool CanAutoSize(Integer& NewWidth, Integer& NewHeight) override;
  void AlignControls(Vcl::TControl* AControl, Vcl::TRect& Rect) override;
  void Notification(Vcl::TComponent* AComponent, Vcl::TOperation Operation) override;
  void Paint() override;

private:
  void PrepareControls();
  void ApplyTitleFont();
  void TextResized();
  void MessageChangeHandler(TQxCustomMessage* Sender);
  void ApplyMessage(TQxCustomMessage* Msg);
  void ShowImage(TQxCustomMessage* Msg);
  void CreateButtons(TQxCustomMessage* Msg);
  void CreateButton(const TQxMessageActionItem* Item);
  // A button whose click is running cannot go now: it is hidden and kept
  // until a posted message (or the next rebuild) finds its click over.
  void RetireButtons();
  void ReleaseRetiredButtons();

  Vcl::TCustomImageList* FImages = nullptr;
  std::unique_ptr<TQxSystemIconList> FSystemIcons;
  TQxImage* FImage = nullptr;
  TQxPanel* FTextPanel = nullptr;
  TQxLayoutPanel* FButtonsPanel = nullptr;
  THtmlLabel* FTitle = nullptr;
  THtmlLabel* FText = nullptr;
  TQxMessage* FMessage = nullptr;
  std::vector<std::unique_ptr<TQxButton>> FButtons;
  std::vector<std::unique_ptr<TQxButton>> FRetiredButtons;
  std::shared_ptr<TMessageChangeSubscriber> FOnMessageChange;
  bool FPrepared = false;
};

class TQxMessageBar : public TQxCustomMessageBar {
  QX_CLASS(TQxMessageBar, TQxCustomMessageBar)
public:
  using TQxCustomMessageBar::TQxCustomMessageBar;
};

} // namespace Quorex
