#include "app/resources/resources.h"

#include "app/resources/resources_internal.h"

bool RegisterApplicationResources() {
  // Every piece is registered even when an earlier one was refused.
  const bool menu = RegisterMenuAndAccelerators();
  const bool dialogs = RegisterDialogs();
  const bool icon = RegisterIcon();
  const bool help = RegisterHelp();
  return menu && dialogs && icon && help;
}
