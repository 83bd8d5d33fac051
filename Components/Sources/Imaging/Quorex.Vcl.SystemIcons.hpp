// The system's message-box icons (information, question, warning, error and
// the elevation shield) in one image list, with the index of each kind.
#pragma once

#include <Vcl.ImgList.hpp>

#include <map>

namespace Quorex {

enum TQxIconType { itInformation, itQuestion, itWarning, itError, itShield };

class TQxSystemIconList : public Vcl::TCustomImageList {
  QX_CLASS(TQxSystemIconList, Vcl::TCustomImageList)
public:
  // The system's standard icon size, 32-bit colour, no images yet.
  explicit TQxSystemIconList(Vcl::TComponent* AOwner = nullptr);

  // Empties the list, then adds the five icons in the order of TQxIconType.
  void FillList();
  // The kind's icon from the "user32" module at the list's size, appended;
  // -1 (and nothing added) when it cannot be loaded.
  Vcl::Integer AddDialogIcon(TQxIconType IconType);
  // -1 for a kind that has no image (before FillList, after Clear or a resize).
  Vcl::Integer GetIndex(TQxIconType IconType) const;

  // Every way the images go also forgets their indexes.
  void SetWidth(Vcl::Integer Value) override;
  void SetHeight(Vcl::Integer Value) override;
  void Clear() override;

private:
  std::map<TQxIconType, Vcl::Integer> FIconIndexes;
};

} // namespace Quorex
