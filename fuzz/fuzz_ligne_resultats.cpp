// The score sheet's side of the results protocol on hostile bytes: the line reader (with a cap
// and a whole bound chosen by the first bytes, the rest fed in pieces of varying sizes), the handler of every line,
// and the rows it makes written as CSV and spreadsheet bytes.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Erreur.h"
#include "scoresheet/KorFichiersResultats.h"
#include "scoresheet/KorProtocole.h"
#include "scoresheet/KorTableResultats.h"

namespace {

void Verifie(bool condition) {
  if (!condition) std::abort();
}

bool EstBlanc(char c) { return static_cast<unsigned char>(c) <= 32; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t cap = 16 + std::size_t{data[0]} * 32;
  const std::string_view flux(reinterpret_cast<const char*>(data) + 1, size - 1);

  // The whole bound of a line, chosen by the second byte.
  const std::size_t entiere = cap + (size > 1 ? std::size_t{data[1]} * 64 : 0);
  TLecteurLignes lecteur(cap, entiere);
  TTableResultats table;
  std::size_t lignesSansFin = 0;  // bytes since the last LF
  std::size_t position = 0;
  std::size_t pas = 1;
  std::string ligne;
  while (position < flux.size() && !lecteur.Deborde()) {
    const std::string_view morceau = flux.substr(position, pas);
    lecteur.Ajoute(morceau);
    for (char c : morceau) lignesSansFin = c == '\n' ? 0 : lignesSansFin + 1;
    position += morceau.size();
    pas = pas * 3 % 61 + 1;
    while (lecteur.LigneSuivante(ligne)) {
      Verifie(ligne.size() <= cap);
      Verifie(ligne.find('\n') == std::string::npos);
      bool appele = false;
      const bool tronquee = lecteur.Tronquee();
      const TReponseLigne reponse = TraiteLigne(ligne, [&](const std::vector<std::string>& parametres) {
        appele = true;
        Verifie(!tronquee || parametres.size() >= 5);
        for (const std::string& p : parametres) {
          Verifie(p.find('\t') == std::string::npos);
          Verifie(p.empty() || (!EstBlanc(p.front()) && !EstBlanc(p.back())));
        }
        // Some handlers fail: the reply must say so.
        if (parametres.size() == 3) throw std::runtime_error("panne");
        table.TCPServerCommandSendDataCommand(parametres);
      }, tronquee);
      // A cut command is handled only on five whole parameters, else closed without a reply.
      Verifie(appele == EstCommandeSendData(ligne) || (tronquee && reponse.Reponse.empty()));
      Verifie(reponse.Fermer == EstCommandeSendData(ligne));
      Verifie(reponse.Reponse == ReponseBienRecu || reponse.Reponse == ReponseCommandeInconnue ||
              reponse.Reponse == ReponseErreurInterne || (tronquee && reponse.Reponse.empty()));
    }
  }
  // A pending line longer than the whole bound must have been caught.
  if (!lecteur.Deborde()) Verifie(lignesSansFin <= std::max(entiere, cap) + 1);

  try {
    const TInstantane copie = table.Instantane();
    const std::string csv = TexteCsv(copie.Lignes);
    const std::string xls = OctetsXls(copie.Lignes);
    Verifie(xls.size() >= 16);
  } catch (const EErreur&) {
  }
  return 0;
}
