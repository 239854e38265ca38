// The XML reader over any bytes, in full, template and player loads. What a full load returns
// must save, in UTF-8 and in windows-N, as XML that reads back, and as a recognisable native
// file that reads back with the same cards.
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

void Reecrit(TFichierX& f, const TReglages& utf8, const TReglages& windows) {
  try {
    LitFichierXMLOctets(OctetsFichierXML(f, utf8), true, EVarianteModele::Complet, utf8);
    LitFichierXMLOctets(OctetsFichierXML(f, windows), true, EVarianteModele::Complet, windows);
    const std::string natif = OctetsFichierNatif(f, utf8);
    if (DebutSansXml(natif) && DetecteFormatOctets(natif, "f.kqq", EVarianteDetection::Complete, utf8) != 'n')
      Echec("fichier natif écrit non reconnu");
    if (LitFichierNatifOctets(natif, true, EVarianteModele::Complet, utf8)->GetNombreFiches() != f.GetNombreFiches())
      Echec("fiches perdues en relisant le fichier natif écrit");
  } catch (const EErreur& e) {
    Echec("fichier écrit illisible", &e);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const TReglages utf8;
  static const TReglages windows = [] {
    TReglages r;
    r.XMLUtf8 = false;
    r.XMLLFSeul = false;
    return r;
  }();
  const std::string_view octets(reinterpret_cast<const char*>(data), size);
  struct Mode {
    bool complet;
    EVarianteModele variante;
  } modes[] = {{true, EVarianteModele::Complet}, {false, EVarianteModele::Complet},
               {true, EVarianteModele::Questionnaire}};
  for (const Mode& m : modes) {
    std::unique_ptr<TFichierX> f;
    try {
      f = LitFichierXMLOctets(octets, m.complet, m.variante, utf8);
    } catch (const EErreur&) {
      continue;
    }
    if (m.complet && m.variante == EVarianteModele::Complet) Reecrit(*f, utf8, windows);
  }
  return 0;
}
