// The directory timestamp engine: sets a directory's last-write time and, when
// asked, first that of every directory below it.
#pragma once

#include <string>

#include "platform/console.h"
#include "platform/disk_interface.h"
#include "platform/stamp.h"

namespace velmaron {

// Subdirectories are settled first, so the directory sees their new times.
// Stamp == MaxStamp derives each directory's time from its own entries. A
// failed setting writes "Error N" and the walk goes on; an EConvertError from
// an entry's time passes out after every open search is closed.
void TouchDirectory(DiskInterface& disk, Console& console, const std::string& Dir, bool Recurse,
                    bool Newest, TStamp Stamp);

// The oldest (or newest) time among Dir's visible entries, 0 when none counts.
TStamp ExtremeEntryStamp(DiskInterface& disk, const std::string& Dir, bool Newest);

}  // namespace velmaron
