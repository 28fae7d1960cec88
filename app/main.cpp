#include "app/entry_point.h"

int main() { return WinMain(GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWDEFAULT); }
