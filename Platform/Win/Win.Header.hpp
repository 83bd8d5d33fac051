// The header control: a row of column captions over a report list. Columns
// are sized by dragging the dividers between them (or double-clicking one,
// which the parent answers); the parent hears of everything through
// WM_NOTIFY with the HDN_* codes and drives the control with HDM_* messages.
#pragma once

#include "Win.User.hpp"

#include <string>

namespace Win {

constexpr const char* WC_HEADER = "SysHeader32";

// Registers the common controls' window classes (the header control); safe
// to call more than once.
BOOL InitCommonControls();

// Styles.
constexpr DWORD HDS_HORZ = 0x0, HDS_BUTTONS = 0x2, HDS_HOTTRACK = 0x4, HDS_HIDDEN = 0x8, HDS_FULLDRAG = 0x80;

// HDITEM::mask.
constexpr UINT HDI_WIDTH = 0x1, HDI_TEXT = 0x2, HDI_FORMAT = 0x4, HDI_LPARAM = 0x8, HDI_IMAGE = 0x20,
               HDI_ORDER = 0x80;
// HDITEM::fmt.
constexpr int HDF_LEFT = 0x0, HDF_RIGHT = 0x1, HDF_CENTER = 0x2, HDF_JUSTIFYMASK = 0x3, HDF_SORTDOWN = 0x200,
              HDF_SORTUP = 0x400, HDF_STRING = 0x4000, HDF_OWNERDRAW = 0x8000;

struct HDITEM {
  UINT mask = 0;
  int cxy = 0;
  const char* pszText = nullptr; // HDM_GETITEM copies into it, at most cchTextMax bytes with the terminator
  int cchTextMax = 0;
  int fmt = 0;
  LPARAM lParam = 0;
  int iImage = 0;
  int iOrder = 0;
};

constexpr UINT HDM_FIRST = 0x1200, HDM_GETITEMCOUNT = HDM_FIRST + 0, HDM_DELETEITEM = HDM_FIRST + 2,
               HDM_LAYOUT = HDM_FIRST + 5, HDM_HITTEST = HDM_FIRST + 6, HDM_GETITEMRECT = HDM_FIRST + 7,
               HDM_INSERTITEM = HDM_FIRST + 10, HDM_GETITEM = HDM_FIRST + 11, HDM_SETITEM = HDM_FIRST + 12;

// HDM_LAYOUT: the header takes the top of *prc and answers where it goes.
struct HDLAYOUT {
  RECT* prc = nullptr;
  WINDOWPOS* pwpos = nullptr;
};

constexpr UINT HHT_NOWHERE = 0x1, HHT_ONHEADER = 0x2, HHT_ONDIVIDER = 0x4, HHT_TORIGHT = 0x400, HHT_TOLEFT = 0x800;
struct HDHITTESTINFO {
  POINT pt;
  UINT flags = 0;
  int iItem = -1;
};

// Notifications (NMHDR::code). Answering nonzero to HDN_ITEMCHANGING or
// HDN_BEGINTRACK vetoes the change or the tracking.
constexpr UINT HDN_FIRST = UINT(-300), HDN_ITEMCHANGING = HDN_FIRST - 0, HDN_ITEMCHANGED = HDN_FIRST - 1,
               HDN_ITEMCLICK = HDN_FIRST - 2, HDN_ITEMDBLCLICK = HDN_FIRST - 3, HDN_DIVIDERDBLCLICK = HDN_FIRST - 5,
               HDN_BEGINTRACK = HDN_FIRST - 6, HDN_ENDTRACK = HDN_FIRST - 7, HDN_TRACK = HDN_FIRST - 8;

struct NMHEADER {
  NMHDR hdr;
  int iItem = -1;
  int iButton = 0; // 0 left
  HDITEM* pitem = nullptr;
};

// Owner-drawn items (HDF_OWNERDRAW) reach the parent as WM_DRAWITEM.
constexpr UINT ODT_HEADER = 100;

// How near a divider the pointer grabs it, on either side.
constexpr int kHeaderDividerGrip = 4;

} // namespace Win
