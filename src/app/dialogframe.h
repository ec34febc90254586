// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace rinkaro
{

// Asks the window manager for a dialog's frame as its window flags describe it: a title bar
// with no minimise or maximise button, and a close box only when the flags have one.
//
// Qt passes the flags on as Motif hints, which most window managers follow. Openbox keeps
// minimise and close whatever those say and removes minimise and maximise only from toolbar
// windows; under Openbox the dialog is therefore described as a toolbar (and as a dialog
// after that). Its close box stays: closing does what the dialog's own button does. Call
// before the dialog is shown; elsewhere than on X11 this does nothing.
void askForDialogFrame(QWidget *dialog);

} // namespace rinkaro
