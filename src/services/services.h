#pragma once

#include "services/general.h"
#include "services/paths.h"
#include "services/zfile.h"

namespace torvel {

// The program-wide service objects. Each is created on first use and kept until the program-end
// clean-up; an accessor returns none when its object cannot be created.
TGeneral* General();
TPaths* Paths();
TZFile* ZFile();

// Runs at the start of the process: seeds the random generator from the clock and marks every
// service object as not yet created.
void StartServices();

// The program-end clean-up, in this order: purge the temporary files and release the temporary-
// file helper (which purges once more), release the archive decoder, release the folder services,
// release the general services, release the translation tables, then delete the printer scratch
// file of the settings folder. Tests call it to begin again with fresh service objects.
void RunProgramEndCleanup();

}  // namespace torvel
