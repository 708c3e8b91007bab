#pragma once

// The utility from its start to its end: single instance, folders, the main window and the loop.
namespace Utility {

int RunVxUtil16(int& argc, char** argv);

inline constexpr const char* DataPathMissingMessage = "「Tolvane１６」のデータ保存フォルダーが見つかりません  "
                                                      "\r\n先に「Tolvane１６」を起動して環境設定を行ってください  ";

} // namespace Utility
