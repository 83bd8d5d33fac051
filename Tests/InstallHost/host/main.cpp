#include <Quorex.System.DPI.hpp>
#include <System.SysUtils.hpp>
#include <System.Classes.hpp>
#include <iostream>

int main()
{
  Vcl::TComponent owner(nullptr);
  auto* child = new Vcl::TComponent(&owner);
  child->SetName("Child");
  if (owner.FindComponent("Child") != child)
    return 1;
  std::cout << Vcl::Format("host ok %d", {Quorex::DPI::Scale(16)}) << "\n";
  return 0;
}
