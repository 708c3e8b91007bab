#pragma once

#include <QString>
#include <functional>

class TMemIniFile;

// The writes into VxRelvo16.ini whose failure nobody else reports go through here, so that a file that
// cannot be written (a read-only settings folder, a full disk) loses nothing without a word: the values
// stay in effect for the run, the user hears which file could not be written and why, and the keys go
// along with every later save until one of them reaches the file.

// Who hears of a save that could not be written.
enum class TSettingsSave
{
    Confirmed,  // values the user has just confirmed (the settings dialog, a choice in a dialog): told each time
    Kept,       // what the program keeps by itself (window places, the device library's version): told once,
                // until a save succeeds again
    Last,       // the last save of a run the user ends: told once, as lost for the next start
    Unattended, // the last save of a session that ends with nobody to answer: the log only
};

// Reads the settings file (SettingsFileName()), lets Write change it and writes it at once, with the key
// changes of every earlier save that could not be written; a key this save changes keeps its new value.
// True when the file was written. A save the file refuses (a value with a line break) writes nothing and
// is not kept, as TMemIniFile::UpdateFile refuses it.
[[nodiscard]] bool SaveSettingsFile(TSettingsSave Who, const std::function<void(TMemIniFile& Ini)>& Write);

// Lets the waiting changes go: the file is read anew, so what it holds counts from now on.
void ForgetUnsavedSettings();
