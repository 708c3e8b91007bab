#pragma once

#include <QString>

// vxdicquery: loads the dictionary library of Kind ("area", "postal", "address",
// "fix") from LibraryFolder and prints what it answers for Text. Returns the process exit code.
[[nodiscard]] int PrintDictionary(const QString& Kind, const QString& Text, const QString& LibraryFolder,
                                  const QString& DicFolder);
