#include "Vcl.Graphics.hpp"

#include <algorithm>
#include <mutex>

namespace Vcl {

namespace {

struct TFileFormat {
  String Extension; // lower case, no dot; empty: found by class name only
  String Description;
  TGraphicClass GraphicClass;
};

struct TFileFormats {
  std::mutex Mutex;
  std::vector<TFileFormat> List{{"bmp", "Bitmaps", &TBitmap::StaticClass()},
                                {"ico", "Icons", &TIcon::StaticClass()}};
};

TFileFormats& FileFormats()
{
  static TFileFormats formats;
  return formats;
}

String NormalizeExtension(const String& extension)
{
  return LowerCase(!extension.empty() && extension[0] == '.' ? extension.substr(1) : extension);
}

} // namespace

void TPicture::RegisterFileFormat(const String& Extension, const String& Description, TGraphicClass GraphicClass)
{
  if (!GraphicClass || !GraphicClass->CreateObject || !GraphicClass->InheritsFrom(TGraphic::StaticClass()))
    throw EInvalidOperation("Cannot register a class that is not a creatable graphic");
  TFileFormats& formats = FileFormats();
  std::lock_guard lock(formats.Mutex);
  formats.List.push_back({NormalizeExtension(Extension), Description, GraphicClass});
}

void TPicture::UnregisterGraphicClass(TGraphicClass GraphicClass)
{
  TFileFormats& formats = FileFormats();
  std::lock_guard lock(formats.Mutex);
  std::erase_if(formats.List,
                [&](const TFileFormat& f) { return GraphicClass && f.GraphicClass->InheritsFrom(*GraphicClass); });
}

TGraphicClass TPicture::FindGraphicClass(const String& ClassName)
{
  TFileFormats& formats = FileFormats();
  std::lock_guard lock(formats.Mutex);
  for (const TFileFormat& f : formats.List)
    if (SameText(f.GraphicClass->Name, ClassName))
      return f.GraphicClass;
  return nullptr;
}

TGraphicClass TPicture::GraphicClassForExtension(const String& Extension)
{
  const String extension = NormalizeExtension(Extension);
  if (extension.empty())
    return nullptr;
  TFileFormats& formats = FileFormats();
  std::lock_guard lock(formats.Mutex);
  // The latest registration of an extension wins.
  for (auto f = formats.List.rbegin(); f != formats.List.rend(); ++f)
    if (f->Extension == extension)
      return f->GraphicClass;
  return nullptr;
}

TGraphic* TPicture::CreateGraphic(TGraphicClass GraphicClass)
{
  if (!GraphicClass || !GraphicClass->CreateObject)
    throw EInvalidGraphic("Cannot create a graphic of this class");
  TObject* object = GraphicClass->CreateObject();
  if (auto* graphic = dynamic_cast<TGraphic*>(object))
    return graphic;
  delete object;
  throw EInvalidGraphic("Cannot create a graphic of this class");
}

TPicture::~TPicture() = default;

void TPicture::Adopt(std::unique_ptr<TGraphic> Graphic)
{
  if (Graphic)
    Graphic->OnChange = [this](TObject* Sender) { Changed(Sender); };
  FGraphic = std::move(Graphic);
  Changed(this);
}

void TPicture::Changed(TObject*)
{
  if (OnChange)
    OnChange(this);
}

void TPicture::SetGraphic(TGraphic* Value)
{
  if (Value == FGraphic.get())
    return;
  if (!Value) {
    Adopt(nullptr);
    return;
  }
  std::unique_ptr<TGraphic> copy(CreateGraphic(&Value->ClassType()));
  copy->Assign(Value);
  Adopt(std::move(copy));
}

template <class T>
T* TPicture::ForceType()
{
  if (auto* graphic = dynamic_cast<T*>(FGraphic.get()))
    return graphic;
  auto graphic = std::make_unique<T>();
  T* result = graphic.get();
  Adopt(std::move(graphic));
  return result;
}

TBitmap* TPicture::Bitmap()
{
  return ForceType<TBitmap>();
}

TIcon* TPicture::Icon()
{
  return ForceType<TIcon>();
}

void TPicture::Assign(const TPersistent* Source)
{
  if (!Source) {
    SetGraphic(nullptr);
  } else if (const auto* picture = dynamic_cast<const TPicture*>(Source)) {
    if (picture != this)
      SetGraphic(picture->Graphic());
  } else if (const auto* graphic = dynamic_cast<const TGraphic*>(Source)) {
    SetGraphic(const_cast<TGraphic*>(graphic));
  } else {
    inherited::Assign(Source);
  }
}

void TPicture::LoadFromFile(const String& FileName)
{
  String extension = ExtractFileExt(FileName);
  TGraphicClass graphicClass = GraphicClassForExtension(extension);
  if (!graphicClass)
    throw EInvalidGraphic("Unknown picture file extension (" + extension + ")");
  std::unique_ptr<TGraphic> graphic(CreateGraphic(graphicClass));
  graphic->LoadFromFile(FileName);
  Adopt(std::move(graphic));
}

void TPicture::SaveToFile(const String& FileName)
{
  if (FGraphic)
    FGraphic->SaveToFile(FileName);
}

} // namespace Vcl
