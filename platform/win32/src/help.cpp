// WinHelpA: the help window with a registered help text.
#include "user_state.h"
#include "win32_backend.h"

namespace win32 {
const HelpResource* FindHelp(const std::string& fileName);
}

using namespace win32;

BOOL WinHelpA(HWND owner, LPCSTR helpFile, UINT command, ULONG_PTR) {
  if (owner && !IsWindow(owner)) return FALSE;
  if (command == HELP_QUIT) {
    ActiveBackend().CloseHelp();
    return TRUE;
  }
  if (command != HELP_FINDER && command != HELP_CONTENTS && command != HELP_CONTEXT) return FALSE;
  if (!helpFile) return FALSE;
  const HelpResource* help = FindHelp(helpFile);
  if (!help) return FALSE;
  return ActiveBackend().ShowHelp(owner, *help) ? TRUE : FALSE;
}
