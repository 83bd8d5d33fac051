#include "Vcl.FileCtrl.hpp"

#include "Vcl.StdCtrls.Label.hpp"
#include "Vcl.StdCtrls.hpp"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <utility>

namespace Vcl {

namespace fs = std::filesystem;

namespace {

TBrowseFolderHandler& Handler()
{
  static TBrowseFolderHandler handler;
  return handler;
}

fs::path StartFolder(const String& InitialPath)
{
  std::error_code error;
  fs::path path = InitialPath.empty() ? fs::path(std::getenv("HOME") ? std::getenv("HOME") : "/")
                                      : fs::absolute(fs::path(InitialPath), error).lexically_normal();
  while (!fs::is_directory(path, error) && path.has_relative_path())
    path = path.parent_path();
  return fs::is_directory(path, error) ? path : fs::path("/");
}

// Sub-folders in name order; folders that cannot be read list nothing.
std::vector<String> SubFolders(const fs::path& Folder)
{
  std::vector<String> names;
  std::error_code error;
  for (fs::directory_iterator it(Folder, fs::directory_options::skip_permission_denied, error), end;
       !error && it != end; it.increment(error))
    if (it->is_directory(error))
      names.push_back(it->path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

constexpr Integer kMargin = 8, kButtonWidth = 75, kButtonHeight = 25, kListWidth = 320, kListHeight = 240;

class TFolderList : public TCustomControl {
public:
  explicit TFolderList(TComponent* AOwner) : TCustomControl(AOwner) { SetTabStop(true); }

  void SetFolder(const fs::path& Folder)
  {
    FFolder = Folder;
    FNames = SubFolders(Folder);
    FSelected = -1;
    FTop = 0;
    Invalidate();
    if (OnFolderChange)
      OnFolderChange();
  }
  const fs::path& Folder() const { return FFolder; }
  fs::path Choice() const { return FSelected < 0 ? FFolder : FFolder / FNames[FSelected]; }
  void OpenSelected()
  {
    if (FSelected >= 0)
      SetFolder(FFolder / FNames[FSelected]);
  }
  void OpenParent()
  {
    if (FFolder.has_relative_path())
      SetFolder(FFolder.parent_path());
  }

  std::function<void()> OnFolderChange;

protected:
  // Arrows move the selection; Enter opens the selected folder and presses
  // the default button only while none is selected.
  void WndProc(TMessage& Message) override
  {
    if (Message.Msg == Win::WM_GETDLGCODE) {
      Message.Result = Win::DLGC_WANTARROWS;
      return;
    }
    if (Message.Msg == CM_WANTSPECIALKEY && Message.WParam == Win::VK_RETURN && FSelected >= 0) {
      Message.Result = 1;
      return;
    }
    TCustomControl::WndProc(Message);
  }
  void Paint() override
  {
    TCanvas* canvas = Canvas();
    canvas->Font()->Assign(Font());
    canvas->Brush()->SetColor(clWindow);
    canvas->FillRect(ClientRect());
    const Integer h = ItemHeight();
    for (Integer i = FTop; i < Integer(FNames.size()) && (i - FTop) * h < Height(); ++i) {
      const TRect row(1, 1 + (i - FTop) * h, Width() - 1, 1 + (i - FTop + 1) * h);
      const bool selected = i == FSelected;
      canvas->Brush()->SetColor(selected ? clHighlight : clWindow);
      canvas->Font()->SetColor(selected ? clHighlightText : clWindowText);
      canvas->TextRect(row, row.Left + 4, row.Top + 1, FNames[i]);
    }
    canvas->Brush()->SetColor(clBtnShadow);
    canvas->FrameRect(ClientRect());
  }
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override
  {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (CanFocus())
      SetFocus();
    const Integer index = FTop + (Y - 1) / ItemHeight();
    if (Y >= 1 && index < Integer(FNames.size()))
      Select(index);
  }
  void DblClick() override
  {
    TCustomControl::DblClick();
    OpenSelected();
  }
  void KeyDown(Word& Key, TShiftState Shift) override
  {
    TCustomControl::KeyDown(Key, Shift);
    if (FNames.empty())
      return;
    if (Key == Win::VK_DOWN)
      Select(std::min(FSelected + 1, Integer(FNames.size()) - 1));
    else if (Key == Win::VK_UP)
      Select(std::max(FSelected - 1, 0));
    else if (Key == Win::VK_RETURN && FSelected >= 0)
      OpenSelected();
    else
      return;
    Key = 0;
  }

private:
  Integer ItemHeight() { return std::max(Canvas()->TextHeight("Ag") + 2, 1); }
  Integer VisibleRows() { return std::max((Height() - 2) / ItemHeight(), 1); }
  void Select(Integer Index)
  {
    FSelected = Index;
    FTop = std::clamp(FTop, std::max(Index - VisibleRows() + 1, 0), Index);
    Invalidate();
  }

  fs::path FFolder;
  std::vector<String> FNames;
  Integer FSelected = -1;
  Integer FTop = 0;
};

TFolderList* ListOf(TForm* Dialog)
{
  return static_cast<TFolderList*>(Dialog->FindComponent("Folders"));
}

TButton* AddButton(TForm* Form, const char* Name, const char* Caption, Integer X, Integer Y)
{
  auto* button = new TButton(Form);
  button->SetName(Name);
  button->SetCaption(Caption);
  button->SetBounds(X, Y, kButtonWidth, kButtonHeight);
  button->SetParent(Form);
  return button;
}

} // namespace

TForm* CreateFolderDialog(const TBrowseFolderRequest& Request)
{
  auto form = std::make_unique<TForm>(nullptr);
  form->SetBorderStyle(bsDialog);
  form->SetPosition(poScreenCenter);
  form->SetCaption(Request.Title);
  form->SetClientWidth(kListWidth + 2 * kMargin);
  auto* path = new TLabel(form.get());
  path->SetName("Path");
  // A long path is cut at the label's edge rather than run under "Up".
  path->SetAutoSize(false);
  path->SetBounds(kMargin, kMargin, kListWidth - kButtonWidth - kMargin, 17);
  path->SetParent(form.get());
  auto* list = new TFolderList(form.get());
  list->SetName("Folders");
  list->SetBounds(kMargin, kMargin + kButtonHeight + 4, kListWidth, kListHeight);
  list->SetParent(form.get());
  list->OnFolderChange = [path, list] { path->SetCaption(list->Folder().string()); };
  AddButton(form.get(), "Up", "&Up", kMargin + kListWidth - kButtonWidth, kMargin)->OnClick = [list](TObject*) {
    list->OpenParent();
  };
  const Integer buttonsTop = list->Top() + kListHeight + kMargin;
  auto* ok = AddButton(form.get(), "OK", "OK", kMargin + kListWidth - 2 * kButtonWidth - kMargin, buttonsTop);
  ok->SetModalResult(mrOk);
  ok->SetDefault(true);
  auto* cancel = AddButton(form.get(), "Cancel", "Cancel", kMargin + kListWidth - kButtonWidth, buttonsTop);
  cancel->SetModalResult(mrCancel);
  cancel->SetCancel(true);
  form->SetClientHeight(buttonsTop + kButtonHeight + kMargin);
  list->SetFolder(StartFolder(Request.InitialPath));
  return form.release();
}

String SelectedFolder(TForm* Dialog)
{
  return ListOf(Dialog)->Choice().string();
}

std::optional<String> BrowseForFolder(const TBrowseFolderRequest& Request)
{
  if (Handler())
    return Handler()(Request);
  std::unique_ptr<TForm> dialog(CreateFolderDialog(Request));
  if (dialog->ShowModal() != mrOk)
    return std::nullopt;
  return SelectedFolder(dialog.get());
}

TBrowseFolderHandler SetBrowseFolderHandler(TBrowseFolderHandler NewHandler)
{
  return std::exchange(Handler(), std::move(NewHandler));
}

} // namespace Vcl
