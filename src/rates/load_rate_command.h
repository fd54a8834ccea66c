// The rate dialog is one form instance per host thread, shared by every
// LoadRate there (the combos keep the user's choices between loads). It is
// created on the first LoadRate under the thread's current host library.
#pragma once

namespace norv {

class LoadRateDlgVB;

// This thread's rate dialog, created on first use. An instance made under an
// earlier host library of the thread is replaced.
LoadRateDlgVB& ThreadLoadRateDlg();

// Destroys this thread's rate dialog now, while its host is still installed.
// Optional: without it the form goes at thread exit, or at the next LoadRate
// under another host library, and the next LoadRate starts with a fresh form.
void ReleaseLoadRateDlg();

}  // namespace norv
