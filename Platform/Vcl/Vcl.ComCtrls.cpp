#include "Vcl.ComCtrls.hpp"
#include "Vcl.ComCtrls.Internal.hpp"

#include <System.SysUtils.hpp>
#include <Win.Gdi.hpp>

#include <algorithm>
#include <utility>

namespace Vcl {

using namespace ListViewMetrics;

// ---- columns -----------------------------------------------------------------------------

TListColumn::TListColumn(TCollection* Collection) : TCollectionItem(Collection) {}

void TListColumn::Assign(const TPersistent* Source)
{
  const auto* other = dynamic_cast<const TListColumn*>(Source);
  if (!other) {
    inherited::Assign(Source);
    return;
  }
  FCaption = other->FCaption;
  FWidth = other->FWidth;
  FAlignment = other->FAlignment;
  Changed(false);
}

void TListColumn::SetCaption(const String& Value)
{
  if (FCaption == Value)
    return;
  FCaption = Value;
  Changed(false);
}

void TListColumn::SetWidth(Integer Value)
{
  Value = std::max(Value, 0);
  if (FWidth == Value)
    return;
  FWidth = Value;
  Changed(false);
}

void TListColumn::SetAlignment(TAlignment Value)
{
  if (FAlignment == Value)
    return;
  FAlignment = Value;
  Changed(false);
}

TListColumns::TListColumns(TCustomListView* AOwner) : TCollection(&TListColumn::StaticClass()), FOwner(AOwner) {}

TPersistent* TListColumns::GetOwner() const
{
  return FOwner;
}

// A whole-collection change may come from an item still being built (an
// added column tells the collection from its constructor), so such a change
// only marks the header for filling again when it is next painted.
void TListColumns::Update(TCollectionItem* Item)
{
  FOwner->FHeaderStale = true;
  if (Item)
    FOwner->ColumnsChanged();
  else
    FOwner->Invalidate();
}

// ---- items --------------------------------------------------------------------------------

TListItem::TListItem(TListItems* AOwner) : FOwner(AOwner), FSubItems(std::make_unique<TStringList>()) {}

TListItem::~TListItem() = default;

TCustomListView* TListItem::ListView() const
{
  return FOwner->Owner();
}

void TListItem::Reset()
{
  FCaption.clear();
  FSubItems->Clear();
  FSubItemImages.clear();
  FImageIndex = -1;
  FStateIndex = -1;
  FData = nullptr;
}

// The host fills an owner-data item while it is painted: that is no change.
void TListItem::Changed()
{
  if (!ListView()->OwnerData())
    ListView()->UpdateItems(FIndex, FIndex);
}

void TListItem::SetCaption(const String& Value)
{
  if (FCaption == Value)
    return;
  FCaption = Value;
  Changed();
}

void TListItem::SetImageIndex(Integer Value)
{
  if (FImageIndex == Value)
    return;
  FImageIndex = Value;
  Changed();
}

void TListItem::SetStateIndex(Integer Value)
{
  if (FStateIndex == Value)
    return;
  FStateIndex = Value;
  Changed();
}

Integer TListItem::SubItemImages(Integer Index) const
{
  if (Index < 0 || size_t(Index) >= FSubItemImages.size())
    return -1;
  return FSubItemImages[size_t(Index)];
}

void TListItem::SetSubItemImages(Integer Index, Integer Value)
{
  if (Index < 0 || Index >= FSubItems->Count())
    return;
  if (size_t(Index) >= FSubItemImages.size())
    FSubItemImages.resize(size_t(Index) + 1, -1);
  FSubItemImages[size_t(Index)] = Value;
  Changed();
}

bool TListItem::Selected() const
{
  return ListView()->GetItemState(FIndex, Win::LVIS_SELECTED) != 0;
}

void TListItem::SetSelected(bool Value)
{
  ListView()->SetItemState(FIndex, Value ? Win::LVIS_SELECTED : 0, Win::LVIS_SELECTED);
}

bool TListItem::Focused() const
{
  return ListView()->GetItemState(FIndex, Win::LVIS_FOCUSED) != 0;
}

void TListItem::SetFocused(bool Value)
{
  ListView()->SetItemState(FIndex, Value ? Win::LVIS_FOCUSED : 0, Win::LVIS_FOCUSED);
}

// Unchecked is state image 1, but an item that never had one reads as
// unchecked too.
bool TListItem::Checked() const
{
  return ListView()->GetItemState(FIndex, Win::LVIS_STATEIMAGEMASK) == Win::INDEXTOSTATEIMAGEMASK(2);
}

void TListItem::SetChecked(bool Value)
{
  ListView()->SetItemState(FIndex, Win::INDEXTOSTATEIMAGEMASK(Value ? 2 : 1), Win::LVIS_STATEIMAGEMASK);
}

TRect TListItem::DisplayRect(TDisplayCode Code) const
{
  return ListView()->ItemRect(FIndex, Code);
}

void TListItem::MakeVisible(bool PartialOK)
{
  (void)PartialOK;
  ListView()->EnsureVisible(FIndex);
}

TListItems::TListItems(TCustomListView* AOwner) : FOwner(AOwner) {}

TListItems::~TListItems() = default;

Integer TListItems::Count() const
{
  return FOwner->OwnerData() ? FOwner->FOwnerCount : Integer(FItems.size());
}

void TListItems::SetCount(Integer Value)
{
  if (FOwner->OwnerData())
    FOwner->SetItemCountEx(Value, 0);
}

TListItem* TListItems::Add()
{
  return Insert(Integer(FItems.size()));
}

TListItem* TListItems::Insert(Integer Index)
{
  if (FOwner->OwnerData())
    throw EListError("Cannot add items to a list view in owner-data mode");
  Index = std::clamp(Index, 0, Integer(FItems.size()));
  FItems.insert(FItems.begin() + Index, FOwner->CreateListItem());
  Renumber(Index);
  FOwner->InsertState(Index);
  return FItems[size_t(Index)].get();
}

void TListItems::Delete(Integer Index)
{
  if (Index < 0 || Index >= Integer(FItems.size()))
    return;
  FOwner->DeleteState(Index);
  FItems.erase(FItems.begin() + Index);
  Renumber(Index);
}

void TListItems::Clear()
{
  if (FOwner->OwnerData()) {
    FOwner->SetItemCountEx(0, 0);
    return;
  }
  Integer old = Integer(FItems.size());
  FItems.clear();
  FOwner->CountChanged(old, 0);
}

TListItem* TListItems::Item(Integer Index)
{
  if (Index < 0 || Index >= Count())
    return nullptr;
  if (!FOwner->OwnerData())
    return FItems[size_t(Index)].get();
  if (!FTempItem)
    FTempItem = FOwner->CreateListItem();
  FTempItem->Reset();
  FTempItem->FIndex = Index;
  FOwner->OwnerDataFetch(FTempItem.get(), {irText, irImage, irParam, irState});
  return FTempItem.get();
}

void TListItems::BeginUpdate()
{
  ++FUpdateCount;
}

void TListItems::EndUpdate()
{
  if (--FUpdateCount == 0)
    FOwner->Invalidate();
}

void TListItems::Renumber(Integer From)
{
  for (size_t i = size_t(From); i < FItems.size(); ++i)
    FItems[i]->FIndex = Integer(i);
}

std::unique_ptr<TListItem> TCustomListView::CreateListItem()
{
  return std::make_unique<TListItem>(FItems.get());
}

// ---- the list view: properties -------------------------------------------------------------

TCustomListView::TCustomListView(TComponent* AOwner)
  : TCustomControl(AOwner), FColumns(std::make_unique<TListColumns>(this)),
    FItems(std::make_unique<TListItems>(this)), FImageChangeLink(std::make_unique<TChangeLink>())
{
  FColumns->SetPropName("Columns");
  FControlStyle += TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
  SetColor(clWindow);
  SetTabStop(true);
  SetBounds(0, 0, 250, 150);
  FImageChangeLink->OnChange = [this](TObject* Sender) { ImagesChanged(Sender); };
}

TCustomListView::~TCustomListView()
{
  SetSmallImages(nullptr);
  SetStateImages(nullptr);
}

void TCustomListView::CreateParams(TCreateParams& Params)
{
  inherited::CreateParams(Params);
  Params.Style |= Win::WS_VSCROLL | Win::WS_HSCROLL;
  Params.WindowClass.style |= Win::CS_DBLCLKS;
}

void TCustomListView::CreateWnd()
{
  inherited::CreateWnd();
  Win::InitCommonControls();
  FHeader = Win::CreateWindowEx(0, Win::WC_HEADER, "", Win::WS_CHILD | Win::HDS_BUTTONS | Win::HDS_FULLDRAG, 0, 0, 0,
                                0, FHandle, nullptr, nullptr, nullptr);
  FHeaderStale = true;
  SyncHeader();
  UpdateScrollBars();
}

void TCustomListView::DestroyWnd()
{
  FHeader = nullptr; // goes with the list's window
  inherited::DestroyWnd();
}

// The header gets the columns afresh: few enough that rebuilding beats
// tracking what changed.
void TCustomListView::SyncHeader()
{
  if (!FHeader || FSyncingHeader)
    return;
  FSyncingHeader = true;
  while (Win::SendMessage(FHeader, Win::HDM_GETITEMCOUNT, 0, 0) > 0)
    Win::SendMessage(FHeader, Win::HDM_DELETEITEM, 0, 0);
  for (Integer i = 0; i < FColumns->Count(); ++i) {
    TListColumn* column = FColumns->Items(i);
    Win::HDITEM item;
    item.mask = Win::HDI_TEXT | Win::HDI_WIDTH | Win::HDI_FORMAT;
    item.pszText = column->Caption().c_str();
    item.cxy = column->Width();
    item.fmt = Win::HDF_STRING | (column->Alignment() == taRightJustify ? Win::HDF_RIGHT
                                  : column->Alignment() == taCenter     ? Win::HDF_CENTER
                                                                        : Win::HDF_LEFT);
    Win::SendMessage(FHeader, Win::HDM_INSERTITEM, Win::WPARAM(i), reinterpret_cast<Win::LPARAM>(&item));
  }
  FHeaderStale = false;
  FSyncingHeader = false;
  LayoutHeader();
}

// The header scrolls sideways with the rows and reaches past the client's
// right edge at least.
void TCustomListView::LayoutHeader()
{
  if (!FHeader)
    return;
  Win::SendMessage(FHeader, Win::WM_SETFONT, reinterpret_cast<Win::WPARAM>(Font()->Handle()), 0);
  Integer height = HeaderHeight();
  if (height == 0) {
    Win::ShowWindow(FHeader, Win::SW_HIDE);
    return;
  }
  Win::SetWindowPos(FHeader, nullptr, -FScrollX, 0, std::max(ClientWidth() + FScrollX, ColumnsWidth()), height,
                    Win::SWP_NOZORDER | Win::SWP_NOACTIVATE | Win::SWP_SHOWWINDOW);
}

void TCustomListView::Notification(TComponent* AComponent, TOperation Operation)
{
  inherited::Notification(AComponent, Operation);
  if (Operation != TOperation::opRemove)
    return;
  // The list is already past its own destructor: nothing is asked of it.
  if (AComponent != FSmallImages && AComponent != FStateImages)
    return;
  if (AComponent == FSmallImages)
    FSmallImages = nullptr;
  if (AComponent == FStateImages)
    FStateImages = nullptr;
  ImagesChanged(nullptr);
}

void TCustomListView::SetViewStyle(TViewStyle Value)
{
  if (FViewStyle == Value)
    return;
  FViewStyle = Value;
  FRowHeight = 0;
  LayoutHeader();
  Invalidate();
}

void TCustomListView::SetOwnerData(bool Value)
{
  if (FOwnerData == Value)
    return;
  FItems->FItems.clear();
  FOwnerCount = 0;
  FOwnerData = Value;
  FStates.clear();
  FSelected.clear();
  FFocusIndex = FAnchorIndex = FHotIndex = -1;
  FTopIndex = 0;
  Invalidate();
}

void TCustomListView::SetOwnerDraw(bool Value)
{
  if (FOwnerDraw == Value)
    return;
  FOwnerDraw = Value;
  FRowHeight = 0;
  Invalidate();
}

void TCustomListView::SetMultiSelect(bool Value)
{
  if (FMultiSelect == Value)
    return;
  FMultiSelect = Value;
  if (!Value && SelCount() > 1)
    ClearSelection();
}

void TCustomListView::SetRowSelect(bool Value)
{
  if (FRowSelect == Value)
    return;
  FRowSelect = Value;
  Invalidate();
}

void TCustomListView::SetHideSelection(bool Value)
{
  if (FHideSelection == Value)
    return;
  FHideSelection = Value;
  Invalidate();
}

void TCustomListView::SetHotTrack(bool Value)
{
  FHotTrack = Value;
  if (!Value)
    SetHotIndex(-1);
}

void TCustomListView::SetGridLines(bool Value)
{
  if (FGridLines == Value)
    return;
  FGridLines = Value;
  Invalidate();
}

void TCustomListView::SetShowColumnHeaders(bool Value)
{
  if (FShowColumnHeaders == Value)
    return;
  FShowColumnHeaders = Value;
  LayoutHeader();
  Invalidate();
}

void TCustomListView::SetCheckboxes(bool Value)
{
  if (FCheckboxes == Value)
    return;
  FCheckboxes = Value;
  FRowHeight = 0;
  Invalidate();
}

void TCustomListView::SetSmallImages(TCustomImageList* Value)
{
  if (FSmallImages == Value)
    return;
  if (FSmallImages) {
    FSmallImages->UnRegisterChanges(FImageChangeLink.get());
    FSmallImages->RemoveFreeNotification(this);
  }
  FSmallImages = Value;
  if (FSmallImages) {
    FSmallImages->RegisterChanges(FImageChangeLink.get());
    FSmallImages->FreeNotification(this);
  }
  ImagesChanged(Value);
}

void TCustomListView::SetStateImages(TCustomImageList* Value)
{
  if (FStateImages == Value)
    return;
  if (FStateImages)
    FStateImages->RemoveFreeNotification(this);
  FStateImages = Value;
  if (FStateImages)
    FStateImages->FreeNotification(this);
  ImagesChanged(Value);
}

void TCustomListView::ImagesChanged(TObject* Sender)
{
  (void)Sender;
  FRowHeight = 0;
  Invalidate();
}

void TCustomListView::FontChanged()
{
  inherited::FontChanged();
  FRowHeight = FTextHeight = 0;
  LayoutHeader();
  Invalidate();
}

void TCustomListView::Resize()
{
  inherited::Resize();
  LayoutHeader();
  ScrollTo(FTopIndex, FScrollX);
  UpdateScrollBars();
}

void TCustomListView::ColumnsChanged()
{
  SyncHeader();
  ScrollTo(FTopIndex, FScrollX);
  UpdateScrollBars();
  Invalidate();
}

} // namespace Vcl
