#include "System.SysUtils.Errors.hpp"

#include "Winapi.Modules.Libraries.hpp"

namespace Vcl {

namespace {

struct TErrorText {
  Cardinal Code;
  const char* Text;
};

constexpr TErrorText ErrorTexts[] = {
  {0, "The operation completed successfully."},
  {2, "The system cannot find the file specified."},
  {3, "The system cannot find the path specified."},
  {5, "Access is denied."},
  {6, "The handle is invalid."},
  {8, "Not enough memory resources are available to process this command."},
  {87, "The parameter is incorrect."},
  {126, "The specified module could not be found."},
  {127, "The specified procedure could not be found."},
  {193, "The file is not a valid application."},
  {1223, "The operation was canceled by the user."},
};

} // namespace

void AssertFailedMessage(const String& message, const char* unitName, int line)
{
  throw EAssertionFailed(message + " (" + (unitName ? unitName : "?") + ", line " + std::to_string(line) + ")");
}

String SysErrorMessage(Cardinal ErrorCode)
{
  for (const TErrorText& e : ErrorTexts)
    if (e.Code == ErrorCode)
      return e.Text;
  return "Unknown error " + std::to_string(ErrorCode);
}

void RaiseLastOSError(Cardinal LastError)
{
  if (LastError == 0)
    throw EOSError("A call to an OS function failed", 0);
  throw EOSError("System Error.  Code: " + std::to_string(LastError) + ".\n" + SysErrorMessage(LastError), LastError);
}

void RaiseLastOSError()
{
  RaiseLastOSError(Win::GetLastError());
}

} // namespace Vcl
