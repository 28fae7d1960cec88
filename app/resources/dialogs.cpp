// Dialog templates 103 (launch), 106 (About) and 108 (frame time).
#include "app/platform_api.h"
#include "app/resources/resource_ids.h"
#include "app/resources/resources_internal.h"

namespace {
constexpr DWORD kDialogStyle = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION;
constexpr DWORD kNumberField = ES_RIGHT | ES_AUTOHSCROLL;  // EDITTEXT adds WS_BORDER | WS_TABSTOP
}  // namespace

bool RegisterDialogs() {
  const BOOL launch = RegisterResource(DIALOGEX(IDD_LAUNCH, 0, 0, 110, 155,
      STYLE(kDialogStyle),
      CAPTION("軌道のセット"),
      FONT(9, "Ｐゴシック"), {
      DEFPUSHBUTTON("発射", IDOK, 22, 103, 50, 14),
      PUSHBUTTON("閉じる", IDCANCEL, 23, 125, 50, 14),
      LTEXT("発射位置(緯度)", IDC_STATIC, 7, 20, 47, 8),
      LTEXT("発射位置(経度)", IDC_STATIC, 7, 39, 47, 8),
      LTEXT("発射速度 V", IDC_STATIC, 7, 59, 35, 8),
      LTEXT("発射角度 θ", IDC_STATIC, 7, 82, 38, 8),
      EDITTEXT(IDC_LAUNCH_LATITUDE, 63, 17, 40, 14, kNumberField),
      EDITTEXT(IDC_LAUNCH_LONGITUDE, 63, 36, 40, 14, kNumberField),
      EDITTEXT(IDC_LAUNCH_SPEED, 63, 57, 40, 14, kNumberField),
      EDITTEXT(IDC_LAUNCH_ANGLE, 63, 79, 40, 14, kNumberField),
  }));

  const BOOL about = RegisterResource(DIALOGEX(IDD_ABOUT, 0, 0, 167, 55,
      STYLE(kDialogStyle | WS_SYSMENU),
      CAPTION("Kelvaneのバージョン情報"),
      FONT(9, "Ｐゴシック"), {
      DEFPUSHBUTTON("OK", IDOK, 123, 34, 37, 14),
      LTEXT("Kelvane ver 1.11", IDC_STATIC, 65, 7, 60, 8),
      LTEXT("人工衛星の軌道シミュレーター", IDC_STATIC, 39, 21, 112, 8),
      ICON(IDI_KELVANE, IDC_STATIC, 7, 7, 20, 20, SS_CENTERIMAGE),
  }));

  const BOOL frameTime = RegisterResource(DIALOG(IDD_FRAME_TIME, 0, 0, 135, 49,
      STYLE(kDialogStyle),
      CAPTION("画面描画時間の変更"),
      FONT(9, "Ｐゴシック"), {
      DEFPUSHBUTTON("OK", IDOK, 77, 7, 50, 14),
      PUSHBUTTON("ｷｬﾝｾﾙ", IDCANCEL, 78, 28, 50, 14),
      EDITTEXT(IDC_FRAME_TIME, 7, 7, 46, 14, kNumberField),
      LTEXT("ミリ秒", IDC_STATIC, 58, 13, 18, 8),
  }));
  return launch && about && frameTime;
}
