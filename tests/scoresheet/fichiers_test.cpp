// The score sheet's files: CSV and spreadsheet bytes, the spreadsheet read back by an
// independent reader (python3-xlrd), the saved flag while results keep arriving, and both saves
// under faults (killed, disk full, file-size limit, read-only file).

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#if defined(__x86_64__)
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#endif

#include <algorithm>
#include <cstddef>
#include <random>
#include <thread>

#include "platform/Ansi.h"
#include "platform/Erreur.h"
#include "platform/Signaux.h"
#include "scoresheet/KorFichiersResultats.h"
#include "scoresheet/KorTableResultats.h"
#include "tests/Outils.h"

namespace {

namespace fs = std::filesystem;

std::string Hex(const std::string& octets) {
  static const char* chiffres = "0123456789ABCDEF";
  std::string h;
  for (unsigned char c : octets) {
    if (!h.empty()) h += ' ';
    h += chiffres[c >> 4];
    h += chiffres[c & 15];
  }
  return h;
}

std::string Octets(std::initializer_list<int> liste) {
  std::string s;
  for (int b : liste) s.push_back(static_cast<char>(b));
  return s;
}

class FichiersResultatsSurDisque : public DossierTemporaire {
 protected:
  void SetUp() override {
    DossierTemporaire::SetUp();
    Dossier = DossierTemporaire::Dossier;
  }
  // The same folder, as a path: these tests build their file names with '/'.
  fs::path Dossier;
};

TGrilleResultats TableVide() { return {TitresResultats(), TLigneResultat{}}; }

const std::string Bof = Octets({0x09, 0x08, 0x08, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x00, 0x00});
const std::string Eof = Octets({0x0A, 0x00, 0x00, 0x00});

std::string Label(int ligne, int colonne, const std::string& texte) {
  const int n = static_cast<int>(texte.size());
  return Octets({0x04, 0x02, (n + 8) & 0xFF, (n + 8) >> 8, ligne & 0xFF, ligne >> 8, colonne, 0, 0, 0,
                 n & 0xFF, n >> 8}) +
         texte;
}

std::string Rk(int ligne, int colonne, std::uint32_t valeur) {
  return Octets({0x7E, 0x02, 0x0A, 0x00, ligne & 0xFF, ligne >> 8, colonne, 0, 0, 0, int(valeur & 0xFF),
                 int((valeur >> 8) & 0xFF), int((valeur >> 16) & 0xFF), int(valeur >> 24)});
}

std::string TitresXls() {
  std::string s;
  for (int c = 0; c < 5; ++c) s += Label(0, c, TitresResultats()[c]);
  return s;
}

TEST(FichiersResultats, TableSansResultat) {
  EXPECT_EQ(TexteCsv(TableVide()), "Ordinateur;Candidat;Questionnaire;R\xE9sultat;Maximum\r\n;;;;\r\n");
  // "Résultat" is its 8 ANSI bytes; the free row 1 gives three empty LABELs and two RK 0.
  const std::string attendu = Bof + TitresXls() + Label(1, 0, "") + Label(1, 1, "") + Label(1, 2, "") +
                              Rk(1, 3, 2) + Rk(1, 4, 2) + Eof;
  EXPECT_EQ(Hex(OctetsXls(TableVide())), Hex(attendu));
  EXPECT_EQ(Label(0, 3, "Résultat"_a).size(), 12u + 8u);
}

TEST(FichiersResultats, LignesDeResultats) {
  const TGrilleResultats table = {TitresResultats(),
                                  {"PC1", "Zoé"_a, "quiz;1.xkqq", "70", "100"},
                                  {"PC2", "Bob", "q.kqq", "-5", "abc"}};
  // A ";" inside a cell is written as it is.
  EXPECT_EQ(TexteCsv(table), "Ordinateur;Candidat;Questionnaire;R\xE9sultat;Maximum\r\n"
                             "PC1;Zo\xE9;quiz;1.xkqq;70;100\r\n"
                             "PC2;Bob;q.kqq;-5;abc\r\n");
  const std::string attendu = Bof + TitresXls() + Label(1, 0, "PC1") + Label(1, 1, "Zoé"_a) +
                              Label(1, 2, "quiz;1.xkqq") + Rk(1, 3, 282) + Rk(1, 4, 402) + Label(2, 0, "PC2") +
                              Label(2, 1, "Bob") + Label(2, 2, "q.kqq") + Rk(2, 3, 0xFFFFFFEE) + Rk(2, 4, 2) +
                              Eof;
  EXPECT_EQ(Hex(OctetsXls(table)), Hex(attendu));
}

TEST(FichiersResultats, EntierDeCellule) {
  const std::vector<std::pair<std::string, std::int64_t>> cas = {
      {"70", 70}, {"-5", -5}, {"+3", 3}, {"007", 7}, {"", 0}, {"abc", 0}, {"1 2", 0}, {"-", 0},
      {"7.5", 0}, {"99999999999999999999", std::numeric_limits<std::int64_t>::max()},
      {"-9223372036854775808", std::numeric_limits<std::int64_t>::min()},
      {"-99999999999999999999", std::numeric_limits<std::int64_t>::min()}};
  for (const auto& [texte, valeur] : cas) EXPECT_EQ(EntierDeCellule(texte), valeur) << texte;
}

// Numbers an RK value cannot hold become NUMBER records; a text too long for a LABEL is cut
// where its length still fits, never wrapped.
TEST(FichiersResultats, ValeursHorsDesLimitesDesEnregistrements) {
  std::string flux;
  EcritCelluleEntier(flux, 3, 1, 536870911);
  EXPECT_EQ(Hex(flux), Hex(Rk(1, 3, 0x7FFFFFFE)));
  flux.clear();
  EcritCelluleEntier(flux, 3, 1, -536870912);
  EXPECT_EQ(Hex(flux), Hex(Rk(1, 3, 0x80000002)));
  for (std::int64_t v : {std::int64_t{536870912}, std::int64_t{-536870913}, std::int64_t{3000000000},
                         std::numeric_limits<std::int64_t>::min()}) {
    flux.clear();
    EcritCelluleEntier(flux, 4, 2, v);
    ASSERT_EQ(flux.size(), 18u);
    EXPECT_EQ(Hex(flux.substr(0, 10)), Hex(Octets({0x03, 0x02, 0x0E, 0x00, 2, 0, 4, 0, 0, 0})));
    double d;
    std::memcpy(&d, flux.data() + 10, 8);
    EXPECT_EQ(d, static_cast<double>(v));
  }
  flux.clear();
  EcritCelluleTexte(flux, 1, 1, std::string(70000, 'x'));
  ASSERT_EQ(flux.size(), 12u + 65527u);
  EXPECT_EQ(Hex(flux.substr(0, 12)), Hex(Octets({0x04, 0x02, 0xFF, 0xFF, 1, 0, 1, 0, 0, 0, 0xF7, 0xFF})));
  flux.clear();
  EcritCelluleTexte(flux, 1, 1, std::string(65527, 'x'));
  EXPECT_EQ(flux.size(), 12u + 65527u);
}

TEST(FichiersResultats, PlusDeLignesQueLesEnregistrementsNePeuventNumeroter) {
  TGrilleResultats table(65536);
  EXPECT_NO_THROW(OctetsXls(table));
  table.emplace_back();
  EXPECT_THROW(OctetsXls(table), EWriteError);
}

TEST(FichiersResultats, FormatSelonLExtension) {
  for (const std::string nom : {"Notes.Csv", "notes.CSV", "/a.b/n.csv"}) EXPECT_TRUE(EstNomCsv(nom)) << nom;
  for (const std::string nom : {"notes.txt", "notes", "/x.csv/notes", "notes.csv.xls", "csv"})
    EXPECT_FALSE(EstNomCsv(nom)) << nom;
}

TEST_F(FichiersResultatsSurDisque, EnregistreSelonLeNomChoisi) {
  TTableResultats table;
  table.TCPServerCommandSendDataCommand({"PC1", "Bob", "q.kqq", "7", "10"});
  EXPECT_FALSE(table.ResultatsEnregistres());
  EnregistreResultats(table, (Dossier / "Notes.Csv").string());
  EXPECT_TRUE(table.ResultatsEnregistres());
  EXPECT_EQ(LitOctets(Dossier / "Notes.Csv"), TexteCsv(table.Instantane().Lignes));
  // Any other extension, or none, gives a spreadsheet under that very name.
  for (const char* nom : {"notes.txt", "notes"}) {
    EnregistreResultats(table, (Dossier / nom).string());
    EXPECT_EQ(LitOctets(Dossier / nom), OctetsXls(table.Instantane().Lignes)) << nom;
  }
  // Replacing a file.
  EnregistreResultats(table, (Dossier / "notes").string());
  EXPECT_EQ(LitOctets(Dossier / "notes"), OctetsXls(table.Instantane().Lignes));
}

TEST_F(FichiersResultatsSurDisque, EchecDEnregistrementLaisseLeDrapeau) {
  TTableResultats table;
  table.TCPServerCommandSendDataCommand({"PC1", "Bob", "q.kqq", "7", "10"});
  const std::string nom = (Dossier / "absent" / "notes.csv").string();
  try {
    EnregistreResultats(table, nom);
    FAIL();
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message().rfind("Impossible de créer le fichier \""_a + nom + "\". ", 0), 0u) << e.Message();
  }
  EXPECT_FALSE(table.ResultatsEnregistres());
}

// A row that arrives once the rows were read for the file is not in it, and must still be asked
// about at closing.
TEST(TableResultats, LigneArriveePendantLEnregistrement) {
  TTableResultats table;
  table.TCPServerCommandSendDataCommand({"PC1", "Bob", "q.kqq", "7", "10"});
  const TInstantane copie = table.Instantane();
  table.TCPServerCommandSendDataCommand({"PC2", "Eve", "q.kqq", "8", "10"});
  table.MarqueEnregistre(copie.Generation);
  EXPECT_FALSE(table.ResultatsEnregistres());
  table.MarqueEnregistre(table.Instantane().Generation);
  EXPECT_TRUE(table.ResultatsEnregistres());
}

TEST(TableResultats, AjouteResultat) {
  TTableResultats table;
  EXPECT_EQ(table.NbLignes(), 2);
  // Fewer than five: nothing, the flag unchanged.
  table.TCPServerCommandSendDataCommand({"PC", "Bob", "q", "7"});
  EXPECT_EQ(table.NbLignes(), 2);
  EXPECT_TRUE(table.ResultatsEnregistres());
  // An empty questionnaire fills row 1 and leaves it free.
  table.TCPServerCommandSendDataCommand({"PC0", "Vide", "", "1", "2"});
  EXPECT_EQ(table.NbLignes(), 2);
  EXPECT_FALSE(table.ResultatsEnregistres());
  table.TCPServerCommandSendDataCommand({"PC1", "Bob", "q.kqq", "7", "10", "en trop"});
  EXPECT_EQ(table.NbLignes(), 2);
  table.TCPServerCommandSendDataCommand({"PC2", "Eve", "r.kqq", "8", "10"});
  const TInstantane t = table.Instantane();
  ASSERT_EQ(t.Lignes.size(), 3u);
  EXPECT_EQ(t.Lignes[0], TitresResultats());
  EXPECT_EQ(t.Lignes[1], (TLigneResultat{"PC1", "Bob", "q.kqq", "7", "10"}));
  EXPECT_EQ(t.Lignes[2], (TLigneResultat{"PC2", "Eve", "r.kqq", "8", "10"}));
}

// The spreadsheet as an independent reader sees it: Debian's python3-xlrd reads BIFF streams.
TEST_F(FichiersResultatsSurDisque, LuParUnTableurIndependant) {
  const char* python = "/usr/bin/python3";
  if (::access(python, X_OK) != 0 || std::system("/usr/bin/python3 -c 'import xlrd' 2>/dev/null") != 0)
    GTEST_SKIP() << "python3-xlrd absent (./setup installs it)";
  const TGrilleResultats table = {TitresResultats(),
                                  {"PC1", "Zoé €"_a, "Géo;graphie.xkqq"_a, "70", "100"},
                                  {"PC2", "Bob", "q.kqq", "-5", "abc"},
                                  {"PC3", "", "grand.kqq", "536870912", "-536870912"}};
  const fs::path xls = Dossier / "notes.xls";
  EnregistreXls(xls.string(), table);
  const fs::path script = Dossier / "lit.py";
  std::ofstream(script) << "import sys, xlrd\n"
                           "b = xlrd.open_workbook(sys.argv[1], encoding_override='cp1252')\n"
                           "s = b.sheet_by_index(0)\n"
                           "for r in range(s.nrows):\n"
                           "  cells = []\n"
                           "  for c in range(s.ncols):\n"
                           "    x = s.cell(r, c)\n"
                           "    cells.append('%d' % x.value if x.ctype == xlrd.XL_CELL_NUMBER else x.value)\n"
                           "  sys.stdout.buffer.write(('|'.join(cells) + '\\n').encode('utf-8'))\n";
  const fs::path sortie = Dossier / "sortie.txt";
  const std::string commande =
      std::string(python) + " " + script.string() + " " + xls.string() + " > " + sortie.string() + " 2>&1";
  ASSERT_EQ(std::system(commande.c_str()), 0) << LitOctets(sortie);
  std::string attendu;
  for (std::size_t r = 0; r < table.size(); ++r) {
    for (int c = 0; c < 5; ++c) {
      if (c > 0) attendu += '|';
      attendu += (r > 0 && c >= 3) ? std::to_string(EntierDeCellule(table[r][c])) : ansi::AnsiVersUtf8(table[r][c]);
    }
    attendu += '\n';
  }
  EXPECT_EQ(LitOctets(sortie), attendu);
}

// ---------------------------------------------------------------------------------------------
// Both saves under faults. Each case runs in a child process (the witness), so that a file
// system mounted for it stays its own; the save itself runs in a grandchild, which the fault
// may kill. The witness then looks at the folder, saves again, looks again, and reports.

enum class EPanne {
  TueePremiereEcriture,  // killed (SIGKILL) as the save first writes a byte
  TueeAuHasardDesOctets, // killed as its writes cross a byte chosen at random
  TueeAuHasardDuTemps,   // killed at a random moment while it saves again and again
  DisquePlein,           // a small tmpfs; where none can be mounted, writes refused with ENOSPC
  LimiteDeTaille,        // RLIMIT_FSIZE, SIGXFSZ ignored as the programs set it
  LectureSeule,          // the previous file has its read-only attribute
};

struct TFormatResultats {
  const char* Nom;
  const char* Fichier;
  void (*Enregistre)(const std::string&, const TGrilleResultats&);
  std::string (*Octets)(const TGrilleResultats&);
};

const TFormatResultats Csv{"Csv", "KorResults.csv", &EnregistreCsv, &TexteCsv};
const TFormatResultats Xls{"Xls", "KorResults.xls", &EnregistreXls, &OctetsXls};

struct TCasPanne {
  const char* Nom;
  EPanne Panne;
  int Essais;
  // The failed save's message: its opening words, then the file's name and the system's reason.
  // Both empty: the save is killed.
  std::string Debut;
  std::string Raison;
};

void PrintTo(const TFormatResultats& f, std::ostream* os) { *os << f.Nom; }
void PrintTo(const TCasPanne& c, std::ostream* os) { *os << c.Nom; }

struct TConstat {
  std::vector<std::string> Messages;    // per attempt: what the save raised ("" when killed)
  std::vector<int> Statuts;             // per attempt: the saving process's wait status
  std::vector<std::string> Apres;       // per attempt: the target's bytes after it
  std::vector<std::string> NomsApres;   // the folder after the last attempt
  std::string Suivante;                 // the target after the next save
  std::vector<std::string> NomsSuivante;
  bool Injecte = false;                 // no tmpfs could be mounted: the writes were refused
};

TGrilleResultats Resultats(int lignes, const std::string& candidat) {
  TGrilleResultats t{TitresResultats()};
  for (int i = 0; i < lignes; ++i)
    t.push_back({"POSTE" + std::to_string(i % 40), candidat + std::to_string(i), "Capitales.xkqq",
                 std::to_string(i % 21), "20"});
  return t;
}

std::vector<std::string> NomsDuDossier(const std::string& dossier) {
  std::vector<std::string> noms;
  for (const auto& e : fs::directory_iterator(dossier)) noms.push_back(e.path().filename().string());
  std::sort(noms.begin(), noms.end());
  return noms;
}

// Length-prefixed strings through a pipe.
void EnvoieTexte(int fd, const std::string& s) {
  const std::uint64_t n = s.size();
  std::string octets(reinterpret_cast<const char*>(&n), sizeof n);
  octets += s;
  for (std::size_t fait = 0; fait < octets.size();) {
    const ssize_t r = ::write(fd, octets.data() + fait, octets.size() - fait);
    if (r <= 0) _exit(90);
    fait += static_cast<std::size_t>(r);
  }
}
void EnvoieTextes(int fd, const std::vector<std::string>& v) {
  EnvoieTexte(fd, std::to_string(v.size()));
  for (const std::string& s : v) EnvoieTexte(fd, s);
}
bool LitExactement(int fd, char* p, std::size_t n) {
  for (std::size_t lus = 0; lus < n;) {
    const ssize_t r = ::read(fd, p + lus, n - lus);
    if (r <= 0) return false;
    lus += static_cast<std::size_t>(r);
  }
  return true;
}
std::string RecoitTexte(int fd) {
  std::uint64_t n = 0;
  if (!LitExactement(fd, reinterpret_cast<char*>(&n), sizeof n)) return {};
  std::string s(n, '\0');
  if (!LitExactement(fd, s.data(), s.size())) return {};
  return s;
}
std::vector<std::string> RecoitTextes(int fd) {
  std::vector<std::string> v(std::stoul("0" + RecoitTexte(fd)));
  for (std::string& s : v) s = RecoitTexte(fd);
  return v;
}

// A small tmpfs over the folder, in a mount namespace of this process's own (user namespace
// too when not root).
bool MonteTmpfs(const std::string& dossier, std::size_t octets) {
  const uid_t uid = ::geteuid();
  const gid_t gid = ::getegid();
  if (uid == 0) {
    if (::unshare(CLONE_NEWNS) != 0) return false;
  } else {
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return false;
    std::ofstream("/proc/self/setgroups") << "deny";
    std::ofstream("/proc/self/uid_map") << uid << ' ' << uid << " 1";
    std::ofstream("/proc/self/gid_map") << gid << ' ' << gid << " 1";
  }
  if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return false;
  const std::string options = "size=" + std::to_string(octets) + ",mode=0700";
  return ::mount("tmpfs", dossier.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

// Every write to a descriptor above 2 but sauf fails with ENOSPC, as on a full disk.
bool RefuseLesEcritures(int sauf) {
#if defined(__x86_64__)
  sock_filter filtre[] = {
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AUDIT_ARCH_X86_64, 0, 5),
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_write, 0, 3),
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[0])),
      BPF_JUMP(BPF_JMP | BPF_JGE | BPF_K, 3, 0, 1),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<std::uint32_t>(sauf), 0, 1),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | ENOSPC),
  };
  sock_fprog programme{static_cast<unsigned short>(std::size(filtre)), filtre};
  return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
         ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &programme) == 0;
#else
  (void)sauf;
  return false;
#endif
}

// A write that would take the file past limite bytes kills the process, as kill -9 would.
void TueAuDelaDe(rlim_t limite) {
  struct sigaction a {};
  a.sa_handler = [](int) { ::kill(::getpid(), SIGKILL); };
  ::sigaction(SIGXFSZ, &a, nullptr);
  rlimit l{};
  ::getrlimit(RLIMIT_FSIZE, &l);
  l.rlim_cur = limite;
  ::setrlimit(RLIMIT_FSIZE, &l);
}

// The witness's whole run; returns what it saw.
TConstat Temoigne(const std::string& dossier, const TFormatResultats& format, const TCasPanne& cas) {
  int tube[2];
  if (::pipe(tube) != 0) return {};
  const pid_t temoin = ::fork();
  if (temoin == 0) {
    ::close(tube[0]);
    TConstat c;
    const std::string cible = dossier + "/" + format.Fichier;
    const TGrilleResultats ancien = Resultats(3, "Ancien"), nouveau = Resultats(5000, "Nouveau"),
                           suivante = Resultats(4, "Suivant");
    if (cas.Panne == EPanne::DisquePlein) c.Injecte = !MonteTmpfs(dossier, 64 * 1024);
    std::mt19937 alea(std::random_device{}());
    const std::size_t taille = format.Octets(nouveau).size();
    EcritOctets(cible, format.Octets(ancien));
    if (cas.Panne == EPanne::LectureSeule) ::chmod(cible.c_str(), 0444);
    for (int essai = 0; essai < cas.Essais; ++essai) {
      // Drawn here: the saver's copy of the generator would start from the same state each time.
      const std::uint32_t tirage = alea();
      int message[2];
      if (::pipe(message) != 0) _exit(91);
      const pid_t sauveur = ::fork();
      if (sauveur == 0) {
        ::close(message[0]);
        switch (cas.Panne) {
          case EPanne::TueePremiereEcriture: TueAuDelaDe(0); break;
          case EPanne::TueeAuHasardDesOctets: TueAuDelaDe(1 + tirage % (taille - 1)); break;
          case EPanne::DisquePlein:
            if (c.Injecte && !RefuseLesEcritures(message[1])) _exit(92);
            break;
          case EPanne::LimiteDeTaille:
            PrepareSignaux();
            {
              rlimit l{};
              ::getrlimit(RLIMIT_FSIZE, &l);
              l.rlim_cur = taille / 2;
              ::setrlimit(RLIMIT_FSIZE, &l);
            }
            break;
          case EPanne::TueeAuHasardDuTemps:
          case EPanne::LectureSeule: break;
        }
        try {
          if (cas.Panne == EPanne::TueeAuHasardDuTemps) {
            // Ready: from now on the witness may kill this process at any moment.
            EnvoieTexte(message[1], "");
            for (;;) format.Enregistre(cible, nouveau);
          }
          format.Enregistre(cible, nouveau);
        } catch (const EErreur& e) {
          EnvoieTexte(message[1], e.Message());
        }
        _exit(0);
      }
      ::close(message[1]);
      std::string texte = RecoitTexte(message[0]);
      if (cas.Panne == EPanne::TueeAuHasardDuTemps) {
        std::this_thread::sleep_for(std::chrono::microseconds(tirage % 20000));
        ::kill(sauveur, SIGKILL);
        texte.clear();
      }
      ::close(message[0]);
      int statut = 0;
      ::waitpid(sauveur, &statut, 0);
      c.Messages.push_back(texte);
      c.Statuts.push_back(statut);
      c.Apres.push_back(LitOctets(cible));
    }
    c.NomsApres = NomsDuDossier(dossier);
    // The user clears the attribute before trying again.
    if (cas.Panne == EPanne::LectureSeule) ::chmod(cible.c_str(), 0644);
    try {
      format.Enregistre(cible, suivante);
    } catch (const EErreur& e) {
      c.Suivante = "échec : " + e.Message();
    }
    if (c.Suivante.empty()) c.Suivante = LitOctets(cible);
    c.NomsSuivante = NomsDuDossier(dossier);
    EnvoieTextes(tube[1], c.Messages);
    std::vector<std::string> statuts;
    for (int s : c.Statuts) statuts.push_back(std::to_string(s));
    EnvoieTextes(tube[1], statuts);
    EnvoieTextes(tube[1], c.Apres);
    EnvoieTextes(tube[1], c.NomsApres);
    EnvoieTexte(tube[1], c.Suivante);
    EnvoieTextes(tube[1], c.NomsSuivante);
    EnvoieTexte(tube[1], c.Injecte ? "1" : "0");
    _exit(0);
  }
  ::close(tube[1]);
  TConstat c;
  c.Messages = RecoitTextes(tube[0]);
  for (const std::string& s : RecoitTextes(tube[0])) c.Statuts.push_back(std::stoi(s));
  c.Apres = RecoitTextes(tube[0]);
  c.NomsApres = RecoitTextes(tube[0]);
  c.Suivante = RecoitTexte(tube[0]);
  c.NomsSuivante = RecoitTextes(tube[0]);
  c.Injecte = RecoitTexte(tube[0]) == "1";
  ::close(tube[0]);
  int statut = 0;
  ::waitpid(temoin, &statut, 0);
  EXPECT_TRUE(WIFEXITED(statut) && WEXITSTATUS(statut) == 0) << statut;
  return c;
}

class EnregistrementsEnPanne : public DossierTemporaire,
                               public ::testing::WithParamInterface<std::tuple<TFormatResultats, TCasPanne>> {};

// After any failure the previous file is there byte for byte, or the new one whole; the next save
// leaves no temporary file behind; a failure that is not a kill says why, in the usual words.
TEST_P(EnregistrementsEnPanne, LAncienFichierIntactOuLeNouveauComplet) {
  const auto& [format, cas] = GetParam();
  const TConstat c = Temoigne(Dossier, format, cas);
  const std::string cible = Dossier + "/" + format.Fichier;
  const std::string ancien = format.Octets(Resultats(3, "Ancien"));
  const std::string nouveau = format.Octets(Resultats(5000, "Nouveau"));
  ASSERT_EQ(c.Apres.size(), static_cast<std::size_t>(cas.Essais));
  for (int essai = 0; essai < cas.Essais; ++essai) {
    SCOPED_TRACE("essai " + std::to_string(essai));
    const std::string& apres = c.Apres[static_cast<std::size_t>(essai)];
    const int statut = c.Statuts[static_cast<std::size_t>(essai)];
    if (cas.Debut.empty()) {
      EXPECT_TRUE(WIFSIGNALED(statut) && WTERMSIG(statut) == SIGKILL) << statut;
      EXPECT_TRUE(apres == ancien || apres == nouveau) << apres.size() << " octets";
    } else {
      EXPECT_TRUE(WIFEXITED(statut) && WEXITSTATUS(statut) == 0) << statut;
      EXPECT_EQ(c.Messages[static_cast<std::size_t>(essai)], cas.Debut + " \"" + cible + "\". " + cas.Raison);
      EXPECT_EQ(apres, ancien);
    }
  }
  if (!cas.Debut.empty()) {
    EXPECT_EQ(c.NomsApres, std::vector<std::string>{format.Fichier});
  }
  EXPECT_EQ(c.Suivante, format.Octets(Resultats(4, "Suivant")));
  EXPECT_EQ(c.NomsSuivante, std::vector<std::string>{format.Fichier});
  if (c.Injecte) std::printf("(aucun tmpfs : écritures refusées par un filtre)\n");
}

const TCasPanne CasPannes[] = {
    {"TueePremiereEcriture", EPanne::TueePremiereEcriture, 1, "", ""},
    {"TueeAuHasardDesOctets", EPanne::TueeAuHasardDesOctets, 12, "", ""},
    {"TueeAuHasardDuTemps", EPanne::TueeAuHasardDuTemps, 12, "", ""},
    {"DisquePlein", EPanne::DisquePlein, 1, "Erreur d'écriture dans le fichier"_a, "Espace insuffisant sur le disque."_a},
    {"LimiteDeTaille", EPanne::LimiteDeTaille, 1, "Erreur d'écriture dans le fichier"_a,
     "Le fichier dépasse la taille permise."_a},
    {"LectureSeule", EPanne::LectureSeule, 1, "Impossible de créer le fichier"_a, "Accès refusé."_a},
};

INSTANTIATE_TEST_SUITE_P(Pannes, EnregistrementsEnPanne,
                         ::testing::Combine(::testing::Values(Csv, Xls), ::testing::ValuesIn(CasPannes)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).Nom) + std::get<1>(info.param).Nom;
                         });

}  // namespace
