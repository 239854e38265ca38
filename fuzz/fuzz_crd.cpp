// Any bytes give a Cardfile card file or the reader's own error; what was read, written again,
// reads back the same.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "exchange/KorCrd.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const TReglages r;
  std::unique_ptr<TFichierX> lu;
  try {
    lu = LitFichierCrdOctets(std::string_view(reinterpret_cast<const char*>(data), size), r);
  } catch (const EErreur&) {
    return 0;
  }
  auto relu = LitFichierCrdOctets(OctetsFichierCrd(*lu), r);
  if (relu->GetNombreFiches() != lu->GetNombreFiches()) std::abort();
  for (int i = 0; i < lu->GetNombreFiches(); ++i)
    if (relu->Fiche(i).Champ1 != lu->Fiche(i).Champ1 || relu->Fiche(i).Champ2 != lu->Fiche(i).Champ2) {
      std::fprintf(stderr, "card %d differs after a round trip\n", i);
      std::abort();
    }
  return 0;
}
