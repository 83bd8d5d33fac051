// The gallery's window: navigation links on the left, the pages of a frame
// host on the right, filling the screen.
#pragma once

#include "GalleryPages.hpp"

#include <Vcl.Forms.hpp>

namespace Gallery {

constexpr int kScreenWidth = 1150, kScreenHeight = 620;

// Handles every waiting message, as a host's loop does between waits.
void RunUntilIdle();

class TGalleryForm {
public:
  TGalleryForm();
  ~TGalleryForm();
  TGalleryForm(const TGalleryForm&) = delete;
  TGalleryForm& operator=(const TGalleryForm&) = delete;

  Vcl::TForm* Form() const { return FForm; }
  Quorex::THtmlLabel* Nav() const { return FNav; }
  Quorex::TQxFrameHost* Host() const { return FHost; }
  // Switches to the page of a navigation link's identifier.
  void ShowPage(const String& Id);
  // The page of that class, made (hidden) if it was not there yet.
  template <class TPage>
  TPage* Page() const
  {
    Quorex::TQxFrameClient* client = FHost->AddFrame<TPage>();
    return client ? dynamic_cast<TPage*>(client->Owner()) : nullptr;
  }

private:
  Vcl::TForm* FForm;
  Quorex::THtmlLabel* FNav = nullptr;
  Quorex::TQxFrameHost* FHost = nullptr;
};

} // namespace Gallery
