#pragma once
// Helpers of the exchange tests: a temporary folder per test, whole files, outside commands.

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "cards/KorFichierX.h"

class DossierTemporaire : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string modele = (std::filesystem::temp_directory_path() / "orvaline-echange-XXXXXX").string();
    ASSERT_NE(mkdtemp(modele.data()), nullptr);
    FDossier = modele;
  }
  void TearDown() override {
    std::error_code e;
    std::filesystem::remove_all(FDossier, e);
  }
  std::string Chemin(const std::string& nom) const { return (FDossier / nom).string(); }
  std::filesystem::path FDossier;
};

inline std::string LitOctets(const std::string& chemin) {
  std::ifstream in(chemin, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void EcritOctets(const std::string& chemin, const std::string& octets) {
  std::ofstream out(chemin, std::ios::binary | std::ios::trunc);
  out << octets;
}

// Runs a command and returns what it wrote on its standard output; statut gets its exit status.
inline std::string Execute(const std::string& commande, int& statut) {
  std::string sortie;
  FILE* p = popen(commande.c_str(), "r");
  if (!p) {
    statut = -1;
    return sortie;
  }
  std::array<char, 4096> tampon;
  std::size_t n;
  while ((n = fread(tampon.data(), 1, tampon.size(), p)) > 0) sortie.append(tampon.data(), n);
  statut = pclose(p);
  return sortie;
}

inline bool CommandeExiste(const std::string& nom) {
  int statut = 0;
  Execute("command -v " + nom + " >/dev/null 2>&1", statut);
  return statut == 0;
}

// The three fields of every card, for comparisons.
inline std::vector<std::array<std::string, 3>> Cartes(const TFichierX& f) {
  std::vector<std::array<std::string, 3>> v;
  for (const auto& c : f.FFiches) v.push_back({c->Champ0, c->Champ1, c->Champ2});
  return v;
}

// A byte string shown with its control characters visible, for failure messages.
inline std::string Visible(const std::string& s) {
  std::string v;
  for (unsigned char c : s) {
    if (c == '\r') v += "\\r";
    else if (c == '\n') v += "\\n";
    else if (c == '\t') v += "\\t";
    else if (c < 32 || c >= 127) {
      char b[8];
      std::snprintf(b, sizeof b, "\\x%02X", c);
      v += b;
    } else v += static_cast<char>(c);
  }
  return v;
}
