#pragma once

#include <QDateTime>
#include <QString>

// What a killed optimisation, repair, copy or restore of ours left in the data folder: the table
// files written under temporary names (about as large as the table itself) and the staging folders
// of the table-file copy. Either program removes them as it starts, but only what is older than every
// program of ours that runs, so that nothing a running one is still writing goes.
void RemoveLeftTableFiles(const QString& DataFolder);
// The same with the start of the earliest program given: what was last changed before Before goes.
void RemoveLeftTableFiles(const QString& DataFolder, const QDateTime& Before);
