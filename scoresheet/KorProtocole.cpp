#include "scoresheet/KorProtocole.h"

#include <cstring>

namespace {

bool EstBlanc(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string_view SansBlancs(std::string_view s) {
  while (!s.empty() && EstBlanc(s.front())) s.remove_prefix(1);
  while (!s.empty() && EstBlanc(s.back())) s.remove_suffix(1);
  return s;
}

char Majuscule(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool EstCommandeSendData(std::string_view ligne) {
  // Equal to the word, or beginning with it: both come to the first eight characters.
  if (ligne.size() < MotSendData.size()) return false;
  for (std::size_t i = 0; i < MotSendData.size(); ++i)
    if (Majuscule(ligne[i]) != MotSendData[i]) return false;
  return true;
}

std::vector<std::string> ParametresSendData(std::string_view ligne) {
  std::vector<std::string> parametres;
  // The ninth character (the TAB of a well-formed line) is skipped unseen.
  if (ligne.size() <= MotSendData.size() + 1) return parametres;
  std::string_view reste = SansBlancs(ligne.substr(MotSendData.size() + 1));
  while (!reste.empty()) {
    const std::size_t tab = reste.find('\t');
    const std::string_view piece = reste.substr(0, tab);
    // Two TABs in a row give no parameter at all, not an empty one.
    if (!piece.empty()) parametres.emplace_back(SansBlancs(piece));
    if (tab == std::string_view::npos) break;
    reste.remove_prefix(tab + 1);
  }
  return parametres;
}

TReponseLigne TraiteLigne(std::string_view ligne, const FCommandeSendData& commande, bool tronquee) {
  if (!EstCommandeSendData(ligne)) return {std::string(ReponseCommandeInconnue), false};
  std::vector<std::string> parametres;
  if (tronquee) {
    // The piece after the last TAB may have been cut: only those before it arrived whole.
    const std::size_t dernierTab = ligne.rfind('\t');
    if (dernierTab != std::string_view::npos && dernierTab > MotSendData.size())
      parametres = ParametresSendData(ligne.substr(0, dernierTab));
    if (parametres.size() < 5) return {std::string(), true};
  } else {
    parametres = ParametresSendData(ligne);
  }
  try {
    if (commande) commande(parametres);
  } catch (...) {
    return {std::string(ReponseErreurInterne), true};
  }
  return {std::string(ReponseBienRecu), true};
}

void TLecteurLignes::Ajoute(const char* octets, std::size_t n) {
  if (FDeborde || n == 0) return;
  if (FDansLongue && !FLongueFinie) {
    // Past the cap, the line's bytes are only counted until its end comes.
    const void* lf = std::memchr(octets, '\n', n);
    const std::size_t jusque = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - octets) : n;
    FLongueurLongue += jusque;
    // Room for the CR before the LF.
    if (FLongueurLongue > FLongueurMaxEntiere + 1) {
      FDeborde = true;
      return;
    }
    if (lf == nullptr) return;
    FLongueFinie = true;
    octets += jusque + 1;
    n -= jusque + 1;
    if (n == 0) return;
  }
  // Drop what was already handed out before the buffer grows.
  if (FDebut > 0 && FDebut >= FTampon.size() / 2) {
    FTampon.erase(0, FDebut);
    FDebut = 0;
  }
  FTampon.append(octets, n);
}

bool TLecteurLignes::LigneSuivante(std::string& ligne) {
  if (FDeborde) return false;
  FTronquee = false;
  if (FDansLongue) {
    if (!FLongueFinie) return false;
    ligne = std::move(FDebutLongue);
    FDebutLongue.clear();
    FDansLongue = FLongueFinie = false;
    FLongueurLongue = 0;
    FTronquee = true;
    return true;
  }
  const std::size_t disponible = FTampon.size() - FDebut;
  const void* lf = std::memchr(FTampon.data() + FDebut + FExamine, '\n', disponible - FExamine);
  if (lf == nullptr) {
    FExamine = disponible;
    // Room for a full line and its CR while the LF is still to come; past that, only the line's
    // beginning is kept.
    if (disponible > FLongueurMax + 1) {
      FDansLongue = true;
      FDebutLongue.assign(FTampon, FDebut, FLongueurMax);
      FLongueurLongue = disponible;
      FTampon.clear();
      FDebut = FExamine = 0;
      if (FLongueurLongue > FLongueurMaxEntiere + 1) FDeborde = true;
    }
    return false;
  }
  const std::size_t fin = static_cast<std::size_t>(static_cast<const char*>(lf) - FTampon.data());
  std::size_t longueur = fin - FDebut;
  if (longueur > 0 && FTampon[fin - 1] == '\r') --longueur;
  if (longueur > FLongueurMaxEntiere) {
    FDeborde = true;
    return false;
  }
  FTronquee = longueur > FLongueurMax;
  ligne.assign(FTampon, FDebut, std::min(longueur, FLongueurMax));
  FDebut = fin + 1;
  FExamine = 0;
  if (FDebut == FTampon.size()) {
    FTampon.clear();
    FDebut = 0;
  }
  return true;
}
