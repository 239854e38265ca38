// The native reader over any bytes, in full, template and player loads. What a full load
// returns must save as a recognisable native file that reads back with the same cards, and as
// an XML file that reads back.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "cards/KorNatif.h"
#include "cards/KorXml.h"
#include "fuzz/Commun.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const TReglages reglages;
  fuzz::Charge(
      std::string_view(reinterpret_cast<const char*>(data), size),
      [&](std::string_view octets, bool complet, EVarianteModele variante) {
        return LitFichierNatifOctets(octets, complet, variante, reglages);
      },
      [&](TFichierX& f) {
        fuzz::VerifieNatif(f, reglages);
        if (LitFichierXMLOctets(OctetsFichierXML(f, reglages), true, EVarianteModele::Complet, reglages)
                ->GetNombreFiches() != f.GetNombreFiches())
          fuzz::Echec("fiches perdues en relisant le fichier XML écrit");
      });
  return 0;
}
