// The desktop's logout, as a teacher and a pupil meet it: the programs themselves, each on an X
// server of the test's own, under a session manager of the test's own, their boxes answered by
// keys as a user answers them.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <mutex>

#include "../Outils.h"
#include "../scoresheet/ReseauTest.h"
#include "Bureau.h"
#include "GestionnaireSession.h"
#include "platform/ProtocoleResultats.h"

using namespace test_session;
using namespace std::chrono_literals;
using Horloge = std::chrono::steady_clock;

namespace {

// One report as a player sends it; true when the score sheet acknowledged it.
bool Rapporte(const std::string& candidat) {
  test_reseau::TPair pair(PortFeuilleNotes);
  if (!pair.Connecte || !pair.LitLigne(2000)) return false;
  if (!pair.Envoie(std::string(MotSendData) + "\tposte\t" + candidat + "\tquiz.xkqq\t5\t10\r\n")) return false;
  const std::optional<std::string> reponse = pair.LitLigne(2000);
  return reponse && *reponse == "200 Well received";
}

// Players reporting one after the other, 20 ms apart, for as long as it lives: the instants of
// the reports acknowledged.
class TJoueurs {
 public:
  TJoueurs()
      : FFil([this] {
          for (int i = 0; !FFin; ++i) {
            if (Rapporte("eleve" + std::to_string(i))) {
              std::lock_guard<std::mutex> verrou(FVerrou);
              FRecus.push_back(Horloge::now());
            }
            std::this_thread::sleep_for(20ms);
          }
        }) {}
  ~TJoueurs() {
    FFin = true;
    FFil.join();
  }
  // How many reports were acknowledged between the two instants.
  int RecusEntre(Horloge::time_point debut, Horloge::time_point fin) {
    std::lock_guard<std::mutex> verrou(FVerrou);
    return static_cast<int>(std::count_if(FRecus.begin(), FRecus.end(), [&](auto t) { return t >= debut && t <= fin; }));
  }
  // The first report acknowledged after that instant, once one is (within 12 s).
  std::optional<Horloge::time_point> PremierApres(Horloge::time_point debut) {
    for (int i = 0; i < 120; ++i) {
      std::this_thread::sleep_for(100ms);
      std::lock_guard<std::mutex> verrou(FVerrou);
      for (auto t : FRecus)
        if (t >= debut) return t;
    }
    return std::nullopt;
  }

 private:
  std::atomic<bool> FFin = false;
  std::mutex FVerrou;
  std::vector<Horloge::time_point> FRecus;
  std::thread FFil;
};

}  // namespace

class Deconnexion : public DossierTemporaire {
 protected:
  void SetUp() override {
    DossierTemporaire::SetUp();
    Gestionnaire = std::make_unique<TGestionnaireSession>();
    ASSERT_FALSE(Gestionnaire->Adresse().empty()) << Gestionnaire->Erreur();
    ASSERT_FALSE(X.Affichage().empty()) << "Xvfb";
  }
  void TearDown() override {
    Autre.reset();
    Programme.reset();
    Gestionnaire.reset();
    DossierTemporaire::TearDown();
  }

  // Starts the program on the test's display and session, with settings of its own, and waits
  // until it has registered with the manager and shows the window of that title.
  void Lance(const std::string& programme, const std::vector<std::string>& arguments, const std::string& titre) {
    Programme = LancePrograme(programme, arguments, titre, Fenetre);
  }
  std::unique_ptr<TProcessus> LancePrograme(const std::string& programme, const std::vector<std::string>& arguments,
                                            const std::string& titre, std::string& fenetre) {
    const std::string runtime = Chemin("runtime");
    std::filesystem::create_directory(runtime);
    ::chmod(runtime.c_str(), 0700);
    std::vector<std::string> ligne{programme};
    ligne.insert(ligne.end(), arguments.begin(), arguments.end());
    const std::size_t clients = Gestionnaire->Evenements().size();
    auto processus = std::make_unique<TProcessus>(
        ligne, std::map<std::string, std::string>{{"DISPLAY", X.Affichage()},
                                                  {"SESSION_MANAGER", Gestionnaire->Adresse()},
                                                  {"QT_QPA_PLATFORM", "xcb"},
                                                  {"ORVALINE_REGISTRE", Reglages()},
                                                  {"TMPDIR", Dossier},
                                                  {"HOME", Dossier},
                                                  {"XDG_RUNTIME_DIR", runtime}});
    EXPECT_TRUE(processus->Lance());
    EXPECT_TRUE(Gestionnaire->Attends(EGenre::Client, clients, 20s));
    fenetre = AttendsFenetre(X.Affichage(), titre).value_or("");
    EXPECT_FALSE(fenetre.empty()) << titre;
    return processus;
  }

  // The manager asks for a save before a shutdown; returns where its answers start.
  std::size_t Deconnecte(EInteraction interaction = EInteraction::Toute, int client = 0) {
    const std::size_t depuis = Gestionnaire->Evenements().size();
    Demande = Horloge::now();
    Gestionnaire->DemandeSauvegarde(true, interaction, client);
    return depuis;
  }

  // Answers OK to every box of that caption until the program answers the manager: the score
  // sheet asks again about results that came while its first box was up.
  TEvenement ConfirmeJusquALaReponse(std::size_t depuis, const std::string& titre) {
    for (int essai = 0; essai < 20; ++essai) {
      if (const auto i = Gestionnaire->Attends(EGenre::FinSauvegarde, depuis, 300ms))
        return Gestionnaire->Evenements()[*i];
      if (const auto boite = AttendsFenetre(X.Affichage(), titre, 2s)) Touches(X.Affichage(), *boite, {"Return"});
    }
    ADD_FAILURE() << "no SaveYourselfDone";
    return {EGenre::FinSauvegarde, 0, false, Horloge::now()};
  }

  // The box of that caption, once it shows, answered by those keys.
  void Repond(const std::string& titre, const std::vector<std::string>& touches) {
    const std::optional<std::string> boite = AttendsFenetre(X.Affichage(), titre);
    ASSERT_TRUE(boite) << titre;
    ASSERT_TRUE(Touches(X.Affichage(), *boite, touches));
  }

  // The program's answer to the save: the event, which must come.
  TEvenement FinSauvegarde(std::size_t depuis) {
    const std::optional<std::size_t> i = Gestionnaire->Attends(EGenre::FinSauvegarde, depuis, 20s);
    EXPECT_TRUE(i) << "no SaveYourselfDone";
    if (!i) return TEvenement{EGenre::FinSauvegarde, 0, false, Horloge::now()};
    const TEvenement e = Gestionnaire->Evenements()[*i];
    std::printf("client %d answered the save after %.1f ms (%s, interaction %s)\n", e.Client,
                std::chrono::duration<double, std::milli>(e.Instant - Demande).count(), e.Valeur ? "success" : "failure",
                AInteragi(depuis) ? "asked" : "not asked");
    return e;
  }
  bool AInteragi(std::size_t depuis) {
    return Gestionnaire->Attends(EGenre::Interaction, depuis, 0ms).has_value();
  }
  // InteractDone with the shutdown cancelled, the manager then telling everybody.
  bool AAnnule(std::size_t depuis) {
    const std::optional<std::size_t> i = Gestionnaire->Attends(EGenre::FinInteraction, depuis, 20s);
    return i && Gestionnaire->Evenements()[*i].Valeur && Gestionnaire->Attends(EGenre::Annulation, *i, 1s);
  }

  // The manager's Die; true when the program then ends by itself, with no box left to answer.
  bool MeurtSeul() {
    Gestionnaire->Die();
    return Programme->Attends(10s) && Programme->Code() == 0;
  }

  std::string Reglages() const { return Chemin("reglages.ini"); }

  // Types into the shown card's body in that editor window, where a click puts the cursor.
  void Modifie(const std::string& fenetre, const std::vector<std::string>& touches) {
    ASSERT_TRUE(Xdotool(X.Affichage(), {"mousemove", "--window", fenetre, "300", "200", "click", "1"}));
    std::vector<std::string> frappe{"space"};
    frappe.insert(frappe.end(), touches.begin(), touches.end());
    ASSERT_TRUE(Touches(X.Affichage(), fenetre, frappe));
    // The keys reach the program on its X connection, the manager's word on another: they are
    // given time to be read first.
    std::this_thread::sleep_for(300ms);
  }

  TServeurX X;
  std::unique_ptr<TGestionnaireSession> Gestionnaire;
  std::unique_ptr<TProcessus> Programme;
  std::string Fenetre;
  std::unique_ptr<TProcessus> Autre;  // a second program, when the case has one
  std::string AutreFenetre;
  Horloge::time_point Demande;  // the last request to save
};

// ---------------------------------------------------------------------------------------------
// The editor

class DeconnexionEditeur : public Deconnexion {
 protected:
  void SetUp() override {
    Deconnexion::SetUp();
    if (HasFatalFailure()) return;
    Fichier = Chemin("Classe.xkqr");
    std::filesystem::copy_file(ORVALINE_SOURCE_DIR "/samples/Repertoire.xkqr", Fichier);
    Origine = LitOctets(Fichier);
    Lance(KOREDIT, {Fichier}, "KorEdit - " + Fichier);
  }
  void Modifie() { Deconnexion::Modifie(Fenetre, {"z", "o", "r", "g", "l", "u", "b"}); }
  std::string Fichier;
  std::string Origine;
};

TEST_F(DeconnexionEditeur, AnnulerArreteLaDeconnexionEtGardeLaModification) {
  Modifie();
  const std::size_t depuis = Deconnecte();
  Repond("Avertissement", {"Escape"});
  EXPECT_TRUE(AAnnule(depuis));
  EXPECT_FALSE(FinSauvegarde(depuis).Valeur);
  EXPECT_EQ(LitOctets(Fichier), Origine);
  // The editor goes on with its change: the next logout asks again.
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(Programme->EnCours());
  const std::size_t encore = Deconnecte();
  Repond("Avertissement", {"Escape"});
  EXPECT_TRUE(AAnnule(encore));
}

TEST_F(DeconnexionEditeur, OuiEnregistreAvantDeRepondrePuisDieFermeSansQuestion) {
  // What the file holds at the instant the editor answers the manager.
  std::string auMoment;
  Gestionnaire->AuMoment = [&](const TEvenement& e) {
    if (e.Genre == EGenre::FinSauvegarde) auMoment = LitOctets(Fichier);
  };
  Modifie();
  const std::size_t depuis = Deconnecte();
  Repond("Avertissement", {"Return"});
  EXPECT_TRUE(FinSauvegarde(depuis).Valeur);
  EXPECT_NE(auMoment.find("zorglub"), std::string::npos);
  EXPECT_FALSE(Gestionnaire->Attends(EGenre::Annulation, depuis, 0ms));
  EXPECT_TRUE(MeurtSeul());
  // The close's settings: the file remembered as the last one closed.
  EXPECT_NE(LitOctets(Reglages()).find("Classe.xkqr"), std::string::npos);
}

TEST_F(DeconnexionEditeur, NonLaisseLeFichierPuisDieFermeSansQuestion) {
  Modifie();
  const std::size_t depuis = Deconnecte();
  Repond("Avertissement", {"alt+n"});
  EXPECT_TRUE(FinSauvegarde(depuis).Valeur);
  EXPECT_TRUE(MeurtSeul());
  EXPECT_EQ(LitOctets(Fichier), Origine);
  EXPECT_NE(LitOctets(Reglages()).find("Classe.xkqr"), std::string::npos);
}

TEST_F(DeconnexionEditeur, RienANeDemandeRien) {
  const std::size_t depuis = Deconnecte();
  EXPECT_TRUE(FinSauvegarde(depuis).Valeur);
  EXPECT_FALSE(AInteragi(depuis));
  EXPECT_TRUE(MeurtSeul());
}

TEST_F(DeconnexionEditeur, SansInteractionPermiseRienNeChange) {
  Modifie();
  const std::size_t depuis = Deconnecte(EInteraction::Aucune);
  EXPECT_TRUE(FinSauvegarde(depuis).Valeur);
  EXPECT_FALSE(AInteragi(depuis));
  EXPECT_EQ(LitOctets(Fichier), Origine);
  // The close's question comes after Die, as before.
  Gestionnaire->Die();
  Repond("Avertissement", {"alt+n"});
  EXPECT_TRUE(Programme->Attends(10s));
  EXPECT_EQ(LitOctets(Fichier), Origine);
}

// ---------------------------------------------------------------------------------------------
// The quiz player

class DeconnexionJoueur : public Deconnexion {
 protected:
  void SetUp() override {
    Deconnexion::SetUp();
    if (HasFatalFailure()) return;
    const std::string quiz = Chemin("Capitales.xkqq");
    std::filesystem::copy_file(ORVALINE_SOURCE_DIR "/samples/Capitales.xkqq", quiz);
    Lance(ORVALINE, {quiz}, "Orvaline - Capitales.xkqq");
    // "Commencer": the first question, a game under way.
    std::this_thread::sleep_for(500ms);
    ASSERT_TRUE(Touches(X.Affichage(), Fenetre, {"Return"}));
    std::this_thread::sleep_for(800ms);
  }
};

TEST_F(DeconnexionJoueur, AnnulerArreteLaDeconnexionLaPartieContinue) {
  const std::size_t depuis = Deconnecte();
  Repond("Confirmation", {"Escape"});
  EXPECT_TRUE(AAnnule(depuis));
  EXPECT_FALSE(FinSauvegarde(depuis).Valeur);
  // Still a game under way: the next logout asks again, and its OK is carried out at Die.
  const std::size_t encore = Deconnecte();
  Repond("Confirmation", {"Return"});
  EXPECT_TRUE(FinSauvegarde(encore).Valeur);
  EXPECT_TRUE(MeurtSeul());
  const std::string reglages = LitOctets(Reglages());
  EXPECT_NE(reglages.find("Capitales.xkqq"), std::string::npos) << reglages;
}

// ---------------------------------------------------------------------------------------------
// The score sheet, which holds the results port for its whole life

class DeconnexionFeuilleDeNotes : public Deconnexion {
 protected:
  void SetUp() override {
    Deconnexion::SetUp();
    if (HasFatalFailure()) return;
    Lance(KORSERVER, {}, "Orvaline : Feuille de Notes");
    // A result not saved.
    for (int essai = 0; essai < 50 && !Rapporte("premier"); ++essai) std::this_thread::sleep_for(100ms);
  }
  // A logout that the score sheet (the manager's client 1) answers with OK: its answer.
  TEvenement OK(int client = 0) {
    const TEvenement reponse = ConfirmeJusquALaReponse(Deconnecte(EInteraction::Toute, client), "Confirmation");
    EXPECT_TRUE(reponse.Valeur);
    return reponse;
  }
  // A whole logout with the editor beside it (the manager's client 2), holding a change not
  // saved: the score sheet is asked first and answers OK, then the editor is asked. Returns the
  // score sheet's answer; Editeur is where the editor's answers start.
  TEvenement OKPuisQuestionDeLEditeur() {
    const std::string fichier = Chemin("Classe.xkqr");
    std::filesystem::copy_file(ORVALINE_SOURCE_DIR "/samples/Repertoire.xkqr", fichier);
    Autre = LancePrograme(KOREDIT, {fichier}, "KorEdit - " + fichier, AutreFenetre);
    Modifie(AutreFenetre, {"z"});
    const TEvenement reponse = OK(1);
    Editeur = Deconnecte(EInteraction::Toute, 2);
    EXPECT_TRUE(AttendsFenetre(X.Affichage(), "Avertissement"));
    return reponse;
  }
  std::size_t Editeur = 0;
};

TEST_F(DeconnexionFeuilleDeNotes, AnnulerArreteLaDeconnexionEtLesRapportsContinuent) {
  const std::size_t depuis = Deconnecte();
  Repond("Confirmation", {"Escape"});
  EXPECT_TRUE(AAnnule(depuis));
  EXPECT_TRUE(Rapporte("apres"));
}

TEST_F(DeconnexionFeuilleDeNotes, RienAccuseEntreOKEtDiePuisFermeSansQuestion) {
  TJoueurs joueurs;
  const TEvenement reponse = OK();
  std::this_thread::sleep_for(1500ms);
  const Horloge::time_point die = Horloge::now();
  EXPECT_TRUE(MeurtSeul());
  EXPECT_EQ(joueurs.RecusEntre(reponse.Instant, die), 0);
}

TEST_F(DeconnexionFeuilleDeNotes, SansDieReprendLesRapportsSurSonPort) {
  TJoueurs joueurs;
  const TEvenement reponse = OK();
  std::this_thread::sleep_for(1500ms);
  // Another program stops the logout: no Die comes.
  const Horloge::time_point annulation = Horloge::now();
  Gestionnaire->AnnuleArret();
  const std::optional<Horloge::time_point> repris = joueurs.PremierApres(annulation);
  EXPECT_EQ(joueurs.RecusEntre(reponse.Instant, annulation), 0);
  ASSERT_TRUE(repris) << "no report taken after the logout was called off";
  EXPECT_LT(*repris - annulation, 10s);
  std::printf("reports taken again %lld ms after the logout was called off\n",
              static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(*repris - annulation).count()));
}

// A whole logout of two programs: the score sheet answers OK first, then the editor's question.
TEST_F(DeconnexionFeuilleDeNotes, LEditeurArreteLaDeconnexionLaFeuilleDeNotesReprend) {
  TJoueurs joueurs;
  const TEvenement reponse = OKPuisQuestionDeLEditeur();
  Repond("Avertissement", {"Escape"});
  EXPECT_TRUE(AAnnule(Editeur));
  const Horloge::time_point annulation = Horloge::now();
  const std::optional<Horloge::time_point> repris = joueurs.PremierApres(annulation);
  EXPECT_EQ(joueurs.RecusEntre(reponse.Instant, annulation), 0);
  ASSERT_TRUE(repris) << "no report taken after the editor stopped the logout";
  EXPECT_LT(*repris - annulation, 10s);
  EXPECT_TRUE(Autre->EnCours());
}

// The editor's question stays up longer than the score sheet could wait blindly: the score
// sheet, having answered OK, takes nothing meanwhile, and the logout then ends both.
TEST_F(DeconnexionFeuilleDeNotes, UneLongueQuestionAilleursRienNestAccuseAvantDie) {
  TJoueurs joueurs;
  const TEvenement reponse = OKPuisQuestionDeLEditeur();
  std::this_thread::sleep_for(12s);
  Repond("Avertissement", {"alt+n"});
  EXPECT_TRUE(FinSauvegarde(Editeur).Valeur);
  const Horloge::time_point die = Horloge::now();
  EXPECT_TRUE(MeurtSeul());
  EXPECT_TRUE(Autre->Attends(10s));
  EXPECT_EQ(joueurs.RecusEntre(reponse.Instant, die), 0);
}
