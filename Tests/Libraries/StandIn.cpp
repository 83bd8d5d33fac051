// Stand-ins for the libraries the bridges load, built once per case under
// the file name the bridge asks for (QX_STANDIN_AUTOLOAD: autoloadlib.dll,
// QX_STANDIN_LOCALIZER: LocalizerLib.dll):
//   QX_STANDIN_NoExport  no "GetInstance" at all;
//   QX_STANDIN_Null      "GetInstance" gives no instance;
//   QX_STANDIN_Raises    "GetInstance" raises;
//   QX_STANDIN_Held      (auto-load) an instance that reports a task named
//                        "code:<n>" at once with <n>, and holds every other
//                        result until the host calls StandInReportHeld,
//                        which reports them from a thread of its own.
#include <AutoLoad.Intf.hpp>
#include <Localizer.Intf.hpp>

#include <mutex>
#include <thread>
#include <vector>

#if defined(QX_STANDIN_AUTOLOAD)
using TInstance = Quorex::IAutoLoad;
#else
using TInstance = Quorex::ILocalizer;
#endif

#if defined(QX_STANDIN_Held)
namespace {

std::mutex gLock;
std::vector<Quorex::TAsyncResult> gHeld;

class THeldResults : public Quorex::IAutoLoad {
public:
  void Register(const Quorex::String& ATaskName, const Quorex::String&, Quorex::TAsyncResult AResult) override
  {
    Answer(ATaskName, std::move(AResult));
  }
  void Unregister(const Quorex::String&, Quorex::TAsyncResult AResult) override { Answer("", std::move(AResult)); }
  Quorex::String TaskNameOf(const Quorex::String&) const override { return ""; }
  bool IsAvailable() const override { return true; }
  Quorex::TAutoLoadType LoadType() const override { return FType; }
  void SetLoadType(Quorex::TAutoLoadType AType) override { FType = AType; }
  bool Elevated() const override { return false; }
  void SetElevated(bool) override {}
  bool IsRegistered(const Quorex::String&) const override { return false; }

private:
  static void Answer(const Quorex::String& taskName, Quorex::TAsyncResult result)
  {
    if (taskName.starts_with("code:")) {
      result(Quorex::Cardinal(std::stoul(taskName.substr(5))));
      return;
    }
    std::lock_guard lock(gLock);
    gHeld.push_back(std::move(result));
  }
  Quorex::TAutoLoadType FType = Quorex::ltAuto;
};

} // namespace

// Reports every held result with Code from a new thread and waits for it.
extern "C" void StandInReportHeld(Quorex::Cardinal Code)
{
  std::vector<Quorex::TAsyncResult> held;
  {
    std::lock_guard lock(gLock);
    held.swap(gHeld);
  }
  std::thread([&] {
    for (auto& result : held)
      result(Code);
  }).join();
}
#endif

#if defined(__clang__)
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif

#if defined(QX_STANDIN_NoExport)
extern "C" std::shared_ptr<TInstance> GetInstanceOfAnotherName()
{
  return nullptr;
}
#else
extern "C" std::shared_ptr<TInstance> GetInstance()
{
#if defined(QX_STANDIN_Raises)
  throw Vcl::EInvalidOperation("The stand-in refuses to start");
#elif defined(QX_STANDIN_Held)
  return std::make_shared<THeldResults>();
#else
  return nullptr;
#endif
}
#endif
