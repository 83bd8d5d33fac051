// COM errors as exceptions: a failing HRESULT becomes EOleSysError carrying
// the code, with the system's text for it.
#pragma once

#include "System.SysUtils.hpp"
#include "Winapi.WinTypes.hpp"

namespace Vcl {

QX_EXCEPTION(EOleError, Exception);

class EOleSysError : public EOleError {
public:
  // An empty message takes the system's text for the code.
  EOleSysError(const String& Message, Win::HRESULT ErrorCode);
  Win::HRESULT ErrorCode() const { return FErrorCode; }
  String ClassName() const override { return "EOleSysError"; }

private:
  Win::HRESULT FErrorCode;
};

// The system's text for a COM result; "Unspecified error (0x<code>)" for one
// it does not know.
String OleErrorMessage(Win::HRESULT ErrorCode);
// Raises EOleSysError for a failing result; returns a successful one.
Win::HRESULT OleCheck(Win::HRESULT Result);

} // namespace Vcl
