// The property table: names and types of the 165 component properties, in identifier order.
#include "components/property_ids.h"

#include <array>

namespace vorn {

namespace {

constexpr std::array<PropertyInfo, kPropertyCount> kProperties = {{
    {"PR_NAME", PropType::Str, false},  // 0
    {"PR_PARENT", PropType::Str, false},  // 1
    {"PR_SOURCE", PropType::Str, false},  // 2
    {"PR_LEFT", PropType::Int, false},  // 3
    {"PR_TOP", PropType::Int, false},  // 4
    {"PR_WIDTH", PropType::Int, false},  // 5
    {"PR_HEIGHT", PropType::Int, false},  // 6
    {"PR_ZOOMX", PropType::Int, false},  // 7
    {"PR_COLOR", PropType::Int, false},  // 8
    {"PR_BORDERWIDTH", PropType::Int, false},  // 9
    {"PR_BORDERCOLOR", PropType::Int, false},  // 10
    {"PR_ALPHA", PropType::Int, false},  // 11
    {"PR_PRIORITY", PropType::Int, false},  // 12
    {"PR_OFFSETX", PropType::Int, false},  // 13
    {"PR_OFFSETY", PropType::Int, false},  // 14
    {"PR_FONTNAME", PropType::Str, false},  // 15
    {"PR_FONTHEIGHT", PropType::Int, false},  // 16
    {"PR_FONTSTYLE", PropType::Int, false},  // 17
    {"PR_LINESPACE", PropType::Int, false},  // 18
    {"PR_FONTCOLOR", PropType::Int, false},  // 19
    {"PR_FONTLINKCOLOR", PropType::Int, false},  // 20
    {"PR_FONTBORDERCOLOR", PropType::Int, false},  // 21
    {"PR_FONTHOVERCOLOR", PropType::Int, false},  // 22
    {"PR_FONTHOVERSTYLE", PropType::Int, false},  // 23
    {"PR_HOVERCOLOR", PropType::Int, false},  // 24
    {"PR_ANTIALIAS", PropType::Bool, false},  // 25
    {"PR_DELAY", PropType::Int, false},  // 26
    {"PR_PAUSED", PropType::Bool, false},  // 27
    {"PR_VOLUME", PropType::Int, false},  // 28
    {"PR_REPEAT", PropType::Bool, false},  // 29
    {"PR_BALANCE", PropType::Int, false},  // 30
    {"PR_ANGLE", PropType::Int, false},  // 31
    {"PR_ONPLAYING", PropType::Event, false},  // 32
    {"PR_ONNOTIFY", PropType::Event, false},  // 33
    {"PR_ONMOUSEMOVE", PropType::Event, false},  // 34
    {"PR_ONMOUSEOUT", PropType::Event, false},  // 35
    {"PR_ONLBTNDOWN", PropType::Event, false},  // 36
    {"PR_ONLBTNUP", PropType::Event, false},  // 37
    {"PR_ONRBTNDOWN", PropType::Event, false},  // 38
    {"PR_ONRBTNUP", PropType::Event, false},  // 39
    {"PR_ONWHEELDOWN", PropType::Event, false},  // 40
    {"PR_ONWHEELUP", PropType::Event, false},  // 41
    {"PR_BRIGHTNESS", PropType::Int, false},  // 42
    {"PR_ONPLAYEND", PropType::Event, false},  // 43
    {"PR_INDEX", PropType::Int, false},  // 44
    {"PR_COUNT", PropType::Int, false},  // 45
    {"PR_ONLINK", PropType::Event, false},  // 46
    {"PR_VISIBLE", PropType::Bool, false},  // 47
    {"PR_COLCOUNT", PropType::Int, false},  // 48
    {"PR_ROWCOUNT", PropType::Int, false},  // 49
    {"PR_TEXT", PropType::Str, false},  // 50
    {"PR_MARGINX", PropType::Int, false},  // 51
    {"PR_MARGINY", PropType::Int, false},  // 52
    {"PR_HALIGN", PropType::Int, false},  // 53
    {"PR_BORDERSOURCETL", PropType::Str, false},  // 54
    {"PR_BORDERSOURCETC", PropType::Str, false},  // 55
    {"PR_BORDERSOURCETR", PropType::Str, false},  // 56
    {"PR_BORDERSOURCECL", PropType::Str, false},  // 57
    {"PR_BORDERSOURCECC", PropType::Str, false},  // 58
    {"PR_BORDERSOURCECR", PropType::Str, false},  // 59
    {"PR_BORDERSOURCEBL", PropType::Str, false},  // 60
    {"PR_BORDERSOURCEBC", PropType::Str, false},  // 61
    {"PR_BORDERSOURCEBR", PropType::Str, false},  // 62
    {"PR_BORDERHALIGNT", PropType::Int, false},  // 63
    {"PR_BORDERHALIGNC", PropType::Int, false},  // 64
    {"PR_BORDERHALIGNB", PropType::Int, false},  // 65
    {"PR_BORDERVALIGNL", PropType::Int, false},  // 66
    {"PR_BORDERVALIGNC", PropType::Int, false},  // 67
    {"PR_BORDERVALIGNR", PropType::Int, false},  // 68
    {"PR_SCROLLSOURCE", PropType::Str, false},  // 69
    {"PR_CHECKSOURCE", PropType::Str, false},  // 70
    {"PR_AUTOSCRAP", PropType::Bool, false},  // 71
    {"PR_ONSELECT", PropType::Event, false},  // 72
    {"PR_RCLICKSCRAP", PropType::Bool, false},  // 73
    {"PR_ONOPENING", PropType::Event, false},  // 74
    {"PR_ONOPENED", PropType::Event, false},  // 75
    {"PR_ONCLOSING", PropType::Event, false},  // 76
    {"PR_ONCLOSED", PropType::Event, false},  // 77
    {"PR_CARETX", PropType::Int, true},  // 78
    {"PR_CARETY", PropType::Int, true},  // 79
    {"PR_IGNOREMOUSE", PropType::Int, false},  // 80
    {"PR_TEXTPAUSED", PropType::Bool, false},  // 81
    {"PR_TEXTDELAY", PropType::Int, false},  // 82
    {"PR_HOVERSOURCE", PropType::Str, false},  // 83
    {"PR_PRESSEDSOURCE", PropType::Str, false},  // 84
    {"PR_GROUPINDEX", PropType::Int, false},  // 85
    {"PR_ALLOWALLUP", PropType::Bool, false},  // 86
    {"PR_SELECTED", PropType::Bool, false},  // 87
    {"PR_CAPTUREMASK", PropType::Bool, false},  // 88
    {"PR_POWER", PropType::Int, false},  // 89
    {"PR_ORIGWIDTH", PropType::Int, false},  // 90
    {"PR_ORIGHEIGHT", PropType::Int, false},  // 91
    {"PR_APPEARX", PropType::Int, true},  // 92
    {"PR_APPEARY", PropType::Int, true},  // 93
    {"PR_PARTMOTION", PropType::Int, false},  // 94
    {"PR_PARAM1", PropType::Real, false},  // 95
    {"PR_PARAM2", PropType::Real, false},  // 96
    {"PR_TOPINDEX", PropType::Int, false},  // 97
    {"PR_READONLY", PropType::Bool, false},  // 98
    {"PR_CURSOR", PropType::Str, false},  // 99
    {"PR_POSZOOMED", PropType::Bool, false},  // 100
    {"PR_ONPLAYSTART", PropType::Event, false},  // 101
    {"PR_PARAM3", PropType::Real, false},  // 102
    {"PR_ONMOUSEIN", PropType::Event, false},  // 103
    {"PR_ONMAPIN", PropType::Event, false},  // 104
    {"PR_ONMAPOUT", PropType::Event, false},  // 105
    {"PR_MAPSOURCE", PropType::Str, false},  // 106
    {"PR_AMP", PropType::Int, false},  // 107
    {"PR_WAVELEN", PropType::Int, false},  // 108
    {"PR_SCROLLX", PropType::Int, false},  // 109
    {"PR_SCROLLY", PropType::Int, false},  // 110
    {"PR_FLIPH", PropType::Bool, false},  // 111
    {"PR_FLIPV", PropType::Bool, false},  // 112
    {"PR_ONIDLE", PropType::Event, false},  // 113
    {"PR_DISTANCEX", PropType::Int, false},  // 114
    {"PR_DISTANCEY", PropType::Int, false},  // 115
    {"PR_CLIPLEFT", PropType::Int, false},  // 116
    {"PR_CLIPTOP", PropType::Int, false},  // 117
    {"PR_CLIPWIDTH", PropType::Int, false},  // 118
    {"PR_CLIPHEIGHT", PropType::Int, false},  // 119
    {"PR_DURATION", PropType::Int, false},  // 120
    {"PR_THUMBSOURCE", PropType::Str, false},  // 121
    {"PR_BUTTONSOURCE", PropType::Str, false},  // 122
    {"PR_MIN", PropType::Int, false},  // 123
    {"PR_MAX", PropType::Int, false},  // 124
    {"PR_VALUE", PropType::Int, false},  // 125
    {"PR_ORIENTATION", PropType::Int, false},  // 126
    {"PR_SMALLCHANGE", PropType::Int, false},  // 127
    {"PR_LARGECHANGE", PropType::Int, false},  // 128
    {"PR_MAPTEXT", PropType::Str, false},  // 129
    {"PR_GLYPHWIDTH", PropType::Int, false},  // 130
    {"PR_GLYPHHEIGHT", PropType::Int, false},  // 131
    {"PR_ZOOMY", PropType::Int, false},  // 132
    {"PR_CLICKEDSOURCE", PropType::Str, false},  // 133
    {"PR_ANIPAUSED", PropType::Bool, false},  // 134
    {"PR_ONHOLD", PropType::Event, false},  // 135
    {"PR_ONRELEASE", PropType::Event, false},  // 136
    {"PR_REVERSE", PropType::Bool, false},  // 137
    {"PR_PLAYING", PropType::Bool, true},  // 138
    {"PR_REWINDONLOAD", PropType::Bool, false},  // 139
    {"PR_COMPOTYPE", PropType::Int, true},  // 140
    {"PR_FONTSHADOWCOLOR", PropType::Int, false},  // 141
    {"PR_FONTBORDER", PropType::Int, false},  // 142
    {"PR_FONTSHADOW", PropType::Int, false},  // 143
    {"PR_ONKEYDOWN", PropType::Event, false},  // 144
    {"PR_ONKEYUP", PropType::Event, false},  // 145
    {"PR_ONKEYREPEAT", PropType::Event, false},  // 146
    {"PR_HANDLEKEY", PropType::Bool, false},  // 147
    {"PR_ONFOCUSIN", PropType::Event, false},  // 148
    {"PR_ONFOCUSOUT", PropType::Event, false},  // 149
    {"PR_OVERLAY", PropType::Bool, false},  // 150
    {"PR_TAG", PropType::Str, false},  // 151
    {"PR_CAPTURELINK", PropType::Bool, false},  // 152
    {"PR_FONTHOVERBORDER", PropType::Int, false},  // 153
    {"PR_FONTHOVERBORDERCOLOR", PropType::Int, false},  // 154
    {"PR_FONTHOVERSHADOW", PropType::Int, false},  // 155
    {"PR_FONTHOVERSHADOWCOLOR", PropType::Int, false},  // 156
    {"PR_BARSIZE", PropType::Int, false},  // 157
    {"PR_MUTEONLOAD", PropType::Bool, false},  // 158
    {"PR_PLUSX", PropType::Int, false},  // 159
    {"PR_PLUSY", PropType::Int, false},  // 160
    {"PR_CARETHEIGHT", PropType::Int, true},  // 161
    {"PR_REPEATPOS", PropType::Int, false},  // 162
    {"PR_BLURSPAN", PropType::Int, false},  // 163
    {"PR_BLURDELAY", PropType::Int, false},  // 164
}};

bool SameAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

}  // namespace

const PropertyInfo* FindPropertyInfo(int id) {
  if (id < 0 || id >= kPropertyCount) return nullptr;
  return &kProperties[static_cast<size_t>(id)];
}

int PropertyIdOfName(std::string_view name) {
  for (int id = 0; id < kPropertyCount; ++id) {
    std::string_view full = kProperties[static_cast<size_t>(id)].name;
    if (SameAscii(name, full) || SameAscii(name, full.substr(3))) return id;
  }
  return -1;
}

}  // namespace vorn
