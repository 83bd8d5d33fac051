// A version file from a server: read it; what loads must save and load back
// to the same values.
#include <Quorex.Vcl.UpdateService.Engine.hpp>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
  Quorex::TVersionFile file;
  Vcl::TMemoryStream in;
  in.WriteBuffer(Data, Vcl::Int64(Size));
  in.SetPosition(0);
  try {
    file.LoadFromStream(in);
  } catch (const Vcl::Exception&) {
    return 0;
  }
  Vcl::TMemoryStream out;
  file.SaveToStream(out);
  out.SetPosition(0);
  Quorex::TVersionFile again;
  again.LoadFromStream(out);
  if (again.Version() != file.Version() || again.Description() != file.Description() ||
      again.FollowURL() != file.FollowURL())
    std::abort();
  return 0;
}
