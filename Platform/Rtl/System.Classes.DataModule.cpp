#include "System.Classes.DataModule.hpp"

#include "System.Classes.Streaming.hpp"

namespace Vcl {

QX_PUBLISHED(TDataModule)
{
  Property("Height", &T::Height, &T::SetHeight);
  Property("Width", &T::Width, &T::SetWidth);
  Event("OnCreate", &T::OnCreate);
  Event("OnDestroy", &T::OnDestroy);
}

TDataModule::~TDataModule()
{
  if (OnDestroy)
    OnDestroy(this);
}

// Where the designer's window stood and the resolution it ran at say
// nothing about the module here: read and dropped.
void TDataModule::DefineProperties(TFiler* Filer)
{
  inherited::DefineProperties(Filer);
  auto skipInteger = [](TReader* Reader) { Reader->ReadInteger(); };
  for (const char* name : {"HorizontalOffset", "VerticalOffset", "PixelsPerInch"})
    Filer->DefineProperty(name, skipInteger, nullptr, false);
  Filer->DefineProperty("OldCreateOrder", [](TReader* Reader) { Reader->ReadBoolean(); }, nullptr, false);
}

void TDataModule::Loaded()
{
  inherited::Loaded();
  if (OnCreate)
    OnCreate(this);
}

} // namespace Vcl
