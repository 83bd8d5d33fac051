// The gallery demo. Until the drawing layers exist it runs the library's
// self-check and says so.
#include <Quorex.System.DPI.hpp>
#include <Quorex.Vcl.Globals.hpp>
#include <System.Classes.hpp>

#include <iostream>

int main()
{
  using namespace Vcl;
  TComponent owner(nullptr);
  auto* child = new TComponent(&owner);
  child->SetName("SelfCheck");
  bool ok = owner.FindComponent("selfcheck") == child && Quorex::DPI::Scale(16) > 0 && Quorex::Min(3, 2) == 2;
  std::cout << "QxComponents self-check (the gallery is drawn once graphics exist): "
            << Format("DPI %d, %s", {Quorex::DPI::GetValue(), String(ok ? "ok" : "FAILED")}) << "\n";
  return ok ? 0 : 1;
}
