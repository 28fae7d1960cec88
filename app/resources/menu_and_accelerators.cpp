// Menu 101 and accelerator table 109.
#include "app/platform_api.h"
#include "app/resources/resource_ids.h"
#include "app/resources/resources_internal.h"

bool RegisterMenuAndAccelerators() {
  const BOOL menu = RegisterResource(MENU(IDR_MAIN_MENU, {
      POPUP("ファイル", {
          MENUITEM("軌道のセット(F2)", ID_LAUNCH),
          MENUITEM("視点リセット(F3)", ID_RESET_VIEW),
          MENUITEM("Go/Stop(F4)", ID_GO_STOP),
          MENUITEM("スピード(F5)", ID_FRAME_TIME),
          MENUITEM(SEPARATOR),
          MENUITEM("閉じる(ESC)", ID_CLOSE),
      }),
      POPUP("表示", {
          MENUITEM("カメラ視点 'c'", ID_CAMERA_VIEW, MF_CHECKED),
          MENUITEM("人工衛星視点 'o'", ID_SATELLITE_VIEW),
          MENUITEM(SEPARATOR),
          MENUITEM("ソリッド 's'", ID_FILL_SOLID, MF_CHECKED),
          MENUITEM("ワイヤーフレーム 'w'", ID_FILL_WIREFRAME),
          MENUITEM("ポイント 'p'", ID_FILL_POINT),
          MENUITEM(SEPARATOR),
          MENUITEM("グリッド 'g'", ID_GRID, MF_CHECKED),
      }),
      POPUP("ヘルプ", {
          MENUITEM("Kelvaneのヘルプ(F1)", ID_HELP),
          MENUITEM("Kelvane について", ID_ABOUT),
      }),
  }));

  constexpr BYTE kKey = FVIRTKEY | FNOINVERT;
  const BOOL accelerators = RegisterResource(ACCELERATORS(IDR_ACCELERATORS, {
      {'C', ID_CAMERA_VIEW, kKey},
      {'G', ID_GRID, kKey},
      {'O', ID_SATELLITE_VIEW, kKey},
      {'P', ID_FILL_POINT, kKey},
      {'S', ID_FILL_SOLID, kKey},
      {VK_F1, ID_HELP, kKey},
      {VK_F2, ID_LAUNCH, kKey},
      {VK_F3, ID_RESET_VIEW, kKey},
      {VK_F4, ID_GO_STOP, kKey},
      {VK_F5, ID_FRAME_TIME, kKey},
      {'W', ID_FILL_WIREFRAME, kKey},
  }));
  return menu && accelerators;
}
