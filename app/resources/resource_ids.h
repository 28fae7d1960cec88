// Resource and command identifiers of Kelvane.
#pragma once

// Resources.
constexpr int IDR_MAIN_MENU = 101;
constexpr int IDD_LAUNCH = 103;
constexpr int IDD_ABOUT = 106;
constexpr int IDI_KELVANE = 107;
constexpr int IDD_FRAME_TIME = 108;
constexpr int IDR_ACCELERATORS = 109;

// Controls of the launch and frame-time dialogs.
constexpr int IDC_LAUNCH_LATITUDE = 1011;
constexpr int IDC_LAUNCH_LONGITUDE = 1012;
constexpr int IDC_LAUNCH_SPEED = 1013;
constexpr int IDC_LAUNCH_ANGLE = 1014;
constexpr int IDC_FRAME_TIME = 1015;

// Menu commands.
constexpr int ID_CLOSE = 40001;
constexpr int ID_ABOUT = 40002;
constexpr int ID_LAUNCH = 40003;
constexpr int ID_GO_STOP = 40004;
constexpr int ID_FRAME_TIME = 40005;
constexpr int ID_FILL_SOLID = 40006;
constexpr int ID_FILL_WIREFRAME = 40007;
constexpr int ID_FILL_POINT = 40008;
constexpr int ID_CAMERA_VIEW = 40009;
constexpr int ID_SATELLITE_VIEW = 40010;
constexpr int ID_GRID = 40011;
constexpr int ID_RESET_VIEW = 40012;
constexpr int ID_HELP = 40013;
