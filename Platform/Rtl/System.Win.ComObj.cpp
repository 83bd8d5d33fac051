#include "System.Win.ComObj.hpp"

#include <array>
#include <utility>

namespace Vcl {

namespace {

constexpr std::array<std::pair<Win::HRESULT, const char*>, 17> KnownResults{{
  {Win::E_NOTIMPL, "Not implemented"},
  {Win::E_POINTER, "Invalid pointer"},
  {Win::E_FAIL, "Unspecified error"},
  {Win::E_UNEXPECTED, "Catastrophic failure"},
  {Win::E_HANDLE, "The handle is invalid."},
  {Win::E_OUTOFMEMORY, "Not enough memory resources are available to complete this operation."},
  {Win::E_INVALIDARG, "The parameter is incorrect."},
  {Win::HRESULT(0x80040154), "Class not registered"},
  {Win::HRESULT(0x88982F04), "The operation is not valid in the component's current state."},
  {Win::HRESULT(0x88982F05), "The value is out of range."},
  {Win::HRESULT(0x88982F0C), "The component is not initialized."},
  {Win::HRESULT(0x88982F0D), "The bitmap is already locked."},
  {Win::HRESULT(0x88982F45), "The palette is not available."},
  {Win::HRESULT(0x88982F50), "The pixel format conversion is not supported."},
  {Win::HRESULT(0x88982F80), "The bitmap pixel format is unsupported."},
  {Win::HRESULT(0x88982F8C), "The buffer is too small."},
  {Win::HRESULT(0x88982F60), "The image dimensions are out of range."},
}};

} // namespace

String OleErrorMessage(Win::HRESULT ErrorCode)
{
  for (const auto& [code, text] : KnownResults)
    if (code == ErrorCode)
      return text;
  return "Unspecified error (0x" + IntToHex(UInt64(std::uint32_t(ErrorCode)), 8) + ")";
}

EOleSysError::EOleSysError(const String& Message, Win::HRESULT ErrorCode)
  : EOleError(Message.empty() ? OleErrorMessage(ErrorCode) : Message), FErrorCode(ErrorCode)
{
}

Win::HRESULT OleCheck(Win::HRESULT Result)
{
  if (Win::FAILED(Result))
    throw EOleSysError("", Result);
  return Result;
}

} // namespace Vcl
