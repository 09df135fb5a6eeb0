#include "update/updateoffer.h"

#include "app/userinterface.h"
#include "update/tfrmnewversion.h"
#include "update/versioncheck.h"

bool OfferUpdate(TUserInterface& ui) {
  if (!CheckForNewVersion()) return true;
  TfrmNewVersion offer(ui);
  ui.ShowModal(offer);
  return offer.Tag() != 0;
}
