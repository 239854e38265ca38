#include "platform/bureau/Raccourcis.h"

#include <QAction>
#include <QKeyEvent>

bool DeclencheRaccourci(const TCommandeRaccourci& commande) {
  if (commande.MetAJour) commande.MetAJour();
  if (!commande.Actif()) return false;
  commande.Execute();
  return true;
}

bool DeclencheRaccourci(QAction* item, const std::function<void()>& metAJour) {
  return DeclencheRaccourci({metAJour, [item] { return item->isEnabled(); }, [item] { item->trigger(); }});
}

void TRaccourcis::Ajoute(QKeyCombination touche, TCommandeRaccourci commande) {
  FRaccourcis.push_back({touche, std::move(commande)});
}

const TRaccourcis::TRaccourci* TRaccourcis::Cherche(const QKeyEvent* touche) const {
  const QKeyCombination cle(touche->modifiers() & ~Qt::KeypadModifier, static_cast<Qt::Key>(touche->key()));
  for (const TRaccourci& r : FRaccourcis)
    if (r.Touche == cle) return &r;
  return nullptr;
}

bool TRaccourcis::Execute(const QKeyEvent* touche) const {
  const TRaccourci* r = Cherche(touche);
  return r && DeclencheRaccourci(r->Commande);
}
