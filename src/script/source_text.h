// Small text helpers of the page and project compilers: line splitting, indentation,
// splitting at separators outside quotes and brackets, quoting. Source texts are UTF-8.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vorn::source_text {

// Lines without their CR/LF; a leading UTF-8 byte-order mark is dropped.
std::vector<std::string> SplitLines(std::string_view text);
// Column of the first non-blank character (a tab counts four) and the trimmed rest.
std::pair<int, std::string> Indentation(std::string_view line);
std::string Trim(std::string_view s);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool IsIdentifier(std::string_view s);
// Splits at `sep` outside double-quoted literals (with \" escapes), (), [] and {}.
std::vector<std::string> SplitTopLevel(std::string_view s, char sep);
// Position of the first ':' outside literals and brackets, or npos.
size_t TopLevelColon(std::string_view s);
// True when the text ends in ';' outside literals (the command goes on in the next line).
bool EndsWithSeparator(std::string_view s);
// "..." without its quotes and with \" and \\ unescaped; other text trimmed as it is.
std::string Unquote(std::string_view s);
// "..." without its quotes, escapes kept (the message-text compiler reads them).
std::string UnquoteMessage(std::string_view s);
// The inverse of Unquote's unescaping.
std::string EscapeQuoted(std::string_view s);
// Page file names compare without regard to ASCII case (CP932 names).
bool SameFileName(std::string_view a, std::string_view b);

}  // namespace vorn::source_text
