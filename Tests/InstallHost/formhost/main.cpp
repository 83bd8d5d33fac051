// A host that names the library's components only in its form resource: it
// calls nothing in the components library itself.
#include <System.Classes.Streaming.hpp>
#include <Vcl.Forms.hpp>

#include <iostream>
#include <memory>

int main()
{
  try {
    std::unique_ptr<Vcl::TComponent> form(Vcl::ReadComponentRes("object Main: TForm\n"
                                                                "  object Panel1: TQxPanel\n"
                                                                "    Left = 8\n"
                                                                "  end\n"
                                                                "end\n"));
    Vcl::TComponent* panel = form->FindComponent("Panel1");
    if (!panel || panel->ClassName() != "TQxPanel")
      return 1;
    std::cout << "host ok\n";
    return 0;
  } catch (const Vcl::Exception& e) {
    std::cout << e.Message() << "\n";
    return 2;
  }
}
