#pragma once
// A desktop of the test's own for the logout tests: an X server (Xvfb, on the display it picks
// itself, so that tests running side by side never share one), the programs started on it as
// child processes, and xdotool to look for their windows and type into them.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace test_session {

// A child process with its own environment (the test's, with these variables set), ended with
// the object if it is still running.
class TProcessus {
 public:
  TProcessus(const std::vector<std::string>& arguments, const std::map<std::string, std::string>& variables,
             int sortie = -1) {
    std::map<std::string, std::string> env;
    for (char** e = environ; *e; ++e) {
      const std::string ligne = *e;
      const auto egal = ligne.find('=');
      if (egal != std::string::npos) env[ligne.substr(0, egal)] = ligne.substr(egal + 1);
    }
    for (const auto& [nom, valeur] : variables) env[nom] = valeur;
    std::vector<std::string> lignes;
    for (const auto& [nom, valeur] : env) lignes.push_back(nom + "=" + valeur);
    std::vector<char*> envp, argv;
    for (std::string& l : lignes) envp.push_back(l.data());
    envp.push_back(nullptr);
    std::vector<std::string> args = arguments;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (sortie >= 0) posix_spawn_file_actions_adddup2(&actions, sortie, STDOUT_FILENO);
    if (::posix_spawnp(&FPid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) FPid = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~TProcessus() {
    if (FPid > 0 && !FFini) {
      ::kill(FPid, SIGKILL);
      ::waitpid(FPid, &FStatut, 0);
    }
  }
  TProcessus(const TProcessus&) = delete;
  TProcessus& operator=(const TProcessus&) = delete;

  bool Lance() const { return FPid > 0; }
  pid_t Pid() const { return FPid; }
  // True once the process has ended (within the time); its exit status is then known.
  bool Attends(std::chrono::milliseconds delai) {
    const auto fin = std::chrono::steady_clock::now() + delai;
    while (!FFini && FPid > 0) {
      if (::waitpid(FPid, &FStatut, WNOHANG) == FPid) {
        FFini = true;
        break;
      }
      if (std::chrono::steady_clock::now() >= fin) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return FFini;
  }
  bool EnCours() { return FPid > 0 && !Attends(std::chrono::milliseconds(0)); }
  // The exit code of a process that ended by itself, else -1.
  int Code() const { return FFini && WIFEXITED(FStatut) ? WEXITSTATUS(FStatut) : -1; }

 private:
  pid_t FPid = -1;
  int FStatut = 0;
  bool FFini = false;
};

// An X server of the test's own; Affichage() is its DISPLAY, empty when it could not start.
class TServeurX {
 public:
  TServeurX() {
    int tube[2];
    if (::pipe(tube) != 0) return;
    FServeur = std::make_unique<TProcessus>(
        std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(tube[1]), "-nolisten", "tcp", "-screen", "0",
                                 "1280x1024x24"},
        std::map<std::string, std::string>{});
    ::close(tube[1]);
    std::string numero;
    char c;
    while (::read(tube[0], &c, 1) == 1 && c != '\n') numero += c;
    ::close(tube[0]);
    if (!numero.empty()) FAffichage = ":" + numero;
  }
  const std::string& Affichage() const { return FAffichage; }

 private:
  std::unique_ptr<TProcessus> FServeur;
  std::string FAffichage;
};

// Runs xdotool on that display; its output (first line), or nothing when it fails.
inline std::optional<std::string> Xdotool(const std::string& affichage, const std::vector<std::string>& arguments) {
  int tube[2];
  if (::pipe2(tube, O_CLOEXEC) != 0) return std::nullopt;
  std::vector<std::string> ligne{"xdotool"};
  ligne.insert(ligne.end(), arguments.begin(), arguments.end());
  TProcessus xdotool(ligne, {{"DISPLAY", affichage}}, tube[1]);
  ::close(tube[1]);
  std::string sortie;
  char tampon[256];
  ssize_t n;
  while ((n = ::read(tube[0], tampon, sizeof tampon)) > 0) sortie.append(tampon, static_cast<std::size_t>(n));
  ::close(tube[0]);
  if (!xdotool.Attends(std::chrono::seconds(10)) || xdotool.Code() != 0) return std::nullopt;
  return sortie.substr(0, sortie.find('\n'));
}

// The visible window whose title is that one, once it shows (within the time); its id for xdotool.
inline std::optional<std::string> AttendsFenetre(const std::string& affichage, const std::string& titre,
                                                 std::chrono::milliseconds delai = std::chrono::seconds(20)) {
  const auto fin = std::chrono::steady_clock::now() + delai;
  do {
    if (auto id = Xdotool(affichage, {"search", "--onlyvisible", "--name", "^" + titre + "$"}); id && !id->empty())
      return id;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  } while (std::chrono::steady_clock::now() < fin);
  return std::nullopt;
}

// Gives the window the keyboard and presses the keys there, one after the other.
inline bool Touches(const std::string& affichage, const std::string& fenetre, const std::vector<std::string>& touches) {
  if (!Xdotool(affichage, {"windowfocus", "--sync", fenetre})) return false;
  std::vector<std::string> arguments{"key", "--clearmodifiers", "--delay", "50"};
  arguments.insert(arguments.end(), touches.begin(), touches.end());
  return Xdotool(affichage, arguments).has_value();
}

}  // namespace test_session
