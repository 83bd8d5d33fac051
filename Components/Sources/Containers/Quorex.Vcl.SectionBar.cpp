#include "Quorex.Vcl.SectionBar.hpp"

#include <GdiPlusHelpers.hpp>
#include <GdiPlusUtils.hpp>
#include <Quorex.System.DPI.hpp>
#include <Quorex.Vcl.ControlProperties.hpp>
#include <System.SysUtils.hpp>
#include <Vcl.Graphics.Measure.hpp>
#include <Winapi.Windows.hpp>

#include <algorithm>
#include <climits>
#include <cmath>

namespace Quorex {

using namespace Vcl;
using namespace GdiPlus;

namespace {

constexpr Cardinal kSizerInterval = 20;
constexpr TGPColor kBarTop(0xFFE6E6E6), kBarBottom(0xFFEFEFEF), kBarLine(0xFF808080);
constexpr TGPColor kOpenedTop(0xFFFF7200), kOpenedBottom(0xFFE14B02);
constexpr TGPColor kPointerLine(0xFF808080), kPointerFill(0xFFFFFFFF);

bool Designing(const TComponent* C)
{
  return C->ComponentState().Contains(csDesigning);
}

bool Loading(const TComponent* C)
{
  return C->ComponentState().Contains(csLoading);
}

// A gradient over nothing cannot be made, and there is nothing to fill.
void FillVertical(const std::shared_ptr<IGPGraphics>& G, const TRect& R, TGPColor Top, TGPColor Bottom)
{
  if (R.IsEmpty())
    return;
  G->FillRectangle(TGPLinearGradientBrush::Create(ToGPRectF(R), Top, Bottom, LinearGradientModeVertical),
                   ToGPRectF(R));
}

// Stable sort by Index, then the positions become the indices.
template <class T>
void SortByIndex(std::vector<T*>& List)
{
  std::stable_sort(List.begin(), List.end(), [](const T* A, const T* B) { return A->Index() < B->Index(); });
}

template <class T>
void MoveInList(std::vector<T*>& List, T* Element, Integer NewIndex)
{
  auto it = std::find(List.begin(), List.end(), Element);
  if (it == List.end())
    return;
  List.erase(it);
  NewIndex = std::clamp<Integer>(NewIndex, 0, Integer(List.size()));
  List.insert(List.begin() + NewIndex, Element);
}

} // namespace

// ---- TControlSizer --------------------------------------------------------------------------

TControlSizer::TControlSizer(TCustomSectionBar* Bar) : FBar(Bar), FTimer(std::make_unique<TTimer>(nullptr))
{
  FTimer->SetEnabled(false);
  FTimer->SetInterval(kSizerInterval);
  FTimer->SetOnTimer([this](TObject* Sender) { Fire(Sender); });
}

TControlSizer::~TControlSizer() = default;

void TControlSizer::BeginUpdate()
{
  FTimer->SetEnabled(false);
}

void TControlSizer::EndUpdate()
{
  Reposition();
  FTimer->SetEnabled(true);
}

void TControlSizer::Fire(TObject* Sender)
{
  (void)Sender;
  Reposition();
}

void TControlSizer::Reposition()
{
  LockSections();
  bool changed = DoReposition();
  if (!changed)
    FTimer->SetEnabled(false);
  UnlockSections();
  if (FChangedBottom > FChangedTop && FBar->HandleAllocated()) {
    TRect band(0, FChangedTop, FBar->Width(), FChangedBottom);
    Win::InvalidateRect(FBar->Handle(), &band, Win::FALSE);
    FBar->Update();
  }
}

void TControlSizer::LockSections()
{
  for (Integer i = 0; i < FBar->GetCount(); ++i)
    FBar->GetSection(i)->BeginUpdate();
}

void TControlSizer::UnlockSections()
{
  for (Integer i = 0; i < FBar->GetCount(); ++i)
    FBar->GetSection(i)->EndUpdate();
}

Integer TControlSizer::StepFor(Win::DWORD Now) const
{
  if (FResizeSpeed <= 0)
    return INT_MAX; // no slide: straight to the targets
  double seconds = double(Now - FTicks) * 0.001;
  if (seconds > 0.1)
    seconds = kSizerInterval * 0.001; // after a pause, one tick's worth
  double step = std::nearbyint(double(FResizeSpeed) * seconds);
  return Integer(std::clamp(step, 1.0, double(INT_MAX)));
}

bool TControlSizer::DoReposition()
{
  FChangedTop = FChangedBottom = 0;
  Win::DWORD now = Win::GetTickCount();
  if (now == FTicks && FResizeSpeed > 0)
    return true; // no time has passed: the next tick moves
  Integer step = StepFor(now);
  FTicks = now;
  bool changed = false;
  Integer y = FBar->TopMargin();
  Integer width = FBar->Width() - FBar->RightMargin();
  std::vector<TRect> places;
  for (Integer i = 0; i < FBar->GetCount(); ++i) {
    TPageSection* s = FBar->GetSection(i);
    if (s->Hidden()) {
      places.push_back(s->BoundsRect());
      continue;
    }
    Integer height = GetNewHeight(s, step);
    changed = changed || height != s->Height();
    places.push_back(Bounds(FBar->LeftMargin(), y, width, height));
    y += height;
  }
  MoveSections(places);
  return changed;
}

void TControlSizer::MoveSections(const std::vector<TRect>& Places)
{
  std::vector<std::pair<TPageSection*, TRect>> batched;
  std::vector<TPageSection*> widened;
  for (Integer i = 0; i < FBar->GetCount(); ++i) {
    TPageSection* s = FBar->GetSection(i);
    const TRect& from = s->BoundsRect();
    const TRect& to = Places[std::size_t(i)];
    if (from == to)
      continue;
    FChangedTop = FChangedBottom > FChangedTop ? std::min({FChangedTop, from.Top, to.Top}) : std::min(from.Top, to.Top);
    FChangedBottom = std::max({FChangedBottom, from.Bottom, to.Bottom});
    if (to.Width() != from.Width())
      widened.push_back(s);
    if (s->HandleAllocated())
      batched.emplace_back(s, to);
    else
      s->SetBounds(to.Left, to.Top, to.Width(), to.Height()); // in update mode: taken as it is
  }
  // The windows move together and their controls' bounds follow them.
  Win::HDWP batch = Win::BeginDeferWindowPos(Integer(batched.size()));
  for (const auto& [s, to] : batched)
    batch = Win::DeferWindowPos(batch, s->Handle(), nullptr, to.Left, to.Top, to.Width(), to.Height(),
                                Win::SWP_NOZORDER | Win::SWP_NOACTIVATE | Win::SWP_NOREDRAW);
  Win::EndDeferWindowPos(batch);
  for (TPageSection* s : widened)
    s->RepositionControls();
}

Integer TControlSizer::GetNewHeight(TPageSection* S, Integer Step) const
{
  Integer target = S->SizeInfo()->Height();
  Integer current = S->Height();
  if (std::abs(std::int64_t(current) - target) >= Step)
    return current + Direction(S) * Step;
  return target;
}

Integer TControlSizer::Direction(TPageSection* S)
{
  return S->SizeInfo()->Height() < S->Height() ? -1 : 1;
}

// ---- TSectionPainter ------------------------------------------------------------------------

TSectionPainter::TSectionPainter(TCustomSectionBar* Bar) : FBar(Bar), FBmp(std::make_unique<TBitmap>())
{
  FBmp->SetPixelFormat(pf32bit);
}

TSectionPainter::~TSectionPainter() = default;

TBitmap* TSectionPainter::Bmp()
{
  FBmp->SetSize(FBar->Width(), FBar->Height());
  return FBmp.get();
}

void TSectionPainter::PaintBar()
{
  TBitmap* bmp = Bmp();
  if (bmp->Width() <= 0 || bmp->Height() <= 0)
    return;
  {
    auto g = ToGPGraphics(bmp->Canvas());
    g->SetCompositingQuality(CompositingQualityHighQuality);
    // Only what the bar's paint lets through reaches the screen.
    Win::RECT clip;
    if (Win::GetClipBox(FBar->Canvas()->Handle(), &clip) != Win::ERROR)
      g->SetClip(ToGPRectF(clip));
    TRect client = FBar->ClientRect();
    FillVertical(g, client, kBarTop, kBarBottom);
    g->DrawLine(TGPPen::Create(kBarLine, 1.0f), float(client.Right - 1), 0.0f, float(client.Right - 1),
                float(client.Bottom));
    for (Integer i = 0; i < FBar->GetCount(); ++i)
      if (!FBar->GetSection(i)->Hidden())
        PaintSection(FBar->GetSection(i), g, bmp->Canvas());
  }
  FBar->Canvas()->Draw(0, 0, bmp);
}

void TSectionPainter::PaintSection(TPageSection* S, const std::shared_ptr<IGPGraphics>& Graphics, TCanvas* Canvas)
{
  TRect r = GetBoundsRect(S);
  if (S->GetOpened())
    FillVertical(Graphics, r, kOpenedTop, kOpenedBottom);
  if (S->Images()) {
    TPoint p = GetImagePoint(S);
    S->Images()->Draw(Canvas, p.X, p.Y, S->ImageIndex(), true);
  }
  TRect label = GetLabelRect(S);
  Graphics->DrawString(S->Caption(), GetFont(S), ToGPRectF(label), ItemStringFormat(), GetFontBrush(S));
  for (Integer i = 0; i < S->GetCount(); ++i)
    if (!S->GetItem(i)->Hidden())
      PaintSectionItem(S->GetItem(i), Graphics);
  if (S->Active())
    PaintPointer(S, Graphics);
}

void TSectionPainter::PaintSectionItem(TPageItem* I, const std::shared_ptr<IGPGraphics>& Graphics)
{
  TPageSection* s = I->Section();
  if (!s)
    return;
  // Items the sliding section does not hold wholly yet stay undrawn.
  if (I->Top() + I->Height() <= s->Height())
    Graphics->DrawString(I->Caption(), GetFont(I), ToGPRectF(GetBoundsRect(I)), ItemStringFormat(), GetFontBrush(I));
  if (I->Active())
    PaintPointer(I, Graphics);
}

void TSectionPainter::PaintPointer(TPageSection* S, const std::shared_ptr<IGPGraphics>& Graphics)
{
  DoPaintPointer(ToGPRectF(GetLabelRect(S)), Graphics);
}

void TSectionPainter::PaintPointer(TPageItem* I, const std::shared_ptr<IGPGraphics>& Graphics)
{
  DoPaintPointer(ToGPRectF(GetBoundsRect(I)), Graphics);
}

void TSectionPainter::DoPaintPointer(const TGPRectF& R, const std::shared_ptr<IGPGraphics>& Graphics)
{
  float mid = R.Y + R.Height * 0.5f;
  float right = R.X + R.Width;
  Graphics->DrawPolygon(TGPPen::Create(kPointerLine, 1.0f),
                        {{right - 10, mid}, {right + 2, mid - 12}, {right + 2, mid + 12}});
  Graphics->FillPolygon(TGPSolidBrush::Create(kPointerFill),
                        {{right - 9, mid}, {right + 2, mid - 11}, {right + 2, mid + 11}});
}

TRect TSectionPainter::GetBoundsRect(TControl* Element) const
{
  TPoint origin = Element->ClientToParent(TPoint(0, 0), FBar);
  TRect r = Element->ClientRect();
  r.Offset(origin.X, origin.Y);
  r.Right -= 1;
  return r;
}

TRect TSectionPainter::GetLabelRect(TPageSection* S) const
{
  TRect r = GetBoundsRect(S);
  TRect label;
  label.Left = r.Left + S->LeftMargin();
  if (S->Images())
    label.Left += S->Images()->Width() + S->LabelMargin();
  label.Top = r.Top + S->TopMargin();
  label.Right = r.Left + S->Width() - S->RightMargin();
  label.Bottom = label.Top + S->GetTitleClientHeight();
  return label;
}

TPoint TSectionPainter::GetImagePoint(TPageSection* S) const
{
  TRect r = GetBoundsRect(S);
  Integer imageHeight = S->Images() ? S->Images()->Height() : 0;
  return TPoint(r.Left + S->LeftMargin(), r.Top + (S->GetTitleHeight() - imageHeight) / 2);
}

Integer TSectionPainter::GetTitleStrHeight(TPageSection* S) const
{
  if (!S->SectionBar())
    return 0;
  // Measured on a memory context: sizes are asked for while the bar is
  // built or read, before it has a window.
  TMeasureCanvas canvas(FBar->Font());
  auto g = ToGPGraphics(&canvas);
  return Integer(g->MeasureString(S->Caption(), GetFont(S), TGPPointF{0, 0}).Height);
}

std::shared_ptr<IGPFont> TSectionPainter::GetFont(TControl* Element) const
{
  TFont font;
  font.Assign(FBar->Font());
  if (auto* element = dynamic_cast<TBaseSectionBarItem*>(Element))
    element->PrepareFont(&font);
  return ToGPFont(&font);
}

std::shared_ptr<IGPBrush> TSectionPainter::GetFontBrush(TControl* Element) const
{
  TFont font;
  font.Assign(FBar->Font());
  if (auto* element = dynamic_cast<TBaseSectionBarItem*>(Element))
    element->PrepareFont(&font);
  return TGPSolidBrush::Create(TGPColor::CreateFromColorRef(std::uint32_t(font.Color())));
}

std::shared_ptr<IGPStringFormat> TSectionPainter::ItemStringFormat()
{
  auto format = TGPStringFormat::Create();
  format->SetLineAlignment(StringAlignmentCenter);
  return format;
}

// ---- TBaseSectionBarItem --------------------------------------------------------------------

TBaseSectionBarItem::TBaseSectionBarItem(TComponent* AOwner) : TCustomControl(AOwner)
{
  SetDoubleBuffered(false);
}

void TBaseSectionBarItem::CreateParams(TCreateParams& Params)
{
  inherited::CreateParams(Params);
  Params.ExStyle |= Win::WS_EX_TRANSPARENT;
}

void TBaseSectionBarItem::Dispatch(TMessage& Message)
{
  switch (Message.Msg) {
  case Win::WM_ERASEBKGND:
    Message.Result = 1; // the bar paints beneath
    return;
  case CM_MOUSEENTER:
  case CM_MOUSELEAVE:
    // LParam names a child the message bubbles up from; 0 is this element.
    if (Message.LParam == 0) {
      FMouseOver = Message.Msg == CM_MOUSEENTER;
      if (FMouseOver)
        MouseEnter();
      else
        MouseLeave();
    }
    break;
  case CM_TEXTCHANGED:
    RepaintElement();
    break;
  default:
    break;
  }
  inherited::Dispatch(Message);
}

void TBaseSectionBarItem::SetActive(bool Value)
{
  if (FActive == Value)
    return;
  FActive = Value;
  RepaintElement();
  if (OnChange)
    OnChange(this);
  if (Value && OnActivate)
    OnActivate(this);
}

void TBaseSectionBarItem::MouseEnter()
{
  RepaintElement();
}

void TBaseSectionBarItem::MouseLeave()
{
  RepaintElement();
}

void TBaseSectionBarItem::PrepareFont(TFont* Font) const
{
  if (FActive)
    Font->SetColor(TColor(0x00FFFFFF));
  else if (FMouseOver) {
    TFontStyles style = Font->Style();
    style.Include(fsUnderline);
    Font->SetStyle(style);
  }
  Font->SetSize(10);
}

void TBaseSectionBarItem::RepaintElement()
{
  if (!FSectionBar || !FSectionBar->HandleAllocated())
    return;
  TRect r = FSectionBar->Painter()->GetBoundsRect(this);
  r.Left = 0;
  r.Right = FSectionBar->Width();
  Win::InvalidateRect(FSectionBar->Handle(), &r, Win::FALSE);
}

void TBaseSectionBarItem::Paint()
{
  RepaintElement();
}

// ---- TPageSection -----------------------------------------------------------------------------

TPageSection::TPageSection(TComponent* AOwner)
  : TBaseSectionBarItem(AOwner), FSizeInfo(std::make_unique<TControlSizeInfo>())
{
  const Integer p = DPI::GetValue();
  FLeftMargin = 10 * p / 96;
  FTopMargin = 5 * p / 96;
  FRightMargin = p / 96;
  FBottomMargin = 5 * p / 96;
  FMinClientHeight = 30 * p / 96;
  FLabelMargin = 5 * p / 96;
  FControlStyle = TControlStyle{csAcceptsControls};
  SetBounds(Left(), Top(), 100, FMinClientHeight);
}

TPageSection::~TPageSection()
{
  Destroying();
  for (TPageItem* item : FItems)
    item->FSection = nullptr;
  FItems.clear();
  if (FSectionBar)
    FSectionBar->RemoveSection(this);
  SetImages(nullptr);
}

void TPageSection::SetParent(TWinControl* AParent)
{
  auto* bar = dynamic_cast<TCustomSectionBar*>(AParent);
  if (AParent && !bar)
    Abort();
  if (AParent == Parent() && (!bar || FSectionBar == bar))
    return;
  if (FSectionBar)
    FSectionBar->RemoveSection(this);
  inherited::SetParent(AParent);
  if (bar)
    bar->InsertSection(this);
}

void TPageSection::InsertItem(TPageItem* I)
{
  if (!I || std::find(FItems.begin(), FItems.end(), I) != FItems.end())
    return;
  if (I->FSection)
    I->FSection->RemoveItem(I);
  FItems.push_back(I);
  I->FIndex = GetCount() - 1;
  I->FSection = this;
  I->FSectionBar = FSectionBar;
  if (I->Parent() != this)
    I->TWinControl::SetParent(this);
  RefreshAll();
  RepositionControls();
}

void TPageSection::RemoveItem(TPageItem* I)
{
  auto it = std::find(FItems.begin(), FItems.end(), I);
  if (it == FItems.end())
    return;
  FItems.erase(it);
  I->FSection = nullptr;
  I->FSectionBar = nullptr;
  UpdateIndices();
  if (ComponentState().Contains(csDestroying))
    return;
  RefreshAll();
  RepositionControls();
}

void TPageSection::ActivateItem(TPageItem* I)
{
  SetActive(false);
  DeactivateItems(I);
  if (FSectionBar)
    FSectionBar->OpenSection(this);
  RefreshAll();
}

void TPageSection::Deactivate()
{
  if (FActive)
    SetActive(false);
  else
    DeactivateItems();
}

void TPageSection::DeactivateItems(TPageItem* Except)
{
  for (TPageItem* item : std::vector<TPageItem*>(FItems))
    if (item != Except && item->Active())
      item->SetActive(false);
}

bool TPageSection::GetOpened() const
{
  return FActive || std::any_of(FItems.begin(), FItems.end(), [](const TPageItem* I) { return I->Active(); });
}

void TPageSection::SetOpened(bool Value)
{
  if (Value)
    SetActive(true);
  else
    Deactivate();
  RefreshAll();
}

std::vector<TPageItem*> TPageSection::ShownItems() const
{
  std::vector<TPageItem*> shown;
  for (TPageItem* item : FItems)
    if (!item->Hidden())
      shown.push_back(item);
  return shown;
}

Integer TPageSection::GetFullHeight() const
{
  Integer height = GetTitleHeight();
  for (TPageItem* item : ShownItems())
    height += item->Height();
  return height;
}

Integer TPageSection::GetTitleHeight() const
{
  return GetTitleClientHeight() + FTopMargin + FBottomMargin;
}

Integer TPageSection::GetTitleClientHeight() const
{
  Integer height = FMinClientHeight;
  if (FImages)
    height = std::max(height, FImages->Height());
  return std::max(height, GetTitleStrHeight());
}

Integer TPageSection::GetTitleStrHeight() const
{
  if (!FSectionBar)
    return 0;
  return FSectionBar->Painter()->GetTitleStrHeight(const_cast<TPageSection*>(this));
}

Integer TPageSection::SectionHeight() const
{
  if (Designing(this) || GetOpened())
    return GetFullHeight();
  return GetTitleHeight();
}

TRect TPageSection::GetControlRect(TPageItem* Item, Integer Y) const
{
  Integer left = FLeftMargin;
  if (FImages)
    left += FLabelMargin + FImages->Width();
  return TRect(left, Y, Width(), Y + Item->Height());
}

void TPageSection::RepositionControls()
{
  Integer y = GetTitleClientHeight() + FTopMargin;
  for (TPageItem* item : ShownItems()) {
    TRect r = GetControlRect(item, y);
    item->BeginUpdate();
    item->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    item->EndUpdate();
    y += item->Height();
  }
}

void TPageSection::RefreshAll()
{
  if (FSectionBar)
    FSectionBar->RepositionSections();
  RefreshItems();
  if (Designing(this))
    Invalidate();
}

void TPageSection::RefreshItems()
{
  for (TPageItem* item : FItems)
    RefreshItem(item);
}

void TPageSection::RefreshItem(TPageItem* I)
{
  if (Designing(this))
    return;
  I->SetVisible(GetOpened() && !FHidden && !I->Hidden());
}

void TPageSection::RefreshIndices()
{
  UpdateIndices();
  RefreshAll();
  RepositionControls();
}

void TPageSection::SetItemPosition(TPageItem* I, Integer NewIndex)
{
  MoveInList(FItems, I, NewIndex);
  UpdateIndices();
  RefreshAll();
  RepositionControls();
}

void TPageSection::UpdateIndices()
{
  for (std::size_t i = 0; i < FItems.size(); ++i)
    FItems[i]->FIndex = Integer(i);
}

void TPageSection::SortItems()
{
  SortByIndex(FItems);
  UpdateIndices();
  RepositionControls();
}

void TPageSection::SetImages(TCustomImageList* Value)
{
  if (FImages == Value)
    return;
  if (FImages)
    FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (FImages)
    FImages->FreeNotification(this);
  if (ComponentState().Contains(csDestroying))
    return;
  RefreshAll();
  RepositionControls();
  RepaintElement();
}

void TPageSection::SetImageIndex(Integer Value)
{
  if (FImageIndex == Value)
    return;
  FImageIndex = Value;
  RepaintElement();
}

void TPageSection::SetIndex(Integer Value)
{
  if (Loading(this) || !FSectionBar) {
    FIndex = Value;
    return;
  }
  FSectionBar->SetSectionPosition(this, Value);
}

void TPageSection::SetHidden(bool Value)
{
  if (FHidden == Value)
    return;
  FHidden = Value;
  // A hidden section's window must not take clicks either.
  if (!Designing(this))
    SetVisible(!Value);
  RefreshAll();
}

void TPageSection::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight)
{
  const bool loading = Loading(this);
  if (!loading && !Updating() && FSectionBar) {
    inherited::SetBounds(Left(), Top(), Width(), AHeight);
    FSectionBar->RepositionSections();
    return;
  }
  inherited::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (!loading)
    RepositionControls();
}

void TPageSection::SetActive(bool Value)
{
  if (FActive == Value)
    return;
  inherited::SetActive(Value);
  if (Value)
    DeactivateItems();
  if (GetOpened() && FSectionBar)
    FSectionBar->OpenSection(this);
  RefreshAll();
}

void TPageSection::PrepareFont(TFont* Font) const
{
  inherited::PrepareFont(Font);
  Font->SetSize(12);
}

void TPageSection::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y)
{
  if (Button == mbLeft && !FActive)
    SetActive(true);
  inherited::MouseUp(Button, Shift, X, Y);
}

void TPageSection::Notification(TComponent* AComponent, TOperation Operation)
{
  inherited::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == FImages) {
    FImages = nullptr;
    if (ComponentState().Contains(csDestroying))
      return;
    RefreshAll();
    RepositionControls();
  }
}

void TPageSection::Dispatch(TMessage& Message)
{
  // Removed from this section by any road (a parent's removal, its
  // destruction): the item leaves the list.
  if (Message.Msg == CM_CONTROLCHANGE && Message.LParam == 0)
    if (auto* item = dynamic_cast<TPageItem*>(reinterpret_cast<TControl*>(Message.WParam)))
      RemoveItem(item);
  if (Message.Msg == CM_TEXTCHANGED && !ComponentState().Contains(csDestroying))
    RefreshAll();
  inherited::Dispatch(Message);
}

// ---- TPageItem --------------------------------------------------------------------------------

TPageItem::TPageItem(TComponent* AOwner) : TBaseSectionBarItem(AOwner)
{
  FControlStyle = TControlStyle{csDesignInteractive, csClickEvents};
  SetBounds(Left(), Top(), 100, 24);
}

TPageItem::~TPageItem()
{
  Destroying();
  if (FSection)
    FSection->RemoveItem(this);
}

void TPageItem::SetParent(TWinControl* AParent)
{
  auto* section = dynamic_cast<TPageSection*>(AParent);
  if (AParent && !section)
    Abort();
  if (AParent == Parent() && (!section || FSection == section))
    return;
  if (FSection)
    FSection->RemoveItem(this);
  inherited::SetParent(AParent);
  if (section)
    section->InsertItem(this);
}

void TPageItem::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight)
{
  if (!Loading(this) && FUpdateCount == 0 && FSection) {
    FSection->RepositionControls();
    return;
  }
  inherited::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TPageItem::SetActive(bool Value)
{
  if (FActive == Value)
    return;
  inherited::SetActive(Value);
  if (Value && FSection)
    FSection->ActivateItem(this);
}

void TPageItem::SetIndex(Integer Value)
{
  if (Loading(this) || !FSection) {
    FIndex = Value;
    return;
  }
  FSection->SetItemPosition(this, Value);
}

void TPageItem::SetHidden(bool Value)
{
  if (FHidden == Value)
    return;
  FHidden = Value;
  if (!FSection)
    return;
  FSection->RefreshAll();
  FSection->RepositionControls();
}

void TPageItem::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y)
{
  inherited::MouseUp(Button, Shift, X, Y);
  if (Button == mbLeft)
    SetActive(true);
}

// ---- TCustomSectionBar ----------------------------------------------------------------------

TCustomSectionBar::TCustomSectionBar(TComponent* AOwner)
  : TCustomControl(AOwner), FPainter(std::make_unique<TSectionPainter>(this)),
    FSizer(std::make_unique<TControlSizer>(this))
{
  FControlStyle = TControlStyle{csAcceptsControls};
  SetBounds(Left(), Top(), 150, Height());
  SetAlign(alLeft);
}

TCustomSectionBar::~TCustomSectionBar()
{
  Destroying();
  for (TPageSection* s : FSections)
    s->SetSectionBar(nullptr);
  FSections.clear();
}

void TCustomSectionBar::InsertSection(TPageSection* S)
{
  if (!S || std::find(FSections.begin(), FSections.end(), S) != FSections.end())
    return;
  if (S->SectionBar())
    S->SectionBar()->RemoveSection(S);
  FSections.push_back(S);
  S->FIndex = GetCount() - 1;
  S->SetSectionBar(this);
  for (TPageItem* item : S->FItems)
    item->FSectionBar = this;
  if (S->Parent() != this)
    S->TWinControl::SetParent(this);
  RepositionSections();
}

void TCustomSectionBar::RemoveSection(TPageSection* S)
{
  auto it = std::find(FSections.begin(), FSections.end(), S);
  if (it == FSections.end())
    return;
  FSections.erase(it);
  S->SetSectionBar(nullptr);
  for (TPageItem* item : S->FItems)
    item->FSectionBar = nullptr;
  UpdateIndices();
  if (!ComponentState().Contains(csDestroying))
    RepositionSections();
}

void TCustomSectionBar::OpenSection(TPageSection* S)
{
  for (TPageSection* other : std::vector<TPageSection*>(FSections))
    if (other != S && other->GetOpened())
      other->SetOpened(false);
}

void TCustomSectionBar::SetSectionPosition(TPageSection* S, Integer NewIndex)
{
  MoveInList(FSections, S, NewIndex);
  UpdateIndices();
  RepositionSections();
}

void TCustomSectionBar::RefreshIndices()
{
  UpdateIndices();
  RepositionSections();
}

void TCustomSectionBar::UpdateIndices()
{
  for (std::size_t i = 0; i < FSections.size(); ++i)
    FSections[i]->FIndex = Integer(i);
}

void TCustomSectionBar::RepositionSections()
{
  if (Loading(this) || ComponentState().Contains(csDestroying))
    return;
  FSizer->BeginUpdate();
  for (TPageSection* s : FSections)
    s->SizeInfo()->SetHeight(s->SectionHeight());
  FSizer->EndUpdate();
  Invalidate();
}

void TCustomSectionBar::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight)
{
  inherited::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (!Loading(this))
    RepositionSections();
}

void TCustomSectionBar::Loaded()
{
  inherited::Loaded();
  SortByIndex(FSections);
  UpdateIndices();
  for (TPageSection* s : FSections)
    s->SortItems();
  RepositionSections();
}

void TCustomSectionBar::Paint()
{
  if (!Updating())
    FPainter->PaintBar();
}

void TCustomSectionBar::Dispatch(TMessage& Message)
{
  switch (Message.Msg) {
  case Win::WM_ERASEBKGND:
    Message.Result = 1; // the paint covers everything
    return;
  case CM_CONTROLCHANGE:
    // Removed from the bar by any road: the section leaves the list.
    if (Message.LParam == 0)
      if (auto* s = dynamic_cast<TPageSection*>(reinterpret_cast<TControl*>(Message.WParam)))
        RemoveSection(s);
    break;
  case CM_FONTCHANGED:
    inherited::Dispatch(Message);
    RepositionSections();
    return;
  default:
    break;
  }
  inherited::Dispatch(Message);
}

// ---- published --------------------------------------------------------------------------------

QX_PUBLISHED_CONTROL(TSectionBar)
{
  Property("ResizeSpeed", &T::ResizeSpeed, &T::SetResizeSpeed).Default(400);
  Publish("Align").Default(alLeft);
  for (const char* name : {"Anchors", "DoubleBuffered", "Enabled", "ParentFont", "Font", "ParentShowHint",
                           "ShowHint", "PopupMenu", "TabOrder", "Visible", "OnClick", "OnContextPopup", "OnDblClick",
                           "OnEnter", "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseEnter",
                           "OnMouseLeave", "OnMouseMove", "OnMouseUp", "OnResize"})
    Publish(name);
}

template <class C>
struct TSectionElementPublisher : TQxControlPublisher<C> {
  using typename TQxControlPublisher<C>::T;
  using TQxControlPublisher<C>::Property;
  using TQxControlPublisher<C>::Publish;
  using TQxControlPublisher<C>::Event;
  void ElementProperties()
  {
    Property("Active", &T::Active, &T::SetActive).Default(false);
    Publish("Caption");
    Property("Hidden", &T::Hidden, &T::SetHidden).Default(false);
    Event("OnActivate", &T::OnActivate);
    Event("OnChange", &T::OnChange);
  }
};

namespace {

struct QxPublished_TPageSection : TSectionElementPublisher<TPageSection> {
  QxPublished_TPageSection()
  {
    Property("Images", &T::Images, &T::SetImages);
    Property("ImageIndex", &T::ImageIndex, &T::SetImageIndex).Default(-1);
    Property("Index", &T::Index, &T::SetIndex);
    ElementProperties();
  }
};
const QxPublished_TPageSection QxPublishedInstance_TPageSection;

struct QxPublished_TPageItem : TSectionElementPublisher<TPageItem> {
  QxPublished_TPageItem()
  {
    Property("Index", &T::Index, &T::SetIndex).Default(-1);
    ElementProperties();
  }
};
const QxPublished_TPageItem QxPublishedInstance_TPageItem;

} // namespace

} // namespace Quorex
