// The native reader over any bytes, in full, template and player loads. What a full load
// returns must save as a recognisable native file that reads back with the same cards, and as
// an XML file that reads back.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "cards/KorNatif.h"
#include "cards/KorOutils.h"
#include "cards/KorXml.h"

namespace {

[[noreturn]] void Echec(const char* quoi, const EErreur* e = nullptr) {
  std::fprintf(stderr, "%s%s%s\n", quoi, e ? " : " : "", e ? e->what() : "");
  __builtin_trap();
}

// Format recognition looks for "<?xml" before anything else (the first 255 bytes up to a zero).
bool DebutSansXml(const std::string& octets) {
  const std::string debut = octets.substr(0, 255);
  return debut.substr(0, debut.find('\0')).find("<?xml") == std::string::npos;
}

void Reecrit(TFichierX& f, const TReglages& r) {
  try {
    const std::string natif = OctetsFichierNatif(f, r);
    if (DebutSansXml(natif) && DetecteFormatOctets(natif, "f.kqq", EVarianteDetection::Complete, r) != 'n')
      Echec("fichier natif écrit non reconnu");
    if (LitFichierNatifOctets(natif, true, EVarianteModele::Complet, r)->GetNombreFiches() != f.GetNombreFiches())
      Echec("fiches perdues en relisant le fichier natif écrit");
    if (LitFichierXMLOctets(OctetsFichierXML(f, r), true, EVarianteModele::Complet, r)->GetNombreFiches() !=
        f.GetNombreFiches())
      Echec("fiches perdues en relisant le fichier XML écrit");
  } catch (const EErreur& e) {
    Echec("fichier écrit illisible", &e);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const TReglages reglages;
  const std::string_view octets(reinterpret_cast<const char*>(data), size);
  struct Mode {
    bool complet;
    EVarianteModele variante;
  } modes[] = {{true, EVarianteModele::Complet}, {false, EVarianteModele::Complet},
               {true, EVarianteModele::Questionnaire}};
  for (const Mode& m : modes) {
    std::unique_ptr<TFichierX> f;
    try {
      f = LitFichierNatifOctets(octets, m.complet, m.variante, reglages);
    } catch (const EErreur&) {
      continue;
    }
    if (m.complet && m.variante == EVarianteModele::Complet) Reecrit(*f, reglages);
  }
  return 0;
}
