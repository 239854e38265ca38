#pragma once
// Helpers shared by the test programs of every folder.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

// A fresh temporary folder per test, removed with its contents after the test.
class DossierTemporaire : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string modele = (std::filesystem::temp_directory_path() / "orvaline-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(modele.data()), nullptr);
    Dossier = modele;
  }
  void TearDown() override {
    std::error_code e;
    std::filesystem::remove_all(Dossier, e);
  }
  std::string Chemin(const std::string& nom) const { return Dossier + "/" + nom; }
  std::string Dossier;
};

// The whole content of a file, as bytes; empty if it cannot be read.
inline std::string LitOctets(const std::filesystem::path& chemin) {
  std::ifstream in(chemin, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Replaces the whole content of a file with these bytes.
inline void EcritOctets(const std::filesystem::path& chemin, const std::string& octets) {
  std::ofstream out(chemin, std::ios::binary | std::ios::trunc);
  out << octets;
}

// Writes beyond a size fail (EFBIG) while the limit holds: a disk that fills up midway.
class LimiteTailleFichiers {
 public:
  explicit LimiteTailleFichiers(rlim_t octets) {
    signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &FAncienne);
    rlimit l = FAncienne;
    l.rlim_cur = octets;
    setrlimit(RLIMIT_FSIZE, &l);
  }
  ~LimiteTailleFichiers() { setrlimit(RLIMIT_FSIZE, &FAncienne); }
  LimiteTailleFichiers(const LimiteTailleFichiers&) = delete;
  LimiteTailleFichiers& operator=(const LimiteTailleFichiers&) = delete;

 private:
  rlimit FAncienne{};
};

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

// Whether a command of this name can be run (found on PATH or built into the shell).
inline bool CommandeExiste(const std::string& nom) {
  int statut = 0;
  Execute("command -v " + nom + " >/dev/null 2>&1", statut);
  return statut == 0;
}
