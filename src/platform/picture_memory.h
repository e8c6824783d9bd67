#pragma once

namespace torvel {

// Tunes the C library's allocator for an editor of many equally sized pictures: memory of a
// deleted or undone cell is kept for the next one, instead of being handed back to the system
// and faulted in afresh, page by page. Call once, before the first picture is made.
void KeepPictureMemoryForReuse();

}  // namespace torvel
