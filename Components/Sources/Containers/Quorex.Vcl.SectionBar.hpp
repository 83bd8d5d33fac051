// A vertical navigation bar of collapsible sections. Each section shows a
// title line and, while it is open, its items below; activating a section or
// an item opens the section that holds it and closes the others, and the
// sections slide to their new heights on a 20 ms timer. Sections and items
// are real (transparent) child windows so that they can be placed, ordered
// and clicked, but the bar alone draws: everything goes into one off-screen
// bitmap through the anti-aliased graphics layer.
#pragma once

#include <GdiPlus.hpp>
#include <Vcl.Controls.hpp>
#include <Vcl.ExtCtrls.hpp>
#include <Vcl.ImgList.hpp>

#include <memory>
#include <vector>

namespace Quorex {

class TCustomSectionBar;
class TPageSection;
class TPageItem;

// What a section slides towards.
class TControlSizeInfo {
public:
  Vcl::Integer Height() const { return FHeight; }
  void SetHeight(Vcl::Integer Value) { FHeight = Value; }

private:
  Vcl::Integer FHeight = 0;
};

// Slides the bar's sections to their target heights, ResizeSpeed pixels per
// second, one step per timer tick.
class TControlSizer {
public:
  explicit TControlSizer(TCustomSectionBar* Bar);
  ~TControlSizer();
  TControlSizer(const TControlSizer&) = delete;
  TControlSizer& operator=(const TControlSizer&) = delete;

  // Pixels per second; 0 or less puts the sections at their targets at once.
  Vcl::Integer ResizeSpeed() const { return FResizeSpeed; }
  void SetResizeSpeed(Vcl::Integer Value) { FResizeSpeed = Value; }
  // Stops the timer while the targets are set; ending takes a first step
  // at once and starts the timer.
  void BeginUpdate();
  void EndUpdate();
  // One step of every section, then the bar repaints what moved; the timer
  // stops once nothing moves any more.
  void Reposition();
  // Is a slide under way?
  bool Running() const { return FTimer->Enabled(); }

protected:
  // One step; true while something still moves.
  bool DoReposition();
  Vcl::Integer GetNewHeight(TPageSection* S, Vcl::Integer Step) const;
  static Vcl::Integer Direction(TPageSection* S);
  void LockSections();
  void UnlockSections();
  void Fire(Vcl::TObject* Sender);

private:
  // The step for the time since the last one (at least 1 pixel).
  Vcl::Integer StepFor(Win::DWORD Now) const;
  void MoveSections(const std::vector<Vcl::TRect>& Places);

  Vcl::Integer FResizeSpeed = 400;
  TCustomSectionBar* FBar;
  std::unique_ptr<Vcl::TTimer> FTimer;
  Win::DWORD FTicks = 0;
  // The band of the bar that the last step changed (top, bottom).
  Vcl::Integer FChangedTop = 0, FChangedBottom = 0;
};

// Paints the bar, its sections and items into one off-screen bitmap.
class TSectionPainter {
public:
  explicit TSectionPainter(TCustomSectionBar* Bar);
  ~TSectionPainter();
  TSectionPainter(const TSectionPainter&) = delete;
  TSectionPainter& operator=(const TSectionPainter&) = delete;

  // The off-screen bitmap, sized to the bar.
  Vcl::TBitmap* Bmp();
  void PaintBar();
  void PaintSection(TPageSection* S, const std::shared_ptr<GdiPlus::IGPGraphics>& Graphics, Vcl::TCanvas* Canvas);
  void PaintSectionItem(TPageItem* I, const std::shared_ptr<GdiPlus::IGPGraphics>& Graphics);
  void PaintPointer(TPageSection* S, const std::shared_ptr<GdiPlus::IGPGraphics>& Graphics);
  void PaintPointer(TPageItem* I, const std::shared_ptr<GdiPlus::IGPGraphics>& Graphics);
  // The notch pointing left from the bar's right edge at the middle of R.
  static void DoPaintPointer(const GdiPlus::TGPRectF& R, const std::shared_ptr<GdiPlus::IGPGraphics>& Graphics);
  // The element's client rectangle in bar coordinates, its right edge one
  // pixel in.
  Vcl::TRect GetBoundsRect(Vcl::TControl* Element) const;
  Vcl::TRect GetLabelRect(TPageSection* S) const;
  Vcl::TPoint GetImagePoint(TPageSection* S) const;
  // The caption's height in the section's font; 0 without a bar.
  Vcl::Integer GetTitleStrHeight(TPageSection* S) const;
  std::shared_ptr<GdiPlus::IGPFont> GetFont(Vcl::TControl* Element) const;
  std::shared_ptr<GdiPlus::IGPBrush> GetFontBrush(Vcl::TControl* Element) const;
  static std::shared_ptr<GdiPlus::IGPStringFormat> ItemStringFormat();

private:
  TCustomSectionBar* FBar;
  std::unique_ptr<Vcl::TBitmap> FBmp;
};

// The common base of sections and items: the active flag, the caption and
// the events.
class TBaseSectionBarItem : public Vcl::TCustomControl {
  QX_CLASS(TBaseSectionBarItem, Vcl::TCustomControl)
public:
  explicit TBaseSectionBarItem(Vcl::TComponent* AOwner);

  bool Active() const { return FActive; }
  virtual void SetActive(bool Value);
  TCustomSectionBar* SectionBar() const { return FSectionBar; }
  // Whether the mouse is over the element (kept by the element itself, so a
  // host's OnMouseEnter and OnMouseLeave are its own to replace).
  bool MouseOver() const { return FMouseOver; }
  // The bar's font as this element draws it.
  virtual void PrepareFont(Vcl::TFont* Font) const;

  void Dispatch(Vcl::TMessage& Message) override;

  Vcl::TNotifyEvent OnActivate;
  Vcl::TNotifyEvent OnChange;

protected:
  virtual void MouseEnter();
  virtual void MouseLeave();
  void CreateParams(Vcl::TCreateParams& Params) override;
  // Asks the bar to repaint this element's place.
  void RepaintElement();
  // The element draws nothing itself: its paint requests go to the bar.
  void Paint() override;

  bool FActive = false;
  TCustomSectionBar* FSectionBar = nullptr;

private:
  bool FMouseOver = false;
};

class TPageSection : public TBaseSectionBarItem {
  QX_CLASS(TPageSection, TBaseSectionBarItem)
public:
  explicit TPageSection(Vcl::TComponent* AOwner);
  ~TPageSection() override;

  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate() { --FUpdateCount; }
  Vcl::Integer GetCount() const { return Vcl::Integer(FItems.size()); }
  TPageItem* GetItem(Vcl::Integer I) const { return FItems.at(std::size_t(I)); }
  // Takes the item in (once), last; the item's parent becomes this section.
  void InsertItem(TPageItem* I);
  void RemoveItem(TPageItem* I);
  // Deactivates the section itself and every active item but I.
  void ActivateItem(TPageItem* I);
  void Deactivate();
  void DeactivateItems(TPageItem* Except = nullptr);
  // Active itself or through one of its items.
  bool GetOpened() const;
  void SetOpened(bool Value);
  Vcl::Integer GetFullHeight() const;
  Vcl::Integer GetTitleHeight() const;
  Vcl::Integer GetTitleClientHeight() const;
  Vcl::Integer GetTitleStrHeight() const;
  // The height the section slides to.
  Vcl::Integer SectionHeight() const;
  // Where an item goes when its top is Y.
  Vcl::TRect GetControlRect(TPageItem* Item, Vcl::Integer Y) const;
  void RepositionControls();
  void RefreshAll();
  void RefreshItems();
  void RefreshItem(TPageItem* I);
  void RefreshIndices();
  void SetItemPosition(TPageItem* I, Vcl::Integer NewIndex);
  void UpdateIndices();

  Vcl::TCustomImageList* Images() const { return FImages; }
  void SetImages(Vcl::TCustomImageList* Value);
  Vcl::Integer ImageIndex() const { return FImageIndex; }
  void SetImageIndex(Vcl::Integer Value);
  Vcl::Integer Index() const { return FIndex; }
  void SetIndex(Vcl::Integer Value);
  bool Hidden() const { return FHidden; }
  void SetHidden(bool Value);
  TControlSizeInfo* SizeInfo() const { return FSizeInfo.get(); }

  Vcl::Integer LeftMargin() const { return FLeftMargin; }
  Vcl::Integer TopMargin() const { return FTopMargin; }
  Vcl::Integer RightMargin() const { return FRightMargin; }
  Vcl::Integer BottomMargin() const { return FBottomMargin; }
  Vcl::Integer MinClientHeight() const { return FMinClientHeight; }
  Vcl::Integer LabelMargin() const { return FLabelMargin; }

  void SetParent(Vcl::TWinControl* AParent) override;
  void SetBounds(Vcl::Integer ALeft, Vcl::Integer ATop, Vcl::Integer AWidth, Vcl::Integer AHeight) override;
  void SetActive(bool Value) override;
  void PrepareFont(Vcl::TFont* Font) const override;

  void Dispatch(Vcl::TMessage& Message) override;

protected:
  void MouseUp(Vcl::TMouseButton Button, Vcl::TShiftState Shift, Vcl::Integer X, Vcl::Integer Y) override;
  void Notification(Vcl::TComponent* AComponent, Vcl::TOperation Operation) override;

private:
  friend class TCustomSectionBar;
  friend class TControlSizer;
  // The bar calls this when it takes the section in or lets it go.
  void SetSectionBar(TCustomSectionBar* Bar) { FSectionBar = Bar; }
  // Items whose bounds are set while the section is laid out are its own.
  bool Updating() const { return FUpdateCount > 0; }
  // The items that take space, in order.
  std::vector<TPageItem*> ShownItems() const;
  // After loading: items in Index order, renumbered and placed.
  void SortItems();

  Vcl::Integer FImageIndex = -1;
  Vcl::TCustomImageList* FImages = nullptr;
  Vcl::Integer FLeftMargin, FTopMargin, FRightMargin, FBottomMargin, FMinClientHeight, FLabelMargin;
  std::vector<TPageItem*> FItems;
  Vcl::Integer FIndex = -1;
  Vcl::Integer FUpdateCount = 0;
  std::unique_ptr<TControlSizeInfo> FSizeInfo;
  bool FHidden = false;
};

class TPageItem : public TBaseSectionBarItem {
  QX_CLASS(TPageItem, TBaseSectionBarItem)
public:
  explicit TPageItem(Vcl::TComponent* AOwner);
  ~TPageItem() override;

  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate() { --FUpdateCount; }
  TPageSection* Section() const { return FSection; }
  Vcl::Integer Index() const { return FIndex; }
  void SetIndex(Vcl::Integer Value);
  bool Hidden() const { return FHidden; }
  void SetHidden(bool Value);

  void SetParent(Vcl::TWinControl* AParent) override;
  void SetBounds(Vcl::Integer ALeft, Vcl::Integer ATop, Vcl::Integer AWidth, Vcl::Integer AHeight) override;
  void SetActive(bool Value) override;

protected:
  void MouseUp(Vcl::TMouseButton Button, Vcl::TShiftState Shift, Vcl::Integer X, Vcl::Integer Y) override;

private:
  friend class TPageSection;
  friend class TCustomSectionBar;
  Vcl::Integer FIndex = -1;
  TPageSection* FSection = nullptr;
  Vcl::Integer FUpdateCount = 0;
  bool FHidden = false;
};

class TCustomSectionBar : public Vcl::TCustomControl {
  QX_CLASS(TCustomSectionBar, Vcl::TCustomControl)
public:
  explicit TCustomSectionBar(Vcl::TComponent* AOwner);
  ~TCustomSectionBar() override;

  // Painting waits while the count is above 0; ending does not repaint.
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate() { --FUpdateCount; }
  Vcl::Integer GetCount() const { return Vcl::Integer(FSections.size()); }
  TPageSection* GetSection(Vcl::Integer I) const { return FSections.at(std::size_t(I)); }
  // Takes the section in (once), last; its parent becomes the bar.
  void InsertSection(TPageSection* S);
  void RemoveSection(TPageSection* S);
  // Closes every section but S.
  void OpenSection(TPageSection* S);
  void SetSectionPosition(TPageSection* S, Vcl::Integer NewIndex);
  void RefreshIndices();
  // Sets every section's target height and starts the slide.
  void RepositionSections();
  void UpdateIndices();
  TSectionPainter* Painter() const { return FPainter.get(); }
  TControlSizer* Sizer() const { return FSizer.get(); }

  Vcl::Integer ResizeSpeed() const { return FSizer->ResizeSpeed(); }
  void SetResizeSpeed(Vcl::Integer Value) { FSizer->SetResizeSpeed(Value); }
  Vcl::Integer LeftMargin() const { return FLeftMargin; }
  Vcl::Integer TopMargin() const { return FTopMargin; }
  Vcl::Integer BottomMargin() const { return FBottomMargin; }
  Vcl::Integer RightMargin() const { return FRightMargin; }
  bool Updating() const { return FUpdateCount > 0; }

  void SetBounds(Vcl::Integer ALeft, Vcl::Integer ATop, Vcl::Integer AWidth, Vcl::Integer AHeight) override;
  void Dispatch(Vcl::TMessage& Message) override;

protected:
  void Loaded() override;
  void Paint() override;

private:
  std::unique_ptr<TSectionPainter> FPainter;
  std::vector<TPageSection*> FSections;
  Vcl::Integer FLeftMargin = 0, FTopMargin = 5, FBottomMargin = 5, FRightMargin = 0;
  Vcl::Integer FUpdateCount = 0;
  std::unique_ptr<TControlSizer> FSizer;
};

class TSectionBar : public TCustomSectionBar {
  QX_CLASS(TSectionBar, TCustomSectionBar)
public:
  using TCustomSectionBar::TCustomSectionBar;
};

} // namespace Quorex
