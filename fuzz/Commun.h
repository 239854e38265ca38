#pragma once
// What the card-format targets share: the failure report, the native round trip, and the three
// loads every input goes through.
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "cards/KorNatif.h"
#include "cards/KorOutils.h"

namespace fuzz {

[[noreturn]] inline void Echec(const char* quoi, const EErreur* e = nullptr) {
  std::fprintf(stderr, "%s%s%s\n", quoi, e ? " : " : "", e ? e->what() : "");
  __builtin_trap();
}

// Format recognition looks for "<?xml" before anything else (the first 255 bytes up to a zero).
inline bool DebutSansXml(const std::string& octets) {
  const std::string debut = octets.substr(0, 255);
  return debut.substr(0, debut.find('\0')).find("<?xml") == std::string::npos;
}

// The card file saved as a native file must be recognised as one and read back with its cards.
inline void VerifieNatif(TFichierX& f, const TReglages& r) {
  const std::string natif = OctetsFichierNatif(f, r);
  if (DebutSansXml(natif) && DetecteFormatOctets(natif, "f.kqq", EVarianteDetection::Complete, r) != 'n')
    Echec("fichier natif écrit non reconnu");
  if (LitFichierNatifOctets(natif, true, EVarianteModele::Complet, r)->GetNombreFiches() != f.GetNombreFiches())
    Echec("fiches perdues en relisant le fichier natif écrit");
}

// Reads the bytes in full, template and player loads with lit(octets, complet, variante); what
// the editor's full load returns goes to reecrit, where a reader's error on what was written is
// a failure.
template <class FLit, class FReecrit>
void Charge(std::string_view octets, FLit&& lit, FReecrit&& reecrit) {
  struct Mode {
    bool complet;
    EVarianteModele variante;
  } modes[] = {{true, EVarianteModele::Complet}, {false, EVarianteModele::Complet},
               {true, EVarianteModele::Questionnaire}};
  for (const Mode& m : modes) {
    std::unique_ptr<TFichierX> f;
    try {
      f = lit(octets, m.complet, m.variante);
    } catch (const EErreur&) {
      continue;
    }
    if (!m.complet || m.variante != EVarianteModele::Complet) continue;
    try {
      reecrit(*f);
    } catch (const EErreur& e) {
      Echec("fichier écrit illisible", &e);
    }
  }
}

}  // namespace fuzz
