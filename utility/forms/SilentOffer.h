#pragma once

#include <QString>

// The offer of the "/c" start: when version 15 of the product is installed beside version 16, ask
// whether its data is to be copied into version 16's default data folder, and do it.
namespace Utility {

// The version-15 data folder found by FindVersion15 and confirmed by the user.
extern QString Version15DataFolder;

// Version 15 is registered and its settings name an existing data folder; its adapter settings go
// into the version-15 entry of OlderAdapterSettings. Its folder and settings file are found
// whatever the case of their names.
[[nodiscard]] bool FindVersion15();
// Version 16 is registered, or its main program stands beside the utility.
[[nodiscard]] bool IsVersion16Installed();
// The folder prompt for the version-15 data folder; false on cancel.
[[nodiscard]] bool ConfirmVersion15Folder();
void SilentConversionOffer();

} // namespace Utility
