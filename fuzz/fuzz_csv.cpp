// Any bytes give a CSV card file or the reader's own error, under several types, separators and
// encodings; what was read, written again, reads back with as many cards.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "exchange/KorCsv.h"

namespace {

struct Reglage {
  char type;
  char separateur;
  bool utf8;
};
constexpr Reglage Reglages_[] = {
    {'Q', ',', false}, {'R', '\t', false}, {'L', ' ', false}, {'F', ';', true}, {'M', ',', true}, {'D', '|', false},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view octets(reinterpret_cast<const char*>(data), size);
  for (const Reglage& g : Reglages_) {
    TReglages r;
    r.SeparateurCSV = g.separateur;
    r.CSVUtf8 = g.utf8;
    std::unique_ptr<TFichierX> lu;
    try {
      lu = LitFichierCSVOctets(octets, g.type, r);
    } catch (const EErreur&) {
      continue;
    }
    auto relu = LitFichierCSVOctets(OctetsFichierCSV(*lu, 's', r), g.type, r);
    if (relu->GetNombreFiches() != lu->GetNombreFiches()) {
      std::fprintf(stderr, "type %c: %d cards read back instead of %d\n", g.type, relu->GetNombreFiches(),
                   lu->GetNombreFiches());
      std::abort();
    }
    OctetsFichierCSV(*lu, 't', r);
  }
  return 0;
}
