#include "exchange/KorCrd.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "cards/KorSauvegarde.h"
#include "platform/Ansi.h"

namespace {

const std::string SignatureCardfile = "MGC";

[[noreturn]] void Invalide() { throw ErreurIdInvalide("Pas un fichier Cardfile valide !"); }

std::uint16_t Mot16(std::string_view o, std::size_t position) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(o[position]) |
                                    static_cast<unsigned char>(o[position + 1]) << 8);
}

std::int32_t Mot32(std::string_view o, std::size_t position) {
  std::uint32_t v = 0;
  for (int k = 3; k >= 0; --k) v = v << 8 | static_cast<unsigned char>(o[position + k]);
  return static_cast<std::int32_t>(v);
}

void Pose16(std::string& o, std::size_t position, std::uint16_t v) {
  o[position] = static_cast<char>(v & 0xFF);
  o[position + 1] = static_cast<char>(v >> 8);
}

void Pose32(std::string& o, std::size_t position, std::uint32_t v) {
  for (int k = 0; k < 4; ++k) o[position + k] = static_cast<char>(v >> (8 * k) & 0xFF);
}

}  // namespace

void TFichierCrd::Ouvre(std::string_view octets, const TReglages& r) {
  FLu = std::make_unique<TFichierX>('R', 'c', EVarianteModele::Complet, r);
  FFichier = FLu.get();
  if (octets.size() < TailleEnteteCardfile || octets.substr(0, 3) != SignatureCardfile) Invalide();
  const std::size_t n = Mot16(octets, 3);
  const std::uint64_t debutDonnees = TailleEnteteCardfile + TailleEntreeIndex * n;
  if (debutDonnees > octets.size()) Invalide();
  // The data blocks of a file never overlap, so together they fit in the bytes after the index:
  // a short file cannot announce gigabytes of texts by pointing every entry at one block.
  const std::uint64_t place = octets.size() - debutDonnees;
  std::uint64_t utilise = 0;
  FFichier->FFiches.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t entree = TailleEnteteCardfile + TailleEntreeIndex * i;
    const std::int64_t position = Mot32(octets, entree + 6);
    if (position < static_cast<std::int64_t>(debutDonnees) ||
        static_cast<std::uint64_t>(position) + TailleEnteteCarte > octets.size())
      Invalide();
    const auto bloc = static_cast<std::size_t>(position);
    // A picture's description and bits would stand between the two sizes; they are not read.
    if (Mot16(octets, bloc) != 0)
      throw ErreurIdInvalide("Les fiches de ce fichier Cardfile contiennent des images, qui ne peuvent pas être lues !"_a);
    const std::size_t taille = Mot16(octets, bloc + 2);
    if (bloc + TailleEnteteCarte + taille > octets.size()) Invalide();
    utilise += TailleEnteteCarte + taille;
    if (utilise > place) Invalide();
    std::string_view ligne = octets.substr(entree + PositionLigneIndex, TailleLigneIndex);
    ligne = ligne.substr(0, ligne.find('\0'));
    FFichier->AjouteFicheDeuxChamps(std::string(ligne), std::string(octets.substr(bloc + TailleEnteteCarte, taille)));
  }
  FFichier->FModifie = false;
}

void TFichierCrd::Prepare(TFichierX& fichier, const std::string& chemin) {
  FFichier = &fichier;
  FNomFichier = chemin;
}

std::string TFichierCrd::Octets() const {
  const TFichierX& f = *FFichier;
  const std::size_t n = f.FFiches.size();
  if (n > std::numeric_limits<std::uint16_t>::max())
    throw EErreur("Un fichier Cardfile ne peut pas contenir plus de 65535 fiches !"_a);
  std::uint64_t taille = TailleEnteteCardfile + TailleEntreeIndex * n;
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t longueur = f.FFiches[i]->Champ2.size();
    if (longueur > std::numeric_limits<std::uint16_t>::max())
      throw EErreur("Le texte de la fiche "_a + std::to_string(i + 1) +
                    " est trop long pour un fichier Cardfile (65535 caractères au plus) !"_a);
    // Every block must start at an offset that the index's signed 32-bit field can hold.
    if (taille > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()))
      throw EErreur("Ces fiches sont trop longues pour un fichier Cardfile !"_a);
    taille += TailleEnteteCarte + longueur;
  }

  std::string o(static_cast<std::size_t>(taille), '\0');
  std::memcpy(o.data(), SignatureCardfile.data(), 3);
  Pose16(o, 3, static_cast<std::uint16_t>(n));
  std::size_t position = TailleEnteteCardfile + TailleEntreeIndex * n;
  for (std::size_t i = 0; i < n; ++i) {
    const TFicheX& fiche = *f.FFiches[i];
    const std::size_t entree = TailleEnteteCardfile + TailleEntreeIndex * i;
    Pose32(o, entree + 6, static_cast<std::uint32_t>(position));
    const std::size_t longueurLigne = std::min(fiche.Champ1.size(), TailleLigneIndex);
    std::memcpy(o.data() + entree + PositionLigneIndex, fiche.Champ1.data(), longueurLigne);
    // The picture size stays 0.
    Pose16(o, position + 2, static_cast<std::uint16_t>(fiche.Champ2.size()));
    std::memcpy(o.data() + position + TailleEnteteCarte, fiche.Champ2.data(), fiche.Champ2.size());
    position += TailleEnteteCarte + fiche.Champ2.size();
  }
  return o;
}

void TFichierCrd::Enregistre([[maybe_unused]] bool nouveau) {
  // A new file and the card file's own file go the same way: the safe save path replaces the
  // target, and the card file takes the stream written. Its own stream is passed either way: the
  // safe save recognises it only when it lies on the target (its name spelt another way).
  EnregistreFichierX(*FFichier, FNomFichier, FFichier->FFlux.get(), 'c', Octets());
}

std::unique_ptr<TFichierX> LitFichierCrdOctets(std::string_view octets, const TReglages& r) {
  return DecodeFichier<TFichierCrd>("", octets, r);
}

std::unique_ptr<TFichierX> LitFichierCrd(const std::string& chemin, bool ecriture, const TReglages& r) {
  return LitFichierAvec<TFichierCrd>(chemin, ecriture, true, r);
}

void EcritFichierCrd(TFichierX& fichier, const std::string& chemin, bool nouveau) {
  EcritFichierAvec<TFichierCrd>(fichier, chemin, nouveau);
}

std::string OctetsFichierCrd(TFichierX& fichier) { return OctetsFichierAvec<TFichierCrd>(fichier); }
