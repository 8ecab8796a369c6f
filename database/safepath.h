#ifndef SAFEPATH_H
#define SAFEPATH_H

#include <QString>

/// True when `name` is a file name that stays inside the folder it is
/// relative to: not empty, not absolute (no leading "/" or "\", no drive
/// letter, no UNC share) and never climbing above that folder with "..".
/// Subfolder parts ("2023/pomiar_1.zym5") are fine. Database rows name
/// their data files this way, and a row must not make the reader open or
/// write a file elsewhere.
bool IsSafeRelativeName(const QString &name);

#endif // SAFEPATH_H
