// The standard data formats: the keyboard's 256 keys, the mouse with 4 or 8 buttons.
#include <array>

#include "dinput8.h"

namespace {

constexpr DWORD kAnyButton = DIDFT_BUTTON | DIDFT_ANYINSTANCE;
constexpr DWORD kAnyAxis = DIDFT_AXIS | DIDFT_ANYINSTANCE;

constexpr std::array<DIOBJECTDATAFORMAT, 256> MakeKeyboardObjects() {
  std::array<DIOBJECTDATAFORMAT, 256> objects{};
  for (DWORD i = 0; i < 256; ++i)
    objects[i] = {&GUID_Key, i, DIDFT_BUTTON | DIDFT_OPTIONAL | DIDFT_MAKEINSTANCE(i), 0};
  return objects;
}

constinit std::array<DIOBJECTDATAFORMAT, 256> gKeyboardObjects = MakeKeyboardObjects();

DIOBJECTDATAFORMAT gMouseObjects[] = {
    {&GUID_XAxis, DIMOFS_X, kAnyAxis, 0},
    {&GUID_YAxis, DIMOFS_Y, kAnyAxis, 0},
    {&GUID_ZAxis, DIMOFS_Z, kAnyAxis | DIDFT_OPTIONAL, 0},
    {nullptr, DIMOFS_BUTTON0, kAnyButton, 0},
    {nullptr, DIMOFS_BUTTON1, kAnyButton, 0},
    {nullptr, DIMOFS_BUTTON2, kAnyButton | DIDFT_OPTIONAL, 0},
    {nullptr, DIMOFS_BUTTON3, kAnyButton | DIDFT_OPTIONAL, 0},
    {nullptr, DIMOFS_BUTTON4, kAnyButton | DIDFT_OPTIONAL, 0},
    {nullptr, DIMOFS_BUTTON5, kAnyButton | DIDFT_OPTIONAL, 0},
    {nullptr, DIMOFS_BUTTON6, kAnyButton | DIDFT_OPTIONAL, 0},
    {nullptr, DIMOFS_BUTTON7, kAnyButton | DIDFT_OPTIONAL, 0},
};

}  // namespace

const DIDATAFORMAT c_dfDIKeyboard = {sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT), DIDF_RELAXIS, 256, 256,
                                     gKeyboardObjects.data()};
const DIDATAFORMAT c_dfDIMouse = {sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT), DIDF_RELAXIS,
                                  sizeof(DIMOUSESTATE), 7, gMouseObjects};
const DIDATAFORMAT c_dfDIMouse2 = {sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT), DIDF_RELAXIS,
                                   sizeof(DIMOUSESTATE2), 11, gMouseObjects};
