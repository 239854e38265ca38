// The XML reader over any bytes, in full, template and player loads. What a full load returns
// must save, in UTF-8 and in windows-N, as XML that reads back, and as a recognisable native
// file that reads back with the same cards.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "cards/KorNatif.h"
#include "cards/KorXml.h"
#include "fuzz/Commun.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const TReglages utf8;
  static const TReglages windows = [] {
    TReglages r;
    r.XMLUtf8 = false;
    r.XMLLFSeul = false;
    return r;
  }();
  fuzz::Charge(
      std::string_view(reinterpret_cast<const char*>(data), size),
      [&](std::string_view octets, bool complet, EVarianteModele variante) {
        return LitFichierXMLOctets(octets, complet, variante, utf8);
      },
      [&](TFichierX& f) {
        LitFichierXMLOctets(OctetsFichierXML(f, utf8), true, EVarianteModele::Complet, utf8);
        LitFichierXMLOctets(OctetsFichierXML(f, windows), true, EVarianteModele::Complet, windows);
        fuzz::VerifieNatif(f, utf8);
      });
  return 0;
}
