#pragma once

#include <string>

namespace torvel {

// Keyed byte scrambling. Each byte of the text is combined with the key byte at the same position,
// the key repeating from its first byte:
//   mode 0: c + k modulo 256             (undone by mode 1)
//   mode 1: c - k modulo 256             (undone by mode 0)
//   mode 2: c + k, a wrapped sum less 242 (undone by mode 3 for bytes of 14 or more)
//   mode 3: c - k, below 14 plus 242      (undone by mode 2 for bytes of 14 or more)
// Any other mode, and an empty key, leave the text as it is.
std::string ScrambleText(const std::string& text, const std::string& key, int mode);

// 10 to 50 characters drawn at random from the program's salt pool.
std::string RandomSalt();

// The self-describing stored form of a text: mode 1 encodes with a fresh random salt, mode 0
// decodes. Any other mode, and an empty input, give an empty text. Decoding gives back exactly
// the text that was encoded when all its bytes are 14 or more (control bytes do not survive).
std::string StoredText(const std::string& text, int mode);

}  // namespace torvel
