#pragma once
// The program entry's update offer, before any window exists.

class TUserInterface;

// Runs the version check and, when it found a newer version, shows the update dialog modally.
// False when the program is to end at once (the dialog closed with tag 0).
bool OfferUpdate(TUserInterface& ui);
