// Any bytes give a Moodle card file or the reader's own error; what was read, written again,
// is a quiz that reads back with as many cards.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "exchange/KorMoodle.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const TReglages r;
  std::unique_ptr<TFichierX> lu;
  try {
    lu = LitFichierMoodleOctets(std::string_view(reinterpret_cast<const char*>(data), size), r);
  } catch (const EErreur&) {
    return 0;
  }
  auto relu = LitFichierMoodleOctets(OctetsFichierMoodle(*lu, r), r);
  if (relu->GetNombreFiches() != lu->GetNombreFiches()) {
    std::fprintf(stderr, "%d cards read back instead of %d\n", relu->GetNombreFiches(), lu->GetNombreFiches());
    std::abort();
  }
  return 0;
}
