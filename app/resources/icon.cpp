// Icon 107: the Earth in space with a satellite on a tilted orbit, drawn as
// 32 x 32 character art. The part of the orbit behind the Earth is hidden.
#include <array>
#include <string_view>
#include <vector>

#include "app/platform_api.h"
#include "app/resources/resource_ids.h"
#include "app/resources/resources_internal.h"

namespace {

constexpr UINT kIconSize = 32;

constexpr std::array<std::string_view, kIconSize> kArt = {
    "................................",
    "................................",
    "......................*.........",
    "...*............................",
    "................................",
    "...........................*....",
    "................................",
    "................................",
    "............BBBBBBBB............",
    "..........BBgbbbbbbbBByyyyyy....",
    ".........BBbbbbbbbbbbBB....yy...",
    "........BBbbcbbbbbbbbbBB....y...",
    "........BbbccbbbbbbbggbB....y...",
    ".......Bbbcccbbbbbbggggpppwwwppp",
    ".*.....Bbbbbbbbbbbbggggpppwwwppp",
    ".......BbbbggbbbbbgggggbB.www...",
    "......yBbbggggbbbbbgggbbByy.....",
    ".....yyBbbggggbbbbbbgbbbyy......",
    "....yy.Bbgggggbbbbbbbbyyy.......",
    "...yy..BbbgggbbbbbbbbyybB.......",
    "...y...BbbbgbbbbbbbyyybbB.......",
    "...y....BbbbbbbbbyyybbbB........",
    "...y....BBbbbbyyybbbggBB........",
    "...yy....BByyyybbbbggBB.........",
    "....yyyyyyyBbbbbbbbgBB..........",
    "............BBBBBBBB............",
    ".....*..........................",
    "................................",
    ".............................*..",
    "................................",
    "................................",
    "................................",
};

// A8R8G8B8 per character of the art.
DWORD Colour(char c) {
  switch (c) {
    case '*': return 0xFFE8E8F0;  // star
    case 'b': return 0xFF2060C8;  // ocean
    case 'c': return 0xFF60A0F0;  // sunlit ocean
    case 'B': return 0xFF103880;  // the globe's dark rim
    case 'g': return 0xFF38A040;  // land
    case 'y': return 0xFFF0D030;  // orbit
    case 'w': return 0xFFF4F4F4;  // satellite body
    case 'p': return 0xFF4070E0;  // solar panels
    default: return 0xFF080C24;   // space
  }
}

}  // namespace

bool RegisterIcon() {
  std::vector<DWORD> pixels;
  pixels.reserve(kIconSize * kIconSize);
  for (std::string_view row : kArt) {
    for (UINT x = 0; x < kIconSize; ++x) pixels.push_back(Colour(x < row.size() ? row[x] : '.'));
  }
  return RegisterResource(ICON_IMAGE(IDI_KELVANE, kIconSize, kIconSize, std::move(pixels)));
}
