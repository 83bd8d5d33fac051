// Message dialogs: a modal form with the message, its kind's caption and
// the buttons asked for. The form's parts carry names a host or a test can
// find: "Message" (the label) and one button per result, named as the
// button ("OK", "Cancel", "Yes", "TryAgain", ...). Application->MessageBox
// (Vcl.Forms) shows the same dialog.
#pragma once

#include "Vcl.Forms.hpp"

namespace Vcl {

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
using enum TMsgDlgType;
enum class TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll,
                        mbHelp, mbClose, mbTryAgain, mbContinue };
using enum TMsgDlgBtn;
using TMsgDlgButtons = TSet<TMsgDlgBtn>;

// The dialog, not yet shown; the caller owns it. Its caption is the kind's
// ("Warning", "Error", "Information", "Confirmation"; the application's
// title for mtCustom). The first of OK, Yes is the default button; Cancel,
// No or a lone OK answers Escape.
TForm* CreateMessageDialog(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons);
// Shows it modally and returns the pressed button's modal result.
Integer MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer HelpCtx);

} // namespace Vcl
