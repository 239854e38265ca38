#pragma once
// Menu shortcuts as the programs' menus dispatch them: the menu's states are brought up to date
// first (its opening handler), then the item runs when it is enabled, whether it is shown or
// hidden. The window catches the key before its controls, so that an edit keeps no key of a
// menu item for itself (Ctrl+Z, Ctrl+Ins, Ctrl+C).

#include <QKeyCombination>

#include <functional>
#include <vector>

class QAction;
class QKeyEvent;

// What a shortcut runs. Actif is the item's own enabled state: Qt disables a hidden QAction,
// while a hidden item's shortcut still runs when the item is enabled.
struct TCommandeRaccourci {
  std::function<void()> MetAJour;  // the opening handler of the item's menu; may be empty
  std::function<bool()> Actif;
  std::function<void()> Execute;
};

// Refreshes the states, then runs the command when it is enabled. False when it is disabled:
// the key then goes on to the control that has the focus.
bool DeclencheRaccourci(const TCommandeRaccourci& commande);
// The same for an item that is never hidden: its QAction's enabled state, its trigger.
bool DeclencheRaccourci(QAction* item, const std::function<void()>& metAJour);

// A window's table of shortcuts.
class TRaccourcis {
 public:
  void Ajoute(QKeyCombination touche, TCommandeRaccourci commande);
  // A shortcut of the table has that key (the keypad modifier does not count).
  bool Possede(const QKeyEvent* touche) const { return Cherche(touche) != nullptr; }
  // Runs the key's command by DeclencheRaccourci; false when no shortcut has the key or it is disabled.
  bool Execute(const QKeyEvent* touche) const;

 private:
  struct TRaccourci {
    QKeyCombination Touche;
    TCommandeRaccourci Commande;
  };
  const TRaccourci* Cherche(const QKeyEvent* touche) const;
  std::vector<TRaccourci> FRaccourcis;
};
