#include "Quorex.Vcl.SystemIcons.hpp"

#include <Winapi.Windows.hpp>

namespace Quorex {

using namespace Vcl;

namespace {

// The icon resources of the "user32" module.
Word ResourceNumber(TQxIconType IconType)
{
  switch (IconType) {
  case itInformation:
    return 104;
  case itQuestion:
    return 102;
  case itWarning:
    return 101;
  case itError:
    return 103;
  case itShield:
    return 106;
  }
  return 0;
}

} // namespace

TQxSystemIconList::TQxSystemIconList(TComponent* AOwner) : TCustomImageList(AOwner)
{
  SetColorDepth(cd32Bit);
  SetWidth(Win::GetSystemMetrics(Win::SM_CXICON));
  SetHeight(Win::GetSystemMetrics(Win::SM_CYICON));
}

void TQxSystemIconList::FillList()
{
  Clear();
  for (TQxIconType type : {itInformation, itQuestion, itWarning, itError, itShield})
    FIconIndexes[type] = AddDialogIcon(type);
}

Integer TQxSystemIconList::AddDialogIcon(TQxIconType IconType)
{
  Win::HICON handle = Win::LoadImage(Win::GetModuleHandle("user32"), Win::MAKEINTRESOURCE(ResourceNumber(IconType)),
                                     Win::IMAGE_ICON, Width(), Height(), Win::LR_DEFAULTCOLOR);
  if (!handle)
    return -1;
  // The list keeps a copy; the loaded icon goes with this one.
  TIcon icon;
  icon.SetHandle(handle);
  return AddIcon(&icon);
}

Integer TQxSystemIconList::GetIndex(TQxIconType IconType) const
{
  auto it = FIconIndexes.find(IconType);
  return it == FIconIndexes.end() ? -1 : it->second;
}

void TQxSystemIconList::SetWidth(Integer Value)
{
  const Integer before = Width();
  inherited::SetWidth(Value);
  if (Width() != before)
    FIconIndexes.clear();
}

void TQxSystemIconList::SetHeight(Integer Value)
{
  const Integer before = Height();
  inherited::SetHeight(Value);
  if (Height() != before)
    FIconIndexes.clear();
}

void TQxSystemIconList::Clear()
{
  FIconIndexes.clear();
  inherited::Clear();
}

} // namespace Quorex
