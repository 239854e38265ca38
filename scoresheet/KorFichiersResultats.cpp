#include "scoresheet/KorFichiersResultats.h"

#include <bit>
#include <limits>

#include "platform/Ansi.h"
#include "platform/Erreur.h"
#include "platform/Fichier.h"

namespace {

constexpr std::uint16_t RecBOF = 0x0809;
constexpr std::uint16_t RecEOF = 0x000A;
constexpr std::uint16_t RecLABEL = 0x0204;
constexpr std::uint16_t RecRK = 0x027E;
constexpr std::uint16_t RecNUMBER = 0x0203;

// A record's length is 16 bits, and a LABEL's data is 8 bytes before its text.
constexpr std::size_t LongueurMaxLabel = 0xFFFF - 8;
constexpr std::int64_t MinRK = -(std::int64_t{1} << 29);
constexpr std::int64_t MaxRK = (std::int64_t{1} << 29) - 1;
constexpr std::size_t MaxLignesXls = 0x10000;

void Ecrit16(std::string& flux, std::uint16_t v) {
  flux.push_back(static_cast<char>(v & 0xFF));
  flux.push_back(static_cast<char>(v >> 8));
}

void Ecrit32(std::string& flux, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) flux.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void Ecrit64(std::string& flux, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) flux.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void EnTeteCellule(std::string& flux, std::uint16_t type, std::uint16_t longueur, int colonne,
                   int ligne) {
  Ecrit16(flux, type);
  Ecrit16(flux, longueur);
  Ecrit16(flux, static_cast<std::uint16_t>(ligne));
  Ecrit16(flux, static_cast<std::uint16_t>(colonne));
  Ecrit16(flux, 0);  // format index
}

// The whole file through the safe save: a failure at any moment (a kill, a full disk) leaves
// the previous file as it was, never one emptied or cut.
void EnregistreOctets(const std::string& nom, const std::string& octets) {
  EnregistreSur(nom, nullptr, [&](TFlux& flux) { flux.Ecrit(octets); });
}

}  // namespace

std::string TexteCsv(const TGrilleResultats& lignes) {
  std::string texte;
  for (const TLigneResultat& ligne : lignes) {
    for (int c = 0; c < NbColonnesResultats; ++c) {
      if (c > 0) texte += ';';
      texte += ligne[c];
    }
    texte += "\r\n";
  }
  return texte;
}

void EnregistreCsv(const std::string& nom, const TGrilleResultats& lignes) {
  EnregistreOctets(nom, TexteCsv(lignes));
}

void EcritCelluleTexte(std::string& flux, int colonne, int ligne, std::string_view texte) {
  if (texte.size() > LongueurMaxLabel) texte = texte.substr(0, LongueurMaxLabel);
  const auto n = static_cast<std::uint16_t>(texte.size());
  EnTeteCellule(flux, RecLABEL, static_cast<std::uint16_t>(n + 8), colonne, ligne);
  Ecrit16(flux, n);
  flux.append(texte);
}

void EcritCelluleEntier(std::string& flux, int colonne, int ligne, std::int64_t valeur) {
  if (valeur >= MinRK && valeur <= MaxRK) {
    EnTeteCellule(flux, RecRK, 10, colonne, ligne);
    // Bit 1: an integer in bits 2 to 31; bit 0 clear: not divided by 100.
    Ecrit32(flux, static_cast<std::uint32_t>(valeur * 4 + 2));
  } else {
    EnTeteCellule(flux, RecNUMBER, 14, colonne, ligne);
    Ecrit64(flux, std::bit_cast<std::uint64_t>(static_cast<double>(valeur)));
  }
}

std::int64_t EntierDeCellule(std::string_view texte) {
  std::size_t i = 0;
  bool negatif = false;
  if (i < texte.size() && (texte[i] == '+' || texte[i] == '-')) negatif = texte[i++] == '-';
  if (i == texte.size()) return 0;
  // Accumulated negatively, so that the 64-bit minimum is reached without overflow.
  constexpr std::int64_t Min = std::numeric_limits<std::int64_t>::min();
  std::int64_t v = 0;
  bool sature = false;
  for (; i < texte.size(); ++i) {
    const char c = texte[i];
    if (c < '0' || c > '9') return 0;
    const int chiffre = c - '0';
    if (sature) continue;
    if (v < (Min + chiffre) / 10) {
      v = Min;
      sature = true;
    } else {
      v = v * 10 - chiffre;
    }
  }
  if (negatif) return v;
  return v == Min ? std::numeric_limits<std::int64_t>::max() : -v;
}

std::string OctetsXls(const TGrilleResultats& lignes) {
  if (lignes.size() > MaxLignesXls)
    throw EWriteError(
        "Trop de résultats pour un fichier Excel (65536 lignes au plus) : enregistrez-les au format CSV."_a);
  std::string flux;
  Ecrit16(flux, RecBOF);
  Ecrit16(flux, 8);
  Ecrit16(flux, 0x0000);  // version
  Ecrit16(flux, 0x0010);  // worksheet
  Ecrit16(flux, 0x0000);  // build
  Ecrit16(flux, 0x0000);  // year
  for (std::size_t r = 0; r < lignes.size(); ++r) {
    for (int c = 0; c < NbColonnesResultats; ++c) {
      const int ligne = static_cast<int>(r);
      if (r > 0 && c >= 3)
        EcritCelluleEntier(flux, c, ligne, EntierDeCellule(lignes[r][c]));
      else
        EcritCelluleTexte(flux, c, ligne, lignes[r][c]);
    }
  }
  Ecrit16(flux, RecEOF);
  Ecrit16(flux, 0);
  return flux;
}

void EnregistreXls(const std::string& nom, const TGrilleResultats& lignes) {
  EnregistreOctets(nom, OctetsXls(lignes));
}

bool EstNomCsv(const std::string& nom) {
  // The extension is taken from the name itself: a "." in a folder above does not count.
  const std::size_t barre = nom.rfind('/');
  const std::size_t point = nom.rfind('.');
  if (point == std::string::npos || (barre != std::string::npos && point < barre)) return false;
  std::string extension = nom.substr(point);
  for (char& c : extension)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return extension == ".CSV";
}

void EnregistreResultats(TTableResultats& table, const std::string& nom) {
  const TInstantane copie = table.Instantane();
  if (EstNomCsv(nom))
    EnregistreCsv(nom, copie.Lignes);
  else
    EnregistreXls(nom, copie.Lignes);
  table.MarqueEnregistre(copie.Generation);
}
