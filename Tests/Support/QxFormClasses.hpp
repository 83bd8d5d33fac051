// Component classes with the framework's typical published properties, for
// the form-streaming tests and the form-resource fuzz target. Header-only:
// include it in one translation unit per executable (it registers classes).
#pragma once

#include <System.Classes.Streaming.hpp>
#include <Vcl.Graphics.hpp>

namespace QxFormTest {

using namespace Vcl;

enum class TTestAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
QX_ENUM_NAMES(TTestAlign, alNone, alTop, alBottom, alLeft, alRight, alClient)
enum class TTestAnchorKind { akLeft, akTop, akRight, akBottom };
QX_ENUM_NAMES(TTestAnchorKind, akLeft, akTop, akRight, akBottom)
using TTestAnchors = TSet<TTestAnchorKind>;
enum class TTestFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
QX_ENUM_NAMES(TTestFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut)
using TTestFontStyles = TSet<TTestFontStyle>;

constexpr Integer clTestBtnFace = Integer(0xFF00000F);
constexpr Integer clTestWindowText = Integer(0xFF000008);
constexpr Integer clTestWindow = Integer(0xFF000005);
constexpr Integer crTestHandPoint = -21;

// Colour and cursor names for the tests when the graphics and window units
// have not registered theirs.
inline void EnsureIdentMaps()
{
  Integer probe = 0;
  if (!IdentToIntOf("TColor", "clBtnFace", probe)) {
    static const std::vector<std::pair<String, Integer>> colors = {
      {"clBlack", 0}, {"clMaroon", 0x80}, {"clRed", 0xFF}, {"clBlue", 0xFF0000}, {"clWhite", 0xFFFFFF},
      {"clBtnFace", clTestBtnFace}, {"clWindowText", clTestWindowText}, {"clWindow", Integer(0xFF000005)},
      {"clNone", 0x1FFFFFFF}};
    RegisterIntegerConsts(
      "TColor",
      [](const String& ident, Integer& value) {
        for (const auto& [name, v] : colors)
          if (SameText(name, ident)) {
            value = v;
            return true;
          }
        return false;
      },
      [](Integer value, String& ident) {
        for (const auto& [name, v] : colors)
          if (v == value) {
            ident = name;
            return true;
          }
        return false;
      });
  }
  if (!IdentToIntOf("TCursor", "crHandPoint", probe)) {
    RegisterIntegerConsts(
      "TCursor",
      [](const String& ident, Integer& value) {
        if (SameText(ident, "crDefault"))
          value = 0;
        else if (SameText(ident, "crHandPoint"))
          value = crTestHandPoint;
        else
          return false;
        return true;
      },
      [](Integer value, String& ident) {
        if (value == 0)
          ident = "crDefault";
        else if (value == crTestHandPoint)
          ident = "crHandPoint";
        else
          return false;
        return true;
      });
  }
}

class TTestFont : public TPersistent {
  QX_CLASS(TTestFont, TPersistent)
public:
  const String& Name() const { return FName; }
  void SetName(const String& v) { FName = v; }
  Integer Height() const { return FHeight; }
  void SetHeight(Integer v) { FHeight = v; }
  Integer Color() const { return FColor; }
  void SetColor(Integer v) { FColor = v; }
  TTestFontStyles Style() const { return FStyle; }
  void SetStyle(TTestFontStyles v) { FStyle = v; }
  void Assign(const TPersistent* Source) override
  {
    auto* f = dynamic_cast<const TTestFont*>(Source);
    if (!f) {
      TPersistent::Assign(Source);
      return;
    }
    FName = f->FName;
    FHeight = f->FHeight;
    FColor = f->FColor;
    FStyle = f->FStyle;
  }

private:
  String FName = "Tahoma";
  Integer FHeight = -11;
  Integer FColor = clTestWindowText;
  TTestFontStyles FStyle;
};

QX_PUBLISHED(TTestFont)
{
  Property("Color", &T::Color, &T::SetColor).As(pkColor).Default(clTestWindowText);
  Property("Height", &T::Height, &T::SetHeight).Default(-11);
  Property("Name", &T::Name, &T::SetName).Default("Tahoma");
  Property("Style", &T::Style, &T::SetStyle).Default(TTestFontStyles{});
}

// A picture in the stored-graphic framing whose every graphic is kept behind
// a length field; "TPNGObject" is the legacy name of TTestPng.
class TTestPicture : public TPersistent {
  QX_CLASS(TTestPicture, TPersistent)
public:
  String GraphicClass;
  TBytes Bytes;

  void DefineProperties(TFiler* Filer) override
  {
    Filer->DefineBinaryProperty(
      "Data", [this](TStream* s) { ReadData(s); }, [this](TStream* s) { WriteData(s); }, !GraphicClass.empty());
  }

private:
  void ReadData(TStream* Stream)
  {
    String name = ReadGraphicClassName(Stream);
    if (name.empty()) {
      GraphicClass.clear();
      Bytes.clear();
      return;
    }
    if (SameText(name, "TPNGObject"))
      name = "TTestPng";
    if (name != "TTestPng" && name != "TTestBmp")
      throw EReadError(Format("Unknown graphic class %s", {name}));
    Cardinal length = ReadLengthField(Stream);
    TBytes bytes(length);
    Stream->ReadBuffer(bytes.data(), length);
    GraphicClass = name;
    Bytes = std::move(bytes);
  }
  void WriteData(TStream* Stream)
  {
    WriteGraphicClassName(Stream, GraphicClass);
    if (GraphicClass.empty())
      return;
    WriteLengthField(Stream, Cardinal(Bytes.size()));
    Stream->WriteBuffer(Bytes.data(), Int64(Bytes.size()));
  }
};

class TTestControl;

class TTestItem : public TCollectionItem {
  QX_CLASS(TTestItem, TCollectionItem)
public:
  explicit TTestItem(TCollection* Collection) : TCollectionItem(Collection) {}
  const String& Caption() const { return FCaption; }
  void SetCaption(const String& v) { FCaption = v; }
  double Value() const { return FValue; }
  void SetValue(double v) { FValue = v; }
  TTestAlign Align() const { return FAlign; }
  void SetAlign(TTestAlign v) { FAlign = v; }
  TTestControl* Target() const { return FTarget; }
  void SetTarget(TTestControl* v) { FTarget = v; }

private:
  String FCaption;
  double FValue = 1.0;
  TTestAlign FAlign = TTestAlign::alNone;
  TTestControl* FTarget = nullptr;
};

QX_PUBLISHED(TTestItem)
{
  Property("Caption", &T::Caption, &T::SetCaption);
  Property("Value", &T::Value, &T::SetValue).Default(1.0);
  Property("Align", &T::Align, &T::SetAlign).Default(TTestAlign::alNone);
  Property("Target", &T::Target, &T::SetTarget);
}

// A control: bounds, caption, colours, a font, and children written nested
// under their parent.
class TTestControl : public TComponent {
  QX_CLASS(TTestControl, TComponent)
public:
  explicit TTestControl(TComponent* AOwner) : TComponent(AOwner) { ++LiveCount(); }
  ~TTestControl() override
  {
    --LiveCount();
    Destroying();
    while (!FControls.empty())
      FControls.back()->SetParent(nullptr);
    SetParent(nullptr);
  }

  Integer Left() const { return FLeft; }
  void SetLeft(Integer v)
  {
    FLeft = v;
    StateWhenLeftSet = ComponentState();
  }
  Integer Top() const { return FTop; }
  void SetTop(Integer v) { FTop = v; }
  Integer Width() const { return FWidth; }
  virtual void SetWidth(Integer v) { FWidth = v; }
  Integer Height() const { return FHeight; }
  void SetHeight(Integer v) { FHeight = v; }
  const String& Caption() const { return FCaption; }
  virtual void SetCaption(const String& v) { FCaption = v; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool v) { FVisible = v; }
  Integer Color() const { return FColor; }
  void SetColor(Integer v) { FColor = v; }
  Integer Cursor() const { return FCursor; }
  void SetCursor(Integer v) { FCursor = v; }
  TTestAlign Align() const { return FAlign; }
  void SetAlign(TTestAlign v) { FAlign = v; }
  TTestAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TTestAnchors v) { FAnchors = v; }
  TTestFont* Font() const { return FFont.get(); }
  void SetFont(TTestFont* v) { FFont->Assign(v); }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool v) { FParentFont = v; }
  const String& Hint() const { return FHint; }
  void SetHint(const String& v) { FHint = v; }
  bool IsFontStored() const { return !FParentFont; }
  TNotifyEvent OnClick;

  TTestControl* Parent() const { return FParent; }
  void SetParent(TTestControl* v)
  {
    if (FParent == v)
      return;
    if (FParent)
      std::erase(FParent->FControls, this);
    FParent = v;
    if (FParent)
      FParent->FControls.push_back(this);
  }
  const std::vector<TTestControl*>& Controls() const { return FControls; }

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override { return FParent; }
  void SetParentComponent(TComponent* Value) override { SetParent(dynamic_cast<TTestControl*>(Value)); }
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override
  {
    TComponent::GetChildren(Proc, Root);
    for (TTestControl* c : FControls)
      if (c->Owner() == Root)
        Proc(c);
  }

  static int& LiveCount()
  {
    static int count = 0;
    return count;
  }
  // Which components had Loaded called, in order.
  static std::vector<String>& LoadedLog()
  {
    static std::vector<String> log;
    return log;
  }
  void Loaded() override
  {
    TComponent::Loaded();
    LoadedLog().push_back(Name());
  }
  TComponentState StateWhenLeftSet;

private:
  Integer FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  String FCaption;
  String FHint;
  bool FVisible = true;
  Integer FColor = clTestBtnFace;
  Integer FCursor = 0;
  TTestAlign FAlign = TTestAlign::alNone;
  TTestAnchors FAnchors{TTestAnchorKind::akLeft, TTestAnchorKind::akTop};
  std::unique_ptr<TTestFont> FFont = std::make_unique<TTestFont>();
  bool FParentFont = true;
  TTestControl* FParent = nullptr;
  std::vector<TTestControl*> FControls;
};

QX_PUBLISHED(TTestControl)
{
  Property("Left", &T::Left, &T::SetLeft);
  Property("Top", &T::Top, &T::SetTop);
  Property("Width", &T::Width, &T::SetWidth);
  Property("Height", &T::Height, &T::SetHeight);
  Property("Align", &T::Align, &T::SetAlign).Default(TTestAlign::alNone);
  Property("Anchors", &T::Anchors, &T::SetAnchors).Default(TTestAnchors{TTestAnchorKind::akLeft, TTestAnchorKind::akTop});
  Property("Caption", &T::Caption, &T::SetCaption);
  Property("Color", &T::Color, &T::SetColor).As(pkColor).Default(clTestBtnFace);
  Property("Cursor", &T::Cursor, &T::SetCursor).As(pkCursor).Default(0);
  Property("Font", &T::Font, &T::SetFont).Stored(&T::IsFontStored);
  Property("ParentFont", &T::ParentFont, &T::SetParentFont).Default(true);
  Property("Visible", &T::Visible, &T::SetVisible).Default(true);
  Property("Hint", &T::Hint, &T::SetHint).Protected();
  Event("OnClick", &T::OnClick);
}

using TTestItems = TOwnedCollection;

// A panel with a collection, a reference, binary data, a string list, a
// picture and a floating-point value.
class TTestPanel : public TTestControl {
  QX_CLASS(TTestPanel, TTestControl)
public:
  explicit TTestPanel(TComponent* AOwner) : TTestControl(AOwner), FItems(this, &TTestItem::StaticClass())
  {
    FItems.SetPropName("Items");
  }
  TCollection* Items() const { return const_cast<TTestItems*>(&FItems); }
  void SetItems(TCollection* v) { FItems.Assign(v); }
  TTestControl* Buddy() const { return FBuddy; }
  void SetBuddy(TTestControl* v)
  {
    if (FBuddy)
      FBuddy->RemoveFreeNotification(this);
    FBuddy = v;
    if (FBuddy)
      FBuddy->FreeNotification(this);
  }
  const TBytes& Data() const { return FData; }
  void SetData(const TBytes& v) { FData = v; }
  TStringList* Lines() const { return FLines.get(); }
  void SetLines(TStringList* v) { FLines->Assign(v); }
  TTestPicture* Picture() const { return FPicture.get(); }
  double Ratio() const { return FRatio; }
  void SetRatio(double v) { FRatio = v; }
  Int64 Big() const { return FBig; }
  void SetBig(Int64 v) { FBig = v; }
  Word Small() const { return FSmall; }
  void SetSmall(Word v) { FSmall = v; }
  std::function<void(TObject* Sender, Integer Index)> OnSelect;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override
  {
    TTestControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FBuddy)
      FBuddy = nullptr;
  }

private:
  TTestItems FItems;
  TTestControl* FBuddy = nullptr;
  TBytes FData;
  std::unique_ptr<TStringList> FLines = std::make_unique<TStringList>();
  std::unique_ptr<TTestPicture> FPicture = std::make_unique<TTestPicture>();
  double FRatio = 0.5;
  Int64 FBig = 0;
  Word FSmall = 0;
};

QX_PUBLISHED(TTestPanel)
{
  Property("Items", &T::Items, &T::SetItems);
  Property("Buddy", &T::Buddy, &T::SetBuddy);
  Property("Data", &T::Data, &T::SetData);
  Property("Lines", &T::Lines, &T::SetLines);
  Property("Picture", &T::Picture, nullptr);
  Property("Ratio", &T::Ratio, &T::SetRatio).Default(0.5);
  Property("Big", &T::Big, &T::SetBig).Default(0);
  Property("Small", &T::Small, &T::SetSmall).Default(0);
  Event("OnSelect", &T::OnSelect);
}

// Sizes itself to its caption once loading is over, as an auto-sized label does.
class TTestLabel : public TTestControl {
  QX_CLASS(TTestLabel, TTestControl)
public:
  explicit TTestLabel(TComponent* AOwner) : TTestControl(AOwner) { SetColor(clTestWindow); }
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool v)
  {
    FAutoSize = v;
    AdjustSize();
  }
  void SetCaption(const String& v) override
  {
    TTestControl::SetCaption(v);
    AdjustSize();
  }
  void Loaded() override
  {
    TTestControl::Loaded();
    AdjustSize();
  }
  int AdjustCount = 0;

private:
  void AdjustSize()
  {
    if (ComponentState().Contains(csLoading) || !FAutoSize)
      return;
    ++AdjustCount;
    SetWidth(Integer(Caption().size()) * 6 + Font()->Height() * -1);
  }
  bool FAutoSize = true;
};

QX_PUBLISHED(TTestLabel)
{
  Property("AutoSize", &T::AutoSize, &T::SetAutoSize).Default(true);
  Publish("Color").Default(clTestWindow);
}

class TTestForm : public TTestControl {
  QX_CLASS(TTestForm, TTestControl)
public:
  explicit TTestForm(TComponent* AOwner) : TTestControl(AOwner) {}
  bool HasParent() const override { return false; }
};

QX_PUBLISHED(TTestForm)
{
  Publish("Hint");
}

// A non-visual component, written under the root rather than a parent.
class TTestTimer : public TComponent {
  QX_CLASS(TTestTimer, TComponent)
public:
  explicit TTestTimer(TComponent* AOwner) : TComponent(AOwner) {}
  Cardinal Interval() const { return FInterval; }
  void SetInterval(Cardinal v) { FInterval = v; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool v) { FEnabled = v; }
  TNotifyEvent OnTimer;

private:
  Cardinal FInterval = 1000;
  bool FEnabled = true;
};

QX_PUBLISHED(TTestTimer)
{
  Property("Enabled", &T::Enabled, &T::SetEnabled).Default(true);
  Property("Interval", &T::Interval, &T::SetInterval).Default(1000);
  Event("OnTimer", &T::OnTimer);
}

} // namespace QxFormTest
