#include "services/scramble.h"

#include <cstdint>
#include <cstdlib>

#include "services/general.h"

namespace torvel {
namespace {

// Program constants: every stored text the program carries was made with these two values.
constexpr char kStoredTextKey[] =
    "AwcTHR>Wn^4#dtgXia],[s>#c<l&t.4Ph0D%yE)b}`&e%R~6]uw<(;?GO=O=-3?;]1Qp7=ta))3P5@F7F#8+#5JdJbb+"
    "@s?by";
constexpr char kSaltPool[] = "JfbAs/8=_W.80=?X?/,3D$PJg~3`F#PNL#oPRB3L3,d+<h,tO=*($";
static_assert(sizeof kStoredTextKey - 1 == 97 && sizeof kSaltPool - 1 == 53);

constexpr int kSaltFloor = 14;  // the head byte is the salt length plus this

uint8_t Combine(uint8_t c, uint8_t k, int mode) {
  switch (mode) {
    case 0:
      return static_cast<uint8_t>(c + k);
    case 1:
      return static_cast<uint8_t>(c - k);
    case 2: {
      const int sum = c + k;
      return static_cast<uint8_t>(sum > 255 ? sum - 242 : sum);
    }
    default: {
      const int difference = c - k;
      return static_cast<uint8_t>(difference < kSaltFloor ? difference + 242 : difference);
    }
  }
}

}  // namespace

std::string ScrambleText(const std::string& text, const std::string& key, int mode) {
  if (key.empty() || mode < 0 || mode > 3) {
    return text;
  }
  std::string result = text;
  for (size_t j = 0; j < result.size(); ++j) {
    result[j] = static_cast<char>(
        Combine(static_cast<uint8_t>(result[j]), static_cast<uint8_t>(key[j % key.size()]), mode));
  }
  return result;
}

std::string RandomSalt() {
  const int length = 10 + std::rand() % 41;
  std::string salt(static_cast<size_t>(length), ' ');
  for (char& c : salt) {
    c = kSaltPool[std::rand() % 50];
  }
  return salt;
}

std::string StoredText(const std::string& text, int mode) {
  try {
    TGeneral general;
    if (text.empty()) {
      return {};
    }
    if (mode == 1) {
      const std::string salt = RandomSalt();
      std::string stored = static_cast<char>(salt.size() + kSaltFloor) +
                           ScrambleText(salt, kStoredTextKey, 3) + ScrambleText(text, salt, 2);
      general.ReplaceAll(stored, "'", "''");
      return stored;
    }
    if (mode == 0) {
      std::string stored = text;
      general.ReplaceAll(stored, "''", "'");
      const int saltLength = static_cast<uint8_t>(stored[0]) - kSaltFloor;
      if (saltLength <= 0) {
        return {};
      }
      const std::string salt =
          ScrambleText(stored.substr(1, static_cast<size_t>(saltLength)), kStoredTextKey, 2);
      const size_t bodyStart = 1 + static_cast<size_t>(saltLength);
      return bodyStart < stored.size() ? ScrambleText(stored.substr(bodyStart), salt, 3) : "";
    }
    return {};
  } catch (...) {
    return {};
  }
}

}  // namespace torvel
