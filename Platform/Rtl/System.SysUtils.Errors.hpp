// More of the runtime's errors: the invalid type cast, and the operating
// system's error codes (Win32 numbering) as text and as EOSError exceptions.
#pragma once

#include "System.SysUtils.hpp"

namespace Vcl {

QX_EXCEPTION(EInvalidCast, Exception);

// Raises EAssertionFailed with "<message> (<unit>, line <n>)", an assertion
// that names what failed.
[[noreturn]] void AssertFailedMessage(const String& message, const char* unitName, int line);
#define QX_ASSERT_MESSAGE(condition, message, unitName)          \
  do {                                                           \
    if (!(condition))                                            \
      ::Vcl::AssertFailedMessage((message), (unitName), __LINE__); \
  } while (0)

// The system's text for a Win32 error code; "Unknown error <code>" for one
// it does not know.
String SysErrorMessage(Cardinal ErrorCode);
// EOSError carrying the code: "System Error.  Code: <code>.", a line break
// and the code's text; for 0, "A call to an OS function failed".
[[noreturn]] void RaiseLastOSError(Cardinal LastError);
// The same for the calling thread's last error (GetLastError).
[[noreturn]] void RaiseLastOSError();

} // namespace Vcl
