// The common-control numbers a report list view speaks: item states and
// masks, count-setting flags, and the notifications (with their record) the
// list sends to its parent as WM_NOTIFY. Its column header is the header
// control (Win.Header.hpp).
#pragma once

#include <Win.Header.hpp>

namespace Win {

constexpr UINT LVN_FIRST = 0u - 100u;
constexpr UINT LVN_ITEMCHANGING = LVN_FIRST - 0, LVN_ITEMCHANGED = LVN_FIRST - 1;

constexpr UINT LVIS_FOCUSED = 0x1, LVIS_SELECTED = 0x2, LVIS_STATEIMAGEMASK = 0xF000;
constexpr UINT LVIF_STATE = 0x8;
// The state image index (1-based, 0 for none) kept in LVIS_STATEIMAGEMASK;
// with check boxes 1 is unchecked and 2 checked.
constexpr UINT INDEXTOSTATEIMAGEMASK(UINT Index)
{
  return Index << 12;
}
constexpr DWORD LVSICF_NOINVALIDATEALL = 0x1, LVSICF_NOSCROLL = 0x2;

// iItem -1 stands for every item (a change made to all of them at once).
struct NMLISTVIEW {
  NMHDR hdr;
  int iItem = -1;
  int iSubItem = 0;
  UINT uNewState = 0;
  UINT uOldState = 0;
  UINT uChanged = 0;
  POINT ptAction;
  LPARAM lParam = 0;
};

} // namespace Win
