#include "Quorex.Vcl.AutoLoad.hpp"

#include <System.SysUtils.Errors.hpp>
#include <Vcl.Forms.hpp>

#include <filesystem>

namespace Quorex {

TQxCustomAutoLoad::TQxCustomAutoLoad(Vcl::TComponent* AOwner)
  : Vcl::TComponent(AOwner), FRelay(std::make_shared<TResultRelay>(TResultRelay{this, {}}))
{
}

TQxCustomAutoLoad::~TQxCustomAutoLoad() = default;

String TQxCustomAutoLoad::GetPath() const
{
  return Vcl::Application->ExeName();
}

String TQxCustomAutoLoad::GetTaskName() const
{
  if (!FTaskName.empty())
    return FTaskName;
  if (!Vcl::Application->Title().empty())
    return Vcl::Application->Title();
  // A registration needs a name; an untitled application goes by its file's.
  return std::filesystem::path(GetPath()).stem().string();
}

bool TQxCustomAutoLoad::IsAvailable()
{
  return GetInstance()->IsAvailable();
}

void TQxCustomAutoLoad::Refresh()
{
  FActive = GetInstance()->IsRegistered(GetPath());
}

void TQxCustomAutoLoad::Apply()
{
  const std::shared_ptr<IAutoLoad>& instance = GetInstance();
  instance->SetLoadType(TAutoLoadType(FSource));
  instance->SetElevated(FElevated);
  if (FActive)
    instance->Register(GetTaskName(), GetPath(), ResultCallback());
  else
    instance->Unregister(GetPath(), ResultCallback());
  HandleHeldResults();
}

void TQxCustomAutoLoad::ResultHandler(Cardinal Code)
{
  if (Code == 0 || Code == 5)
    return;
  if (OnError)
    OnError(this, Code);
  else
    Vcl::RaiseLastOSError(Code);
}

// The callback runs inside the library, maybe on its own thread: it must not
// raise there nor touch the component off the UI thread. A result from the
// UI thread is held for the end of the call that is running; one from
// another thread is queued to the UI thread.
TAsyncResult TQxCustomAutoLoad::ResultCallback() const
{
  return [relay = std::weak_ptr<TResultRelay>(FRelay)](Cardinal Code) noexcept {
    try {
      if (Vcl::IsMainThread()) {
        if (auto held = relay.lock())
          held->Held.push_back(Code);
        return;
      }
      Vcl::TThread::Queue(nullptr, [relay, Code] {
        auto live = relay.lock();
        if (!live)
          return;
        try {
          live->Component->ResultHandler(Code);
        } catch (...) {
          Vcl::Application->HandleException(live->Component);
        }
      });
    } catch (...) {
      // Out of memory while handing the result over: it is lost, the
      // library is not.
    }
  };
}

void TQxCustomAutoLoad::HandleHeldResults()
{
  std::vector<Cardinal> held;
  held.swap(FRelay->Held);
  for (Cardinal code : held)
    ResultHandler(code);
}

QX_PUBLISHED(TQxAutoLoad)
{
  Property("TaskName", &T::TaskName, &T::SetTaskName);
  Property("Source", &T::Source, &T::SetSource).Default(lsRegistry);
  Property("Elevated", &T::Elevated, &T::SetElevated).Default(false);
  Event("OnError", &T::OnError);
}

} // namespace Quorex
