// The fixed CP932 texts of the variable and expression errors, and the labels of the type and
// scope tables, in one place so that callers and tests compare against the same bytes.
#pragma once

namespace vorn::params_text {

// [%d]:配列の添字が不正です (element index outside the array)
inline constexpr const char kMsgBadIndex[] = "[%d]:\x94z\x97\xf1\x82\xcc\x93Y\x8e\x9a\x82\xaa\x95s\x90\xb3\x82\xc5\x82\xb7";
// 配列の要素数[%s]が不正です (a dimension size <= 0, or too many elements)
inline constexpr const char kMsgBadDims[] = "\x94z\x97\xf1\x82\xcc\x97v\x91" "f\x90\x94[%s]\x82\xaa\x95s\x90\xb3\x82\xc5\x82\xb7";
// CopyMem:変数の型があいません (CopyMem between different value classes)
inline constexpr const char kMsgCopyMemType[] = "CopyMem:\x95\xcf\x90\x94\x82\xcc\x8c^\x82\xaa\x82\xa0\x82\xa2\x82\xdc\x82\xb9\x82\xf1";
// "%s" 変数がありません (no variable of that name)
inline constexpr const char kMsgNoVariable[] = "\"%s\" \x95\xcf\x90\x94\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
// "%s"：変数名が不正です (empty name, a space, or a leading digit)
inline constexpr const char kMsgBadVarName[] = "\"%s\"\x81" "F\x95\xcf\x90\x94\x96\xbc\x82\xaa\x95s\x90\xb3\x82\xc5\x82\xb7";
// %s:不正な変数です (a variable of type 0 where a value is needed)
inline constexpr const char kMsgBadVariable[] = "%s:\x95s\x90\xb3\x82\xc8\x95\xcf\x90\x94\x82\xc5\x82\xb7";
// 構文エラー (malformed expression)
inline constexpr const char kMsgSyntax[] = "\x8d\x5c\x95\xb6\x83G\x83\x89\x81[";
// 配列の添え字が不正です (an element reference without indices)
inline constexpr const char kMsgBadSubscripts[] = "\x94z\x97\xf1\x82\xcc\x93Y\x82\xa6\x8e\x9a\x82\xaa\x95s\x90\xb3\x82\xc5\x82\xb7";
// "%s" 関数名がありません (unknown function name)
inline constexpr const char kMsgNoFunction[] = "\"%s\" \x8a\xd6\x90\x94\x96\xbc\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
//  引数の数が不正です (appended to the function name)
inline constexpr const char kMsgArgCount[] = " \x88\xf8\x90\x94\x82\xcc\x90\x94\x82\xaa\x95s\x90\xb3\x82\xc5\x82\xb7";
// 不正な式\r\n\r\n代入先: (invalid operation code; followed by the result name)
inline constexpr const char kMsgBadExpr[] = "\x95s\x90\xb3\x82\xc8\x8e\xae\r\n\r\n\x91\xe3\x93\xfc\x90\xe6:";
// 演算タイプ: (then the operation name)
inline constexpr const char kMsgOpType[] = "\x89\x89\x8eZ\x83^\x83" "C\x83v:";
// 添え字が不正です (index count differs from the dimension count)
inline constexpr const char kMsgDimMismatch[] = "\x93Y\x82\xa6\x8e\x9a\x82\xaa\x95s\x90\xb3\x82\xc5\x82\xb7";
// 要素数を超えています (linear index beyond the element count)
inline constexpr const char kMsgDimOverflow[] = "\x97v\x91" "f\x90\x94\x82\xf0\x92\xb4\x82\xa6\x82\xc4\x82\xa2\x82\xdc\x82\xb7";
// GetPropの引数が違います (property number above 164)
inline constexpr const char kMsgGetPropArg[] = "GetProp\x82\xcc\x88\xf8\x90\x94\x82\xaa\x88\xe1\x82\xa2\x82\xdc\x82\xb7";
// 内部エラー (system variable misuse)
inline constexpr const char kMsgInternal[] = "\x93\xe0\x95\x94\x83G\x83\x89\x81[";
// 整数
inline constexpr const char kLabelInt[] = "\x90\xae\x90\x94";
// 実数
inline constexpr const char kLabelFloat[] = "\x8e\xc0\x90\x94";
// フラグ
inline constexpr const char kLabelBool[] = "\x83t\x83\x89\x83O";
// 文字列
inline constexpr const char kLabelStr[] = "\x95\xb6\x8e\x9a\x97\xf1";
// グローバル
inline constexpr const char kScopeGlobal[] = "\x83O\x83\x8d\x81[\x83o\x83\x8b";
// 自動破棄
inline constexpr const char kScopeAuto[] = "\x8e\xa9\x93\xae\x94j\x8a\xfc";
// ローカル
inline constexpr const char kScopeLocal[] = "\x83\x8d\x81[\x83J\x83\x8b";
// ステータス
inline constexpr const char kScopeStatus[] = "\x83X\x83" "e\x81[\x83^\x83X";

}  // namespace vorn::params_text
