// A path field whose right button opens the folder dialog and puts the
// chosen folder into the text.
#pragma once

#include <Vcl.ExtCtrls.ButtonedEdit.hpp>

#include <memory>

namespace Quorex {

class TBrowsePath : public Vcl::TCustomButtonedEdit {
  QX_CLASS(TBrowsePath, Vcl::TCustomButtonedEdit)
public:
  explicit TBrowsePath(Vcl::TComponent* AOwner);
  ~TBrowsePath() override;

  // The folder dialog's title.
  Vcl::String Caption() const { return FCaption; }
  void SetCaption(const Vcl::String& Value) { FCaption = Value; }
  // The folder last chosen (or the text when the dialog was last opened).
  Vcl::String Path() const { return FPath; }

  // Shows the folder dialog starting at the text; true when a folder was
  // chosen, which Path then holds.
  bool Execute();

  Vcl::TNotifyEvent OnPathSelected;

protected:
  void ButtonClick(Vcl::TObject* Sender);
  void LoadImages();

private:
  Vcl::String FPath;
  std::unique_ptr<Vcl::TImageList> FImages;
  Vcl::String FCaption = "Select directory";
};

} // namespace Quorex
