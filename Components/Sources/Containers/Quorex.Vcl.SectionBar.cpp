#include "Quorex.Vcl.SectionBar.hpp"

#include <Quorex.System.DPI.hpp>
#include <Quorex.Vcl.ControlProperties.hpp>
#include <System.ScopeGuards.hpp>
#include <System.SysUtils.hpp>
#include <Winapi.Windows.hpp>

#include <algorithm>

namespace Quorex {

using namespace Vcl;

namespace {

bool Designing(const TComponent* C)
{
  return C->ComponentState().Contains(csDesigning);
}

bool Loading(const TComponent* C)
{
  return C->ComponentState().Contains(csLoading);
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

// ---- TBaseSectionBarItem --------------------------------------------------------------------

TBaseSectionBarItem::TBaseSectionBarItem(TComponent* AOwner) : TCustomControl(AOwner)
{
  // Its owner paints it through its transparent window: a buffer of its
  // own, taken from a double-buffered parent, would cover that painting.
  SetParentDoubleBuffered(false);
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
    {
      const TUpdateScope update(*item);
      item->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    }
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
  {
    const TUpdateScope update(*FSizer);
    for (TPageSection* s : FSections)
      s->SizeInfo()->SetHeight(s->SectionHeight());
  }
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
