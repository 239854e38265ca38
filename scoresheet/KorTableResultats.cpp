#include "scoresheet/KorTableResultats.h"

#include <algorithm>

#include "platform/Ansi.h"

const TLigneResultat& TitresResultats() {
  static const TLigneResultat titres = {"Ordinateur", "Candidat", "Questionnaire", "Résultat"_a,
                                        "Maximum"};
  return titres;
}

TTableResultats::TTableResultats() : FLignes{TitresResultats(), TLigneResultat{}} {}

void TTableResultats::TCPServerCommandSendDataCommand(const std::vector<std::string>& parametres) {
  bool ajoute = false;
  {
    std::lock_guard<std::mutex> garde(Verrou);
    const std::uint64_t avant = FGeneration;
    AjouteResultat(parametres);
    ajoute = FGeneration != avant;
  }
  if (ajoute) emit ResultatAjoute();
}

void TTableResultats::AjouteResultat(const std::vector<std::string>& parametres) {
  if (parametres.size() < NbColonnesResultats) return;
  // Row 1 stays free while its questionnaire cell is empty.
  if (!FLignes[1][2].empty()) FLignes.emplace_back();
  TLigneResultat& ligne = FLignes.back();
  for (int i = 0; i < NbColonnesResultats; ++i) ligne[i] = parametres[i];
  FResultatsEnregistres = false;
  ++FGeneration;
}

TInstantane TTableResultats::Instantane() const {
  std::lock_guard<std::mutex> garde(Verrou);
  return {FLignes, FGeneration};
}

TSuiteResultats TTableResultats::LignesDepuis(std::size_t premiere) const {
  std::lock_guard<std::mutex> garde(Verrou);
  premiere = std::min(premiere, FLignes.size());
  return {premiere, TGrilleResultats(FLignes.begin() + static_cast<std::ptrdiff_t>(premiere), FLignes.end())};
}

void TTableResultats::MarqueEnregistre(std::uint64_t generation) {
  std::lock_guard<std::mutex> garde(Verrou);
  if (generation == FGeneration) FResultatsEnregistres = true;
}

bool TTableResultats::ResultatsEnregistres() const {
  std::lock_guard<std::mutex> garde(Verrou);
  return FResultatsEnregistres;
}

int TTableResultats::NbLignes() const {
  std::lock_guard<std::mutex> garde(Verrou);
  return static_cast<int>(FLignes.size());
}

std::uint64_t TTableResultats::Generation() const {
  std::lock_guard<std::mutex> garde(Verrou);
  return FGeneration;
}
