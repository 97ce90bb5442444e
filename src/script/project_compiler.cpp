// The project-description compiler: "key = value" lines into project settings.
#include <cmath>

#include "resources/cp932.h"
#include "script/page_compiler.h"
#include "script/source_text.h"

namespace vorn {

namespace {

using source_text::EqualsNoCase;
using source_text::Trim;
using source_text::Unquote;

struct ProjectLine {
  std::string file;
  int line;
  [[noreturn]] void Fail(const std::string& what) const {
    throw ECompileError(file + ":" + std::to_string(line) + ": " + what);
  }
  int32_t Int(const std::string& text) const {
    std::string t = Trim(text);
    try {
      size_t pos = 0;
      long long v = std::stoll(t, &pos, 0);
      if (pos == t.size() && v >= INT32_MIN && v <= INT32_MAX) return static_cast<int32_t>(v);
    } catch (...) {
    }
    Fail("'" + t + "' is not an integer");
  }
  bool Flag(const std::string& text) const {
    std::string t = Trim(text);
    if (EqualsNoCase(t, "true") || t == "1") return true;
    if (EqualsNoCase(t, "false") || t == "0") return false;
    Fail("'" + t + "' is not 0 or 1");
  }
  // "640 480", "640, 480" or "640x480".
  std::pair<int32_t, int32_t> Pair(const std::string& text) const {
    std::string t = text;
    for (char& c : t)
      if (c == ',' || c == 'x' || c == 'X') c = ' ';
    t = Trim(t);
    size_t sp = t.find(' ');
    if (sp == std::string::npos) Fail("'" + text + "' needs two numbers");
    return {Int(t.substr(0, sp)), Int(t.substr(sp))};
  }
};

}  // namespace

TProjectSetting CompileProjectSource(const std::string& text, const std::string& fileName) {
  TProjectSetting s;
  std::vector<std::string> lines = source_text::SplitLines(text);
  for (size_t i = 0; i < lines.size(); ++i) {
    ProjectLine where{fileName, static_cast<int>(i) + 1};
    std::string line = Trim(lines[i]);
    if (line.empty() || line.rfind("//", 0) == 0 || line[0] == '#') continue;
    size_t eq = line.find('=');
    if (eq == std::string::npos) where.Fail("expected 'key = value'");
    std::string key = Trim(line.substr(0, eq));
    std::string value = Trim(line.substr(eq + 1));
    std::string str = Utf8ToCp932(Unquote(value));
    std::string word = key.substr(0, key.find(' '));
    std::string rest = key.find(' ') == std::string::npos ? "" : Trim(key.substr(key.find(' ')));

    if (EqualsNoCase(key, "version")) s.version = where.Int(value);
    else if (EqualsNoCase(key, "title")) s.title = str;
    else if (EqualsNoCase(key, "screen")) std::tie(s.screenWidth, s.screenHeight) = where.Pair(value);
    else if (EqualsNoCase(key, "fullscreen")) std::tie(s.fullScreenWidth, s.fullScreenHeight) = where.Pair(value);
    else if (EqualsNoCase(key, "start")) s.startPage = str;
    else if (EqualsNoCase(key, "end")) s.endPage = str;
    else if (EqualsNoCase(key, "registry")) s.registryKey = str;
    else if (EqualsNoCase(key, "id")) s.idCode = where.Int(value);
    else if (EqualsNoCase(key, "keepstatus")) s.keepStatus = where.Flag(value);
    else if (EqualsNoCase(key, "reserved106")) s.reserved106 = static_cast<uint8_t>(where.Int(value));
    else if (EqualsNoCase(key, "neverask")) s.neverAskExtensions = str;
    else if (EqualsNoCase(key, "pauseinactive")) s.pauseWhenInactive = where.Flag(value);
    else if (EqualsNoCase(key, "reserved114")) s.reserved114 = static_cast<uint8_t>(where.Int(value));
    else if (EqualsNoCase(key, "toolbar")) s.toolbarVisible = where.Flag(value);
    else if (EqualsNoCase(key, "diskmessage")) s.diskChangeMessage = str;
    else if (EqualsNoCase(key, "exitmessage")) s.exitMessage = str;
    else if (EqualsNoCase(word, "folder") && !rest.empty()) s.folders.Add(Utf8ToCp932(Unquote(rest)), where.Int(value));
    else if (EqualsNoCase(word, "var") && !rest.empty()) {
      // var TYPE NAME = VALUE
      std::string type = rest.substr(0, rest.find(' '));
      std::string name = rest.find(' ') == std::string::npos ? "" : Trim(rest.substr(rest.find(' ')));
      if (name.empty()) where.Fail("var needs a type and a name");
      ProjectVariable v;
      v.name = Utf8ToCp932(name);
      if (EqualsNoCase(type, "int") || EqualsNoCase(type, "integer")) {
        v.type = 1;
        v.intValue = where.Int(value);
      } else if (EqualsNoCase(type, "real")) {
        v.type = 2;
        try {
          size_t pos = 0;
          v.realValue = std::stold(value, &pos);
          if (pos != value.size() || !std::isfinite(v.realValue)) throw 0;
        } catch (...) {
          where.Fail("'" + value + "' is not a real number");
        }
      } else if (EqualsNoCase(type, "flag") || EqualsNoCase(type, "bool")) {
        v.type = 3;
        v.flagValue = where.Flag(value);
      } else if (EqualsNoCase(type, "string") || EqualsNoCase(type, "str")) {
        v.type = 4;
        v.strValue = str;
      } else {
        where.Fail("unknown variable type '" + type + "'");
      }
      s.variables.push_back(std::move(v));
    } else {
      where.Fail("unknown key '" + key + "'");
    }
  }
  return s;
}

}  // namespace vorn
