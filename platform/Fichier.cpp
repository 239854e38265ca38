#include "platform/Fichier.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>
#include <vector>

#include "platform/Ansi.h"
#include "platform/Chemin.h"

namespace {

// Not an errno value: the path names something that is neither a file nor a folder.
constexpr int PasUnFichier = -1;

std::string Dossier(const std::string& chemin) {
  const auto barre = chemin.rfind('/');
  if (barre == std::string::npos) return ".";
  if (barre == 0) return "/";
  return chemin.substr(0, barre);
}

bool EstDossier(const std::string& chemin) {
  struct stat st {};
  return ::stat(chemin.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The reason of an opening that failed: a missing folder is told apart from a missing file.
std::string RaisonPour(const std::string& chemin, int erreur) {
  if (erreur == ENOENT && !EstDossier(Dossier(chemin))) return "Le chemin d'accès spécifié est introuvable."_a;
  if (erreur == PasUnFichier) return "Ce chemin ne désigne pas un fichier ordinaire."_a;
  return RaisonSysteme(erreur);
}

[[noreturn]] void ErreurOuverture(const std::string& chemin, EModeOuverture mode, int erreur) {
  const std::string nom = ansi::Utf8VersAnsi(chemin);
  const std::string raison = RaisonPour(chemin, erreur);
  if (mode == EModeOuverture::Creation)
    throw EFCreateError("Impossible de créer le fichier \""_a + nom + "\". " + raison);
  throw EFOpenError("Impossible d'ouvrir le fichier \""_a + nom + "\". " + raison);
}

[[noreturn]] void ErreurCreation(const std::string& chemin, int erreur) {
  ErreurOuverture(chemin, EModeOuverture::Creation, erreur);
}

[[noreturn]] void ErreurLecture(const std::string& chemin, const std::string& raison) {
  throw EReadError("Erreur de lecture du fichier \""_a + ansi::Utf8VersAnsi(chemin) + "\". " + raison);
}

[[noreturn]] void ErreurEcriture(const std::string& chemin, const std::string& raison) {
  throw EWriteError("Erreur d'écriture dans le fichier \""_a + ansi::Utf8VersAnsi(chemin) + "\". " +
                    raison);
}

int Verrouille(int fd, int operation) {
  int r;
  do r = ::flock(fd, operation | LOCK_NB);
  while (r != 0 && errno == EINTR);
  return r;
}

// Regular files only: a folder cannot be read as a stream, and reading a pipe or a device
// could block or never end.
int VerifieFichierOrdinaire(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return errno;
  if (S_ISDIR(st.st_mode)) return EISDIR;
  if (!S_ISREG(st.st_mode)) return PasUnFichier;
  return 0;
}

// The file a chain of symbolic links ends at (which need not exist yet).
std::string SuitLiens(const std::string& cible) {
  std::string chemin = cible;
  for (int saut = 0; saut < 40; ++saut) {
    struct stat st {};
    if (::lstat(chemin.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return chemin;
    std::vector<char> lien(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
    const ssize_t n = ::readlink(chemin.c_str(), lien.data(), lien.size());
    if (n < 0) ErreurCreation(cible, errno);
    if (static_cast<std::size_t>(n) >= lien.size()) continue;  // changed meanwhile: read it again
    const std::string suite(lien.data(), static_cast<std::size_t>(n));
    chemin = suite.starts_with('/') ? suite : Dossier(chemin) + "/" + suite;
  }
  ErreurCreation(cible, ELOOP);
}

constexpr std::size_t LongueurSuffixe = 10;

std::string SuffixeAleatoire() {
  static constexpr char Signes[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device alea;
  std::string s;
  for (std::size_t i = 0; i < LongueurSuffixe; ++i) s += Signes[alea() % (sizeof Signes - 1)];
  return s;
}

// Makes the rename itself durable; the new content is already on disk, so a failure here
// changes nothing for the caller.
void SynchroniseDossier(const std::string& dossier) {
  const int fd = ::open(dossier.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// The name of a temporary file of a save of the target named base: "." base "." suffix ".tmp".
std::string NomTemporaire(const std::string& base, const std::string& suffixe) {
  return "." + base + "." + suffixe + ".tmp";
}

bool EstNomTemporaire(const std::string& nom, const std::string& base) {
  const std::string debut = "." + base + ".";
  const std::string fin = ".tmp";
  if (nom.size() != debut.size() + LongueurSuffixe + fin.size() || !nom.starts_with(debut) || !nom.ends_with(fin))
    return false;
  for (std::size_t i = debut.size(); i < debut.size() + LongueurSuffixe; ++i)
    if (!((nom[i] >= 'a' && nom[i] <= 'z') || (nom[i] >= '0' && nom[i] <= '9'))) return false;
  return true;
}

// Removes what earlier saves of the same target left when they died (killed, power cut): a live
// save holds its temporary file locked for as long as it runs, so a file of that name that can be
// locked belongs to no running save. Only this user's regular files are looked at; each is removed
// while its lock is held, and only if the name still denotes the file that was locked.
void RetireTemporairesAbandonnes(const std::string& dossier, const std::string& base) {
  DIR* d = ::opendir(dossier.c_str());
  if (d == nullptr) return;
  std::vector<std::string> noms;
  while (const dirent* e = ::readdir(d))
    if (EstNomTemporaire(e->d_name, base)) noms.emplace_back(e->d_name);
  ::closedir(d);
  for (const std::string& nom : noms) {
    const std::string chemin = dossier + "/" + nom;
    const int fd = ::open(chemin.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) continue;
    struct stat parFd {}, parNom {};
    if (::fstat(fd, &parFd) == 0 && S_ISREG(parFd.st_mode) && parFd.st_uid == ::geteuid() &&
        Verrouille(fd, LOCK_EX) == 0 && ::lstat(chemin.c_str(), &parNom) == 0 &&
        parNom.st_dev == parFd.st_dev && parNom.st_ino == parFd.st_ino)
      ::unlink(chemin.c_str());
    ::close(fd);
  }
}

// Creates and locks this save's temporary file next to the target. A name that a cleaning save
// locked or removed between the creation and the lock is given up for another. Returns -1 with
// errno set when the folder refuses it.
int CreeTemporaire(const std::string& dossier, const std::string& base, std::string& temp) {
  for (int essai = 0; essai <= 100; ++essai) {
    temp = dossier + "/" + NomTemporaire(base, SuffixeAleatoire());
    const int fd = ::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return -1;
    }
    struct stat parFd {}, parNom {};
    if (Verrouille(fd, LOCK_EX) == 0 && ::fstat(fd, &parFd) == 0 && ::lstat(temp.c_str(), &parNom) == 0 &&
        parNom.st_dev == parFd.st_dev && parNom.st_ino == parFd.st_ino)
      return fd;
    ::close(fd);
  }
  errno = EEXIST;
  return -1;
}

}  // namespace

std::string RaisonSysteme(int erreur) {
  switch (erreur) {
    case ENOENT: return "Le fichier spécifié est introuvable."_a;
    case EACCES:
    case EPERM: return "Accès refusé."_a;
    case EWOULDBLOCK:
    case ETXTBSY: return "Le processus ne peut pas accéder au fichier car ce fichier est utilisé par un autre processus."_a;
    case EISDIR: return "Ce chemin désigne un dossier, pas un fichier."_a;
    case ENOTDIR: return "Le chemin d'accès spécifié est introuvable."_a;
    case ENOSPC: return "Espace insuffisant sur le disque."_a;
    case EDQUOT: return "Quota d'espace disque dépassé."_a;
    case EFBIG: return "Le fichier dépasse la taille permise."_a;
    case ENAMETOOLONG: return "Le nom de fichier ou l'extension est trop long."_a;
    case EROFS: return "Le support est protégé en écriture."_a;
    case ELOOP: return "Trop de liens symboliques dans le chemin d'accès."_a;
    case EEXIST: return "Le fichier existe déjà."_a;
    case EMFILE:
    case ENFILE: return "Le système ne peut pas ouvrir le fichier : trop de fichiers ouverts."_a;
    case ENOMEM: return "Mémoire insuffisante pour traiter cette commande."_a;
    case EIO: return "Erreur d'entrée/sortie sur le périphérique."_a;
    case EINVAL: return "Paramètre incorrect."_a;
    case EBADF: return "Le fichier n'est pas ouvert pour cette opération."_a;
    default: {
      const char* texte = ::strerrordesc_np(erreur);
      return "Erreur système "_a + std::to_string(erreur) +
             (texte ? " (" + ansi::Utf8VersAnsi(texte) + ")." : std::string("."));
    }
  }
}

TFlux::TFlux(int fd, std::string chemin, EModeOuverture mode)
    : FFd(fd), FChemin(std::move(chemin)), FMode(mode) {}

TFlux::~TFlux() {
  if (FFd >= 0) ::close(FFd);
}

std::unique_ptr<TFlux> TFlux::Ouvre(const std::string& chemin, EModeOuverture mode) {
  // O_NONBLOCK keeps a named pipe from blocking the open; it is dropped once the file is known
  // to be a regular one. No O_TRUNC: a file is emptied only once its lock is held.
  int drapeaux = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
  switch (mode) {
    case EModeOuverture::Lecture: drapeaux |= O_RDONLY; break;
    case EModeOuverture::LectureEcriture: drapeaux |= O_RDWR; break;
    case EModeOuverture::Creation: drapeaux |= O_RDWR | O_CREAT; break;
  }
  int fd;
  do fd = ::open(chemin.c_str(), drapeaux, 0666);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) ErreurOuverture(chemin, mode, errno);
  auto echec = [&](int erreur) {
    ::close(fd);
    ErreurOuverture(chemin, mode, erreur);
  };
  if (const int e = VerifieFichierOrdinaire(fd)) echec(e);
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  if (Verrouille(fd, mode == EModeOuverture::Lecture ? LOCK_SH : LOCK_EX) != 0) echec(errno);
  if (mode == EModeOuverture::Creation && ::ftruncate(fd, 0) != 0) echec(errno);
  return std::unique_ptr<TFlux>(new TFlux(fd, chemin, mode));
}

std::size_t TFlux::Lit(void* tampon, std::size_t n) {
  auto* p = static_cast<char*>(tampon);
  std::size_t lus = 0;
  while (lus < n) {
    const ssize_t r = ::read(FFd, p + lus, n - lus);
    if (r < 0) {
      if (errno == EINTR) continue;
      ErreurLecture(FChemin, RaisonSysteme(errno));
    }
    if (r == 0) break;
    lus += static_cast<std::size_t>(r);
  }
  return lus;
}

void TFlux::LitTout(void* tampon, std::size_t n) {
  if (Lit(tampon, n) != n) ErreurLecture(FChemin, "Fin du fichier atteinte."_a);
}

void TFlux::Ecrit(const void* tampon, std::size_t n) {
  const auto* p = static_cast<const char*>(tampon);
  std::size_t ecrits = 0;
  while (ecrits < n) {
    const ssize_t r = ::write(FFd, p + ecrits, n - ecrits);
    if (r < 0) {
      if (errno == EINTR) continue;
      ErreurEcriture(FChemin, RaisonSysteme(errno));
    }
    if (r == 0) ErreurEcriture(FChemin, RaisonSysteme(ENOSPC));
    ecrits += static_cast<std::size_t>(r);
  }
}

namespace {

// The rest of the file into a buffer of one byte more than the size announced, so that the read
// that ends at the file's end is also the check that it did not grow meanwhile; only a file that
// grew has its buffer enlarged. agrandit(taille, gardes) returns a buffer of taille bytes that
// keeps its first gardes bytes. Returns the number of bytes read.
template <class FAgrandit>
std::size_t LitResteDans(TFlux& flux, FAgrandit&& agrandit) {
  const std::int64_t reste = flux.Taille() - flux.Position();
  std::size_t taille = static_cast<std::size_t>(reste > 0 ? reste : 0) + 1;
  char* tampon = agrandit(taille, 0);
  std::size_t n = flux.Lit(tampon, taille);
  while (n == taille) {
    taille += std::max<std::size_t>(taille / 2, 65536);
    tampon = agrandit(taille, n);
    n += flux.Lit(tampon + n, taille - n);
  }
  return n;
}

}  // namespace

std::string TFlux::LitReste() {
  std::string s;
  const std::size_t n = LitResteDans(*this, [&](std::size_t taille, std::size_t) {
    s.resize(taille);
    return s.data();
  });
  s.resize(n);
  return s;
}

std::unique_ptr<char[]> TFlux::LitReste(std::size_t& taille) {
  std::unique_ptr<char[]> octets;
  taille = LitResteDans(*this, [&](std::size_t t, std::size_t gardes) {
    auto nouveaux = std::make_unique_for_overwrite<char[]>(t);
    if (gardes > 0) std::memcpy(nouveaux.get(), octets.get(), gardes);
    octets = std::move(nouveaux);
    return octets.get();
  });
  return octets;
}

std::int64_t TFlux::Position() const {
  const off_t p = ::lseek(FFd, 0, SEEK_CUR);
  if (p < 0) ErreurLecture(FChemin, RaisonSysteme(errno));
  return p;
}

void TFlux::Positionne(std::int64_t position) {
  if (::lseek(FFd, static_cast<off_t>(position), SEEK_SET) < 0) ErreurLecture(FChemin, RaisonSysteme(errno));
}

std::int64_t TFlux::Taille() const {
  struct stat st {};
  if (::fstat(FFd, &st) != 0) ErreurLecture(FChemin, RaisonSysteme(errno));
  return st.st_size;
}

void TFlux::Vide() {
  if (::ftruncate(FFd, 0) != 0) ErreurEcriture(FChemin, RaisonSysteme(errno));
  if (::lseek(FFd, 0, SEEK_SET) < 0) ErreurEcriture(FChemin, RaisonSysteme(errno));
}

bool FichierExiste(const std::string& chemin) {
  struct stat st {};
  return ::stat(chemin.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool EstLectureSeule(const std::string& chemin) {
  struct stat st {};
  return ::stat(chemin.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) && !(st.st_mode & S_IWUSR);
}

bool FixeLectureSeule(const std::string& chemin, bool lectureSeule) {
  struct stat st {};
  if (::stat(chemin.c_str(), &st) != 0) return false;
  const mode_t mode = lectureSeule ? (st.st_mode & ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH)) : (st.st_mode | S_IWUSR);
  return ::chmod(chemin.c_str(), mode & 07777) == 0;
}

std::unique_ptr<TFlux> TFlux::RecritSurPlace(const std::string& cible, const TFlux& tenu,
                                             const std::function<void(TFlux&)>& ecrire) {
  // The whole new content first, in memory: nothing of the file is touched while it is built.
  const int memoire = ::memfd_create("sauvegarde", MFD_CLOEXEC);
  if (memoire < 0) ErreurCreation(cible, errno);
  std::unique_ptr<TFlux> brouillon(new TFlux(memoire, cible, EModeOuverture::Creation));
  ecrire(*brouillon);
  const std::int64_t position = brouillon->Position();
  brouillon->Positionne(0);
  const std::string octets = brouillon->LitReste();
  brouillon.reset();

  // The same opening as the held stream, so its lock stays held once the caller drops that one.
  const int fd = ::fcntl(tenu.FFd, F_DUPFD_CLOEXEC, 0);
  if (fd < 0) ErreurCreation(cible, errno);
  std::unique_ptr<TFlux> flux(new TFlux(fd, cible, EModeOuverture::LectureEcriture));
  flux->Positionne(0);
  flux->Ecrit(octets);
  if (::ftruncate(fd, static_cast<off_t>(octets.size())) != 0) ErreurEcriture(cible, RaisonSysteme(errno));
  int r;
  do r = ::fsync(fd);
  while (r != 0 && errno == EINTR);
  if (r != 0) ErreurEcriture(cible, RaisonSysteme(errno));
  flux->Positionne(position);
  return flux;
}

std::unique_ptr<TFlux> EnregistreSur(const std::string& cible, const TFlux* fluxTenu,
                                     const std::function<void(TFlux&)>& ecrire) {
  // Through a link, the file replaced is the one the link names; the link stays.
  const std::string reel = SuitLiens(cible);
  const std::string dossier = Dossier(reel);

  struct stat st {};
  const bool existe = ::stat(reel.c_str(), &st) == 0;
  if (!existe && errno != ENOENT) ErreurCreation(cible, errno);
  bool estTenu = false;
  if (existe) {
    if (S_ISDIR(st.st_mode)) ErreurCreation(cible, EISDIR);
    if (!S_ISREG(st.st_mode)) ErreurCreation(cible, PasUnFichier);
    struct stat tenu {};
    estTenu = fluxTenu && ::fstat(fluxTenu->FFd, &tenu) == 0 && tenu.st_dev == st.st_dev &&
              tenu.st_ino == st.st_ino;
    if (!estTenu) {
      // A rename ignores the target's permissions and locks: ask what opening it would have said.
      if (!(st.st_mode & S_IWUSR)) ErreurCreation(cible, EACCES);
      const int fd = ::open(reel.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
      if (fd < 0) ErreurCreation(cible, errno);
      const int libre = Verrouille(fd, LOCK_EX);
      const int e = errno;
      ::close(fd);  // releases the test lock at once
      if (libre != 0) ErreurCreation(cible, e);
    }
  }

  // The temporary file sits next to the real target, so that the rename stays on one file system.
  std::string base = NomSansDossier(reel);
  if (base.size() > 200) base.resize(200);
  RetireTemporairesAbandonnes(dossier, base);
  std::string temp;
  const int fd = CreeTemporaire(dossier, base, temp);
  if (fd < 0) {
    const int erreur = errno;
    // A file this user may rewrite in a folder where they may not create one: the held stream is
    // rewritten in place.
    if ((erreur == EACCES || erreur == EPERM) && estTenu && fluxTenu->Mode() != EModeOuverture::Lecture)
      return TFlux::RecritSurPlace(cible, *fluxTenu, ecrire);
    ErreurCreation(cible, erreur);
  }
  std::unique_ptr<TFlux> flux(new TFlux(fd, cible, EModeOuverture::Creation));
  try {
    if (existe) {
      // The owner first (possible for root; a group we belong to otherwise), then the bits,
      // since a change of owner clears some of them.
      if (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) {
        if (::fchown(fd, st.st_uid, st.st_gid) != 0) {
          [[maybe_unused]] const int groupe = ::fchown(fd, uid_t(-1), st.st_gid);  // best effort
        }
      }
      if (::fchmod(fd, st.st_mode & 0777) != 0) ErreurCreation(cible, errno);
    }
    ecrire(*flux);
    int r;
    do r = ::fsync(fd);
    while (r != 0 && errno == EINTR);
    if (r != 0) ErreurEcriture(cible, RaisonSysteme(errno));
    if (::rename(temp.c_str(), reel.c_str()) != 0) ErreurCreation(cible, errno);
  } catch (...) {
    flux.reset();
    ::unlink(temp.c_str());
    throw;
  }
  SynchroniseDossier(dossier);
  return flux;
}
